#include "forms/splash_form.h"

#include "kit/about_form.h"
#include "valvane_version.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QScreen>

TSplashForm::TSplashForm(QWidget* Parent)
    : QWidget(Parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("SplashForm"));
    setFixedSize(DesignWidth, DesignHeight);
    setCursor(Qt::WaitCursor);

    FDevTitle = new QLabel(QStringLiteral("Development Environment"), this);
    FDevTitle->setObjectName(QStringLiteral("lblDevVersion"));
    QFont DevFont = font();
    DevFont.setPixelSize(38);
    DevFont.setBold(true);
    FDevTitle->setFont(DevFont);
    FDevTitle->setStyleSheet(QStringLiteral("color: white;"));
    FDevTitle->setAttribute(Qt::WA_TranslucentBackground);
    FDevTitle->setAlignment(Qt::AlignCenter);
    // At 38 pixels the words are about as wide as the window; let them wrap.
    FDevTitle->setWordWrap(true);
    FDevTitle->setGeometry(0, 84, DesignWidth, 96);
    FDevTitle->hide();
}

void TSplashForm::ShowDeveloperTitle()
{
    FDevTitle->show();
}

void TSplashForm::ShowAndPaint()
{
    if (QScreen* Screen = QGuiApplication::primaryScreen())
        move(Screen->availableGeometry().center() - rect().center());
    show();
    raise();
    // Let the window system map the window, then paint it without waiting for
    // the event loop, which only starts once the rest of the program exists.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    repaint();
}

void TSplashForm::paintEvent(QPaintEvent*)
{
    QPainter P(this);
    PaintValveArt(P, rect());

    QFont Name(QStringLiteral("Serif"));
    Name.setStyleHint(QFont::Serif);
    Name.setPixelSize(60);
    Name.setBold(true);
    Name.setItalic(true);
    P.setFont(Name);
    DrawShadowedText(P, QRect(18, 8, width() - 36, 80), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Valvane"));

    QFont Credits = font();
    Credits.setPixelSize(12);
    Credits.setBold(true);
    P.setFont(Credits);
    DrawShadowedText(P, QRect(10, height() - 50, width() - 22, 42), Qt::AlignRight | Qt::AlignBottom,
                     QStringLiteral("A simulator of the EDSAC, Cambridge 1949\n" VALVANE_VERSION_TEXT
                                    ", written in C++20 with Qt 6"));

    P.setPen(QColor(10, 10, 10));
    P.setBrush(Qt::NoBrush);
    P.drawRect(rect().adjusted(0, 0, -1, -1));
}
