// The Options dialog against the settings it edits, the About box and the splash.
#include "settings/EdSimSettings.h"
#include "kit/about_form.h"
#include "forms/main_form.h"
#include "forms/options_form.h"
#include "forms/splash_form.h"
#include "tests/named.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

#include <tuple>

namespace {

// Every field that the Options dialog may touch, for before/after comparisons.
auto Snapshot(const TEdSimSettings& S)
{
    return std::tuple(S.Beep, S.Bell, S.Dial, S.Teleprinter, S.InitialOrders, S.ShowSplash, S.RealTime, S.IgnoreCase,
                      S.LineNumbers, S.EdsacFormLeft, S.EdsacFormTop, S.RecentCount);
}

// Turns every choice away from its default.
void ChangeEveryChoice(TOptionsForm& F)
{
    Named<QCheckBox>(&F, "cbSndBeep")->setChecked(true);
    Named<QComboBox>(&F, "cbInitialOrders")->setCurrentIndex(0);
    Named<QCheckBox>(&F, "cbShowSplash")->setChecked(false);
    Named<QCheckBox>(&F, "cbRealTime")->setChecked(true);
    Named<QCheckBox>(&F, "cbEditorIgnoreCase")->setChecked(false);
    Named<QCheckBox>(&F, "cbEditorLineNumbers")->setChecked(true);
}

} // namespace

class TestSmallDialogs : public QObject {
    Q_OBJECT

private slots:
    void optionsOkWritesEveryChoiceBack()
    {
        TEdSimSettings S(QStringLiteral("/nonexistent/Valvane.ini"));
        const auto Defaults = Snapshot(S);
        TOptionsForm F;
        F.BeginEdit(S);
        ChangeEveryChoice(F);
        Named<QPushButton>(&F, "Button1")->click();
        QCOMPARE(std::tuple(S.Beep, S.InitialOrders, S.ShowSplash, S.RealTime, S.IgnoreCase, S.LineNumbers),
                 std::tuple(true, 1, false, true, false, true));

        // A fresh dialog shows every stored choice, and Enter keeps them.
        const auto Chosen = Snapshot(S);
        TOptionsForm Fresh;
        Fresh.show();
        Fresh.BeginEdit(S);
        QTest::keyClick(&Fresh, Qt::Key_Return);
        QCOMPARE(Snapshot(S), Chosen);
        // And back to the defaults.
        F.BeginEdit(S);
        F.FillFrom(TEdSimSettings(QString()));
        Named<QPushButton>(&F, "Button1")->click();
        QCOMPARE(Snapshot(S), Defaults);

        // Only the beep exists: the other sounds are shown off, cannot be switched on
        // and are stored off. An Initial Orders value no item stands for shows the
        // default set, and OK stores a real choice.
        S.Bell = S.Dial = S.Teleprinter = true;
        S.InitialOrders = 7;
        F.BeginEdit(S);
        for (const char* Sound : {"cbSndBell", "cbSndDial", "cbSndTeleprinter"}) {
            const QCheckBox* Box = Named<QCheckBox>(&F, Sound);
            QVERIFY(!Box->isChecked() && !Box->isEnabled());
        }
        Named<QPushButton>(&F, "Button1")->click();
        QVERIFY(!S.Bell && !S.Dial && !S.Teleprinter);
        QCOMPARE(S.InitialOrders, 2);
    }

    void optionsCancelChangesNothing()
    {
        TEdSimSettings S(QStringLiteral("/nonexistent/Valvane.ini"));
        S.EdsacFormLeft = 33;
        const auto Before = Snapshot(S);
        TOptionsForm F;
        for (int Way = 0; Way < 3; ++Way) {
            F.show();
            F.BeginEdit(S);
            ChangeEveryChoice(F);
            if (Way == 0)
                Named<QPushButton>(&F, "Button4")->click();
            else if (Way == 1)
                QTest::keyClick(&F, Qt::Key_Escape);
            else
                F.close();
            QCOMPARE(F.result(), int(QDialog::Rejected));
            QCOMPARE(Snapshot(S), Before);
        }
        // The dialog forgets its target when it closes: a later OK with no
        // BeginEdit cannot reach settings that were cancelled.
        Named<QPushButton>(&F, "Button1")->click();
        QCOMPARE(Snapshot(S), Before);
    }

    // The About box names the version the main window's title names, in both of
    // its layers; OK is both the default and the cancel button.
    void aboutNamesTheProgramsVersion()
    {
        TAboutForm F;
        const QString Title = TMainForm(TCommandTable()).windowTitle();
        for (const char* Layer : {"lblVersionA", "lblVersionB"}) {
            const QString Shown = Named<QLabel>(&F, Layer)->text();
            QVERIFY2(Shown.startsWith(QStringLiteral("Version ")) && Title.endsWith(QLatin1Char(' ') + Shown),
                     qPrintable(Shown + QStringLiteral(" / ") + Title));
        }
        for (Qt::Key Key : {Qt::Key_Return, Qt::Key_Escape}) {
            F.show();
            QTest::keyClick(&F, Key);
            QVERIFY(!F.isVisible());
        }
    }

    void splashKeepsDeveloperLabelHidden()
    {
        TSplashForm F;
        F.ShowAndPaint();
        auto* Label = Named<QLabel>(&F, "lblDevVersion");
        QVERIFY(F.isVisible() && !Label->isVisible());
        // Shown by the developer console, it must fit the window at its 38 pixels.
        F.ShowDeveloperTitle();
        QVERIFY(Label->isVisible());
        QVERIFY(Label->heightForWidth(Label->width()) <= Label->height());
        QVERIFY(F.rect().contains(Label->geometry()));
    }
};

QTEST_MAIN(TestSmallDialogs)
#include "test_small_dialogs.moc"
