// The Options dialog against the settings it edits, the About box and the splash.
#include "forms/EdSimSettings.h"
#include "forms/about_form.h"
#include "forms/options_form.h"
#include "forms/splash_form.h"

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
    return std::tuple(S.Beep, S.Bell, S.Dial, S.Teleprinter, S.InitialOrders, S.ShowSplash, S.RealTime,
                      S.IgnoreCase, S.LineNumbers, S.EdsacFormLeft, S.EdsacFormTop, S.RecentCount);
}

} // namespace

class TestSmallDialogs : public QObject {
    Q_OBJECT

private slots:
    void optionsAsDesigned()
    {
        TOptionsForm F;
        QCOMPARE(F.minimumSize(), QSize(394, 345));
        QCOMPARE(F.maximumSize(), QSize(394, 345));
        // Enabled and ticked at design time, before any settings are filled in.
        const QList<std::tuple<QCheckBox*, bool, bool>> Boxes{
            {F.cbSndBeep, true, false},          {F.cbSndBell, false, false},
            {F.cbSndDial, false, false},         {F.cbSndTeleprinter, false, false},
            {F.cbEditorIgnoreCase, true, true},  {F.cbEditorLineNumbers, false, false},
            {F.cbRealTime, true, false},         {F.cbShowSplash, true, true}};
        for (const auto& [Box, Enabled, Checked] : Boxes) {
            QCOMPARE(Box->isEnabled(), Enabled);
            QCOMPARE(Box->isChecked(), Checked);
        }
        QCOMPARE(F.cbInitialOrders->count(), 2);
        QVERIFY(!F.cbInitialOrders->isEditable());
        QCOMPARE(F.cbInitialOrders->currentText(), QStringLiteral("Initial Orders 2"));
        QVERIFY(F.Button1->isDefault());
    }

    void optionsFillIgnoresUnsupportedSounds()
    {
        TEdSimSettings S(QStringLiteral("/nonexistent/Valvane.ini"));
        S.Bell = S.Dial = S.Teleprinter = true;
        S.InitialOrders = 1;
        S.IgnoreCase = false;
        S.ShowSplash = false;
        S.LineNumbers = true;
        TOptionsForm F;
        F.cbSndBell->setEnabled(true);
        F.FillFrom(S);
        for (QCheckBox* Box : {F.cbSndBell, F.cbSndDial, F.cbSndTeleprinter}) {
            QVERIFY(!Box->isChecked());
            QVERIFY(!Box->isEnabled());
        }
        QCOMPARE(F.cbInitialOrders->currentIndex(), 0);
        QVERIFY(!F.cbEditorIgnoreCase->isChecked());
        QVERIFY(!F.cbShowSplash->isChecked());
        QVERIFY(F.cbEditorLineNumbers->isChecked());

        // A value no item stands for shows the default set, and OK stores a real choice.
        S.InitialOrders = 7;
        F.BeginEdit(S);
        QCOMPARE(F.cbInitialOrders->currentIndex(), 1);
        F.Button1->click();
        QCOMPARE(S.InitialOrders, 2);
        // Bell, Dial and Teleprinter are false after every OK.
        QVERIFY(!S.Bell && !S.Dial && !S.Teleprinter);
    }

    void optionsOkWritesEveryChoiceBack()
    {
        TEdSimSettings S(QStringLiteral("/nonexistent/Valvane.ini"));
        TOptionsForm F;
        F.BeginEdit(S);
        F.cbSndBeep->setChecked(true);
        F.cbInitialOrders->setCurrentIndex(0);
        F.cbShowSplash->setChecked(false);
        F.cbRealTime->setChecked(true);
        F.cbEditorIgnoreCase->setChecked(false);
        F.cbEditorLineNumbers->setChecked(true);
        F.Button1->click();
        QCOMPARE(F.result(), int(QDialog::Accepted));
        QCOMPARE(S.Beep, true);
        QCOMPARE(S.InitialOrders, 1);
        QCOMPARE(S.ShowSplash, false);
        QCOMPARE(S.RealTime, true);
        QCOMPARE(S.IgnoreCase, false);
        QCOMPARE(S.LineNumbers, true);

        // And back again, through the Enter key this time.
        F.show();
        F.BeginEdit(S);
        F.cbSndBeep->setChecked(false);
        F.cbInitialOrders->setCurrentIndex(1);
        F.cbShowSplash->setChecked(true);
        F.cbRealTime->setChecked(false);
        F.cbEditorIgnoreCase->setChecked(true);
        F.cbEditorLineNumbers->setChecked(false);
        QTest::keyClick(&F, Qt::Key_Return);
        QCOMPARE(F.result(), int(QDialog::Accepted));
        QCOMPARE(Snapshot(S), Snapshot(TEdSimSettings(QString())));
    }

    void optionsCancelChangesNothing()
    {
        TEdSimSettings S(QStringLiteral("/nonexistent/Valvane.ini"));
        S.Bell = true;
        S.EdsacFormLeft = 33;
        const auto Before = Snapshot(S);
        TOptionsForm F;
        F.show();
        for (int Way = 0; Way < 3; ++Way) {
            F.BeginEdit(S);
            F.cbSndBeep->setChecked(true);
            F.cbInitialOrders->setCurrentIndex(0);
            F.cbRealTime->setChecked(true);
            F.cbEditorIgnoreCase->setChecked(false);
            if (Way == 0)
                F.Button4->click();
            else if (Way == 1)
                QTest::keyClick(&F, Qt::Key_Escape);
            else
                F.close();
            QCOMPARE(F.result(), int(QDialog::Rejected));
            QCOMPARE(Snapshot(S), Before);
            F.show();
        }
        // The dialog forgets its target when it closes: a later OK with no
        // BeginEdit cannot reach settings that were cancelled.
        F.Button1->click();
        QCOMPARE(Snapshot(S), Before);
    }

    void aboutShowsVersion()
    {
        TAboutForm F;
        QCOMPARE(F.minimumSize(), QSize(335, 390));
        QCOMPARE(F.maximumSize(), QSize(335, 390));
        QCOMPARE(F.lblVersionA->text(), QStringLiteral("Version 1.0.2"));
        QCOMPARE(F.lblVersionB->text(), QStringLiteral("Version 1.0.2"));
        F.SetVersion(QStringLiteral("Version 9"));
        QCOMPARE(F.lblVersionB->text(), QStringLiteral("Version 9"));
        // The black copy casts the shadow: 2 pixels down and right, beneath the white.
        QCOMPARE(F.lblVersionB->pos() - F.lblVersionA->pos(), QPoint(2, 2));
        const QObjectList Order = F.Picture->children();
        QVERIFY(Order.indexOf(F.lblVersionB) < Order.indexOf(F.lblVersionA));

        // OK is both the default and the cancel button.
        QVERIFY(F.Button1->isDefault());
        F.show();
        QTest::keyClick(&F, Qt::Key_Return);
        QVERIFY(!F.isVisible());
        F.show();
        QTest::keyClick(&F, Qt::Key_Escape);
        QVERIFY(!F.isVisible());
    }

    void splashKeepsDeveloperLabelHidden()
    {
        TSplashForm F;
        QVERIFY(F.windowFlags() & Qt::WindowStaysOnTopHint);
        QCOMPARE(F.cursor().shape(), Qt::WaitCursor);
        F.ShowAndPaint();
        QVERIFY(F.isVisible());
        QVERIFY(!F.lblDevVersion->isVisible());
        // Shown by the developer console, it must fit the window at its 38 pixels.
        F.lblDevVersion->show();
        QVERIFY(F.lblDevVersion->heightForWidth(F.lblDevVersion->width()) <= F.lblDevVersion->height());
        QVERIFY(F.rect().contains(F.lblDevVersion->geometry()));
    }
};

QTEST_MAIN(TestSmallDialogs)
#include "test_small_dialogs.moc"
