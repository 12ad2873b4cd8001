#include "kit/about_form.h"

#include <QFont>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QRadialGradient>
#include <QScreen>
#include <QVBoxLayout>

#include <array>

namespace {

// One valve: a glass envelope with a rounded top, a glowing heater inside, a
// black base and a halo of warm light round it.
void PaintValve(QPainter& P, const QRectF& Glass, qreal Glow)
{
    const QPointF Heart(Glass.center().x(), Glass.top() + Glass.height() * 0.55);

    QRadialGradient Halo(Heart, Glass.width() * 1.6);
    Halo.setColorAt(0.0, QColor(255, 170, 60, int(110 * Glow)));
    Halo.setColorAt(1.0, QColor(255, 120, 30, 0));
    P.setPen(Qt::NoPen);
    P.setBrush(Halo);
    P.drawEllipse(Heart, Glass.width() * 1.6, Glass.width() * 1.6);

    QPainterPath Envelope;
    const qreal R = Glass.width() / 2;
    Envelope.moveTo(Glass.left(), Glass.bottom());
    Envelope.lineTo(Glass.left(), Glass.top() + R);
    Envelope.arcTo(QRectF(Glass.left(), Glass.top(), Glass.width(), 2 * R), 180, -180);
    Envelope.lineTo(Glass.right(), Glass.bottom());
    Envelope.closeSubpath();
    QLinearGradient GlassFill(Glass.topLeft(), Glass.topRight());
    GlassFill.setColorAt(0.0, QColor(200, 215, 230, 70));
    GlassFill.setColorAt(0.3, QColor(240, 245, 255, 120));
    GlassFill.setColorAt(1.0, QColor(120, 140, 160, 60));
    P.setBrush(GlassFill);
    P.setPen(QPen(QColor(220, 230, 240, 160), 1));
    P.drawPath(Envelope);

    // The anode: a dark plate with the heater's glow showing through its slot.
    const QRectF Anode(Glass.left() + Glass.width() * 0.22, Glass.top() + Glass.height() * 0.32, Glass.width() * 0.56,
                       Glass.height() * 0.48);
    P.setPen(Qt::NoPen);
    P.setBrush(QColor(70, 70, 78));
    P.drawRect(Anode);
    QLinearGradient Slot(Anode.topLeft(), Anode.bottomLeft());
    Slot.setColorAt(0.0, QColor(255, 120, 40, int(120 + 120 * Glow)));
    Slot.setColorAt(0.5, QColor(255, 210, 120, int(140 + 110 * Glow)));
    Slot.setColorAt(1.0, QColor(255, 120, 40, int(120 + 120 * Glow)));
    P.setBrush(Slot);
    P.drawRect(QRectF(Anode.center().x() - 1.5, Anode.top() + 3, 3, Anode.height() - 6));

    const QRectF Base(Glass.left() - 2, Glass.bottom(), Glass.width() + 4, Glass.height() * 0.14);
    P.setBrush(QColor(25, 22, 20));
    P.drawRoundedRect(Base, 2, 2);
}

} // namespace

void PaintValveArt(QPainter& P, const QRect& Area)
{
    P.save();
    P.setRenderHint(QPainter::Antialiasing);
    P.setClipRect(Area);

    QLinearGradient Sky(Area.topLeft(), Area.bottomLeft());
    Sky.setColorAt(0.0, QColor(92, 124, 160));
    Sky.setColorAt(0.6, QColor(40, 56, 82));
    Sky.setColorAt(1.0, QColor(18, 22, 32));
    P.fillRect(Area, Sky);

    // A faint trace across the sky, like a pulse train on a monitor tube.
    const qreal W = Area.width(), H = Area.height();
    QPainterPath Trace;
    Trace.moveTo(Area.left(), Area.top() + H * 0.52);
    for (int I = 0; I < 18; ++I) {
        const qreal X = Area.left() + W * I / 18.0;
        const qreal Step = W / 18.0;
        const qreal High = Area.top() + H * ((I % 3 == 1) ? 0.44 : 0.52);
        Trace.lineTo(X + Step * 0.2, High);
        Trace.lineTo(X + Step * 0.7, High);
        Trace.lineTo(X + Step * 0.7, Area.top() + H * 0.52);
        Trace.lineTo(X + Step, Area.top() + H * 0.52);
    }
    P.setPen(QPen(QColor(120, 255, 160, 70), 1.2));
    P.setBrush(Qt::NoBrush);
    P.drawPath(Trace);

    // The chassis the valves stand on.
    const qreal ShelfTop = Area.top() + H * 0.80;
    QLinearGradient Shelf(QPointF(0, ShelfTop), QPointF(0, Area.bottom()));
    Shelf.setColorAt(0.0, QColor(120, 110, 96));
    Shelf.setColorAt(0.15, QColor(70, 64, 56));
    Shelf.setColorAt(1.0, QColor(30, 28, 26));
    P.fillRect(QRectF(Area.left(), ShelfTop, W, Area.bottom() - ShelfTop + 1), Shelf);

    // A row of valves along the right-hand part, tallest in the middle.
    constexpr std::array<qreal, 5> Heights{0.38, 0.46, 0.52, 0.45, 0.40};
    constexpr std::array<qreal, 5> Glows{0.7, 1.0, 0.85, 0.95, 0.6};
    const qreal ValveW = W * 0.075;
    const qreal Gap = W * 0.035;
    qreal X = Area.left() + W - Heights.size() * (ValveW + Gap);
    for (std::size_t I = 0; I < Heights.size(); ++I, X += ValveW + Gap) {
        const qreal Tall = H * Heights[I];
        const qreal BaseH = Tall * 0.14;
        PaintValve(P, QRectF(X, ShelfTop - Tall - BaseH + 2, ValveW, Tall), Glows[I]);
    }

    // Rivets along the chassis.
    P.setPen(Qt::NoPen);
    P.setBrush(QColor(150, 140, 120));
    for (qreal RX = Area.left() + 8; RX < Area.right(); RX += W / 12)
        P.drawEllipse(QPointF(RX, ShelfTop + (Area.bottom() - ShelfTop) * 0.55), 1.5, 1.5);

    P.restore();
}

void DrawShadowedText(QPainter& P, const QRect& Box, int Flags, const QString& Text)
{
    P.save();
    P.setPen(Qt::black);
    P.drawText(Box.translated(2, 2), Flags, Text);
    P.setPen(Qt::white);
    P.drawText(Box, Flags, Text);
    P.restore();
}

namespace {

class TAboutPicture : public QWidget {
public:
    explicit TAboutPicture(QWidget* Parent) : QWidget(Parent)
    {
        setFixedSize(TAboutForm::PictureWidth, TAboutForm::PictureHeight);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter P(this);
        PaintValveArt(P, rect());
        QFont Name(QStringLiteral("Serif"));
        Name.setStyleHint(QFont::Serif);
        Name.setPixelSize(36);
        Name.setBold(true);
        Name.setItalic(true);
        P.setFont(Name);
        DrawShadowedText(P, QRect(10, 6, width() - 20, 56), Qt::AlignLeft | Qt::AlignVCenter,
                         QStringLiteral("Valvane"));
        P.setPen(QColor(20, 20, 20));
        P.setBrush(Qt::NoBrush);
        P.drawRect(rect().adjusted(0, 0, -1, -1));
    }
};

} // namespace

TAboutForm::TAboutForm(QWidget* Parent) : QDialog(Parent)
{
    setObjectName(QStringLiteral("AboutForm"));
    setWindowTitle(QStringLiteral("About Valvane"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setModal(true);
    setFixedSize(DesignWidth, DesignHeight);

    auto* Group = new QGroupBox(QStringLiteral("Valvane"), this);
    QWidget* Picture = new TAboutPicture(Group);

    QFont VersionFont = font();
    VersionFont.setPixelSize(14);
    VersionFont.setBold(true);
    // The black copy first, so the white one lies over it.
    FVersionB = new QLabel(QString::fromLatin1(VersionText), Picture);
    FVersionB->setObjectName(QStringLiteral("lblVersionB"));
    FVersionA = new QLabel(QString::fromLatin1(VersionText), Picture);
    FVersionA->setObjectName(QStringLiteral("lblVersionA"));
    for (QLabel* Label : {FVersionA, FVersionB}) {
        Label->setFont(VersionFont);
        Label->setAttribute(Qt::WA_TranslucentBackground);
        Label->setFixedSize(150, 20);
    }
    FVersionA->setStyleSheet(QStringLiteral("color: white;"));
    FVersionB->setStyleSheet(QStringLiteral("color: black;"));
    FVersionA->move(12, 58);
    FVersionB->move(14, 60);

    auto* Credits = new QLabel(Group);
    Credits->setWordWrap(true);
    Credits->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    Credits->setText(QStringLiteral("A simulator of the EDSAC, the stored-program computer of the University "
                                    "Mathematical Laboratory, Cambridge, which ran its first program on 6 May 1949.\n\n"
                                    "Valvane is written in C++20 with Qt 6.\n"
                                    "With thanks to the people who built the EDSAC and wrote its first programs."));

    auto* GroupLayout = new QVBoxLayout(Group);
    GroupLayout->addWidget(Picture, 0, Qt::AlignHCenter);
    GroupLayout->addSpacing(6);
    GroupLayout->addWidget(Credits, 1);

    auto* Ok = new QPushButton(QStringLiteral("OK"), this);
    Ok->setObjectName(QStringLiteral("Button1"));
    Ok->setDefault(true);
    // Escape rejects a QDialog, so OK is the cancel button as well.
    connect(Ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* Buttons = new QHBoxLayout;
    Buttons->addStretch(1);
    Buttons->addWidget(Ok);
    Buttons->addStretch(1);

    auto* Layout = new QVBoxLayout(this);
    Layout->addWidget(Group, 1);
    Layout->addLayout(Buttons);

    if (QScreen* Screen = screen())
        move(Screen->availableGeometry().center() - rect().center());
}

void TAboutForm::SetVersion(const QString& Text)
{
    FVersionA->setText(Text);
    FVersionB->setText(Text);
}
