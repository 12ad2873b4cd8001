#include <QCheckBox>
#include <QCloseEvent>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTimer>
#include <QToolButton>
#include <QWindow>
#include <QtTest>
#include <QtTest/qtestspontaneevent.h>
#include <vector>

#include "components/CRTDisplay.h"
#include "components/ClockDisplay.h"
#include "forms/edsac_form.h"
#include "forms/RunTimer.h"

class TestEdsacForm : public QObject {
    Q_OBJECT
private slots:
    void TubesSitWhereTheLayoutPutsThem_data()
    {
        QTest::addColumn<QString>("Name");
        QTest::addColumn<QRect>("Geometry");
        QTest::addColumn<int>("Count");
        QTest::addColumn<int>("Size");
        QTest::addColumn<bool>("Hide");
        QTest::addColumn<QString>("FullName");
        QTest::newRow("SCR") << "crtSCR" << QRect(13, 244, 51, 8) << 1 << 10 << false << "SEQUENCE CONTROL REGISTER";
        QTest::newRow("ORD") << "crtORD" << QRect(103, 244, 86, 8) << 1 << 18 << true << "ORDER TANK";
        QTest::newRow("MULTR") << "crtMULTR" << QRect(13, 264, 177, 8) << 2 << 18 << true << "MULTIPLIER";
        QTest::newRow("MULTD") << "crtMULTD" << QRect(13, 284, 177, 8) << 2 << 18 << true << "MULTIPLICAND";
        QTest::newRow("ACC") << "crtACC" << QRect(13, 304, 359, 8) << 4 << 18 << true << "ACCUMULATOR";
        for (int N = 0; N < 16; ++N)
            QTest::addRow("Store%d", N) << QString("crtStore%1").arg(N) << QRect(30, 180 - 9 * N, 177, 8) << 2 << 18
                                        << true << QString("WORDS_%1-%2").arg(2 * N).arg(2 * N + 1);
    }
    void TubesSitWhereTheLayoutPutsThem()
    {
        QFETCH(QString, Name);
        TEdsacForm Form;
        const auto* Tube = Form.findChild<TCRTDisplay*>(Name);
        QVERIFY(Tube);
        QTEST(Tube->geometry(), "Geometry");
        QTEST(Tube->WordCount(), "Count");
        QTEST(Tube->WordSize(), "Size");
        QCOMPARE(Tube->Spacing(), 1);
        QTEST(Tube->HideFirstBit(), "Hide");
        QTEST(Tube->FullName(), "FullName");
        if (Name.startsWith("crtStore"))
            QCOMPARE(Form.crtStores[Name.mid(8).toUInt()], Tube);
    }

    // The caption in the sunken panel must not run into the spin box beside it.
    void LongTankCaptionClearOfItsSpinBox()
    {
        TEdsacForm Form;
        const QLabel* Label = Form.lblLongTank;
        const int TextRight = Label->mapTo(&Form, Label->contentsRect().topLeft()).x() +
                              QFontMetrics(Label->font()).horizontalAdvance(Label->text());
        QVERIFY2(TextRight + 3 <= Form.LTSpinEdit->x(), qPrintable(QString::number(TextRight)));
    }

    void TubesShowOnTheWindow()
    {
        // The zero points of the sequence control register, and a one in the
        // accumulator and in the top store row.
        TEdsacForm Form;
        const std::vector<TWord> Acc{1, 0, 0, 0}, Store{0, 1};
        Form.crtACC->SetWords(Acc, false);
        Form.crtStores[15]->SetWords(Store, false);
        const QImage Shot = Form.grab().toImage();
        const auto GreenAt = [&](int X, int Y) { return Shot.pixel(X, Y) == qRgb(0, 255, 0); };
        for (int K = 0; K < 10; ++K)
            QVERIFY(GreenAt(13 + 48 - 5 * K, 248));
        QVERIFY(GreenAt(13 + 83, 304 + 3) && GreenAt(13 + 83, 304 + 4));
        QVERIFY(GreenAt(30 + 173, 45 + 3) && !GreenAt(30 + 168, 45 + 3));
    }

    void ClockShowsMachineTime_data()
    {
        QTest::addColumn<uint>("Time");
        QTest::addColumn<int>("Hour");
        QTest::addColumn<int>("Minute");
        QTest::addColumn<int>("Second");
        QTest::newRow("10 min") << 6000000u << 0 << 10 << 0;
        QTest::newRow("13 h on a 12 h face") << (13u * 3600u + 5u * 60u + 7u) * 10000u << 1 << 5 << 7;
        QTest::newRow("largest") << 0xFFFFFFFFu << 11 << 18 << 16; // 119 h 18 min 16 s
    }
    void ClockShowsMachineTime()
    {
        QFETCH(uint, Time);
        QFETCH(int, Hour);
        QFETCH(int, Minute);
        TEdsacForm Form;
        TClockDisplay* Clock = Form.RealTimeClock;
        Form.UpdateClockDisplay(Time);
        QCOMPARE(Clock->Hour(), Hour);
        QCOMPARE(Clock->Minute(), Minute);
        QTEST(Clock->Second(), "Second");
        // The minute hand and the hour dot on the rim are drawn.
        QVERIFY((Clock->Image().pixel(Clock->HandEndPoint(Minute, 60, 13)) | 0xFF000000u) != qRgb(0, 0, 0));
        QCOMPARE(Clock->Image().pixel(Clock->HandEndPoint(Hour, 12, 32)) | 0xFF000000u, qRgb(255, 255, 255));
    }

    void CloseBoxDoesNothing()
    {
        TEdsacForm Form;
        Form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&Form));
        // The close box, as the window system delivers it.
        QCloseEvent CloseBox;
        QSpontaneKeyEvent::setSpontaneous(&CloseBox);
        QApplication::sendEvent(Form.windowHandle(), &CloseBox);
        QVERIFY(!CloseBox.isAccepted() && Form.isVisible());
        // Quitting the application closes every window; the panel must not stop it.
        QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        QTimer::singleShot(2000, &Form, [] { QCoreApplication::exit(1); });
        QCOMPARE(QCoreApplication::exec(), 0);
        QVERIFY(!Form.isVisible());
    }

    void TimerRunsOnOnlyWhileTheMachineGoesOn()
    {
        TEdsacForm Form;
        bool ActiveDuringStep = true;
        int Result = 0;
        Form.ExecuteStep = [&] {
            ActiveDuringStep = Form.CoreExecTimer->isActive();
            return Result;
        };
        for (int R : {0, 1, 2}) {
            Result = R;
            Form.CoreExecTimer->start();
            Form.CoreExecTimerTimer();
            QVERIFY(!ActiveDuringStep);
            QCOMPARE(Form.CoreExecTimer->isActive(), R == 0);
        }
        Form.ExecuteStep = nullptr;
        Form.CoreExecTimer->start();
        Form.CoreExecTimerTimer();
        QVERIFY(!Form.CoreExecTimer->isActive());

        // Driven by the event loop: one step per event until a stop.
        int Steps = 0;
        Form.ExecuteStep = [&] { return ++Steps == 5 ? 1 : 0; };
        Form.CoreExecTimer->setInterval(0);
        Form.CoreExecTimer->start();
        QTRY_VERIFY(!Form.CoreExecTimer->isActive());
        QCOMPARE(Steps, 5);
    }

    void ControlsReportUserActions()
    {
        TEdsacForm Form;
        const std::pair<QAbstractButton*, const char*> Buttons[] = {
            {Form.btnClear, SIGNAL(ClearClicked())}, {Form.btnStart, SIGNAL(StartClicked())},
            {Form.btnStop, SIGNAL(StopClicked())},   {Form.btnReset, SIGNAL(ResetClicked())},
            {Form.btnSingleEP, SIGNAL(SingleEPClicked())}, {Form.sbClock, SIGNAL(ClockClicked())}};
        for (const auto& [Button, Signal] : Buttons) {
            QSignalSpy Spy(&Form, Signal);
            Button->click();
            QVERIFY2(Spy.count() == 1, Signal);
        }

        QSignalSpy Dial(&Form, &TEdsacForm::DialClicked), Tank(&Form, &TEdsacForm::LongTankChanged),
            Short(&Form, &TEdsacForm::ShortTanksClicked), Panel(&Form, &TEdsacForm::PanelMouseMoved);
        Form.sbDial[0]->click();
        Form.sbDial[7]->click();
        QCOMPARE(Dial, (QList<QList<QVariant>>{{10}, {7}}));
        Form.LTSpinEdit->setValue(31);
        QCOMPARE(Tank, (QList<QList<QVariant>>{{31}}));
        Form.cbShortTanks->click();
        QCOMPARE(Short, (QList<QList<QVariant>>{{false}}));
        QMouseEvent Move(QEvent::MouseMove, QPointF(420, 300), Form.Image1->mapToGlobal(QPointF(420, 300)),
                         Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(Form.Image1, &Move);
        QCOMPARE(Panel.count(), 1);
    }
};

QTEST_MAIN(TestEdsacForm)
#include "test_edsac_form.moc"
