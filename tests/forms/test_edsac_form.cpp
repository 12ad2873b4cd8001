#include <QCheckBox>
#include <QCloseEvent>
#include <QFrame>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTimer>
#include <QToolButton>
#include <QWindow>
#include <QtTest>
#include <QtTest/qtestspontaneevent.h>
#include <cmath>
#include <vector>

#include "components/CRTDisplay.h"
#include "components/ClockDisplay.h"
#include "forms/edsac_form.h"
#include "forms/RunTimer.h"
#include "forms/panel_art.h"
#include "forms/panel_layout.h"

class TestEdsacForm : public QObject {
    Q_OBJECT
private slots:
    void TubesShowTheirWords_data()
    {
        QTest::addColumn<QString>("Name");
        QTest::addColumn<int>("Count");
        QTest::addColumn<int>("Size");
        QTest::addColumn<bool>("Hide");
        QTest::addColumn<QString>("FullName");
        QTest::newRow("SCR") << "crtSCR" << 1 << 10 << false << "SEQUENCE CONTROL REGISTER";
        QTest::newRow("ORD") << "crtORD" << 1 << 18 << true << "ORDER TANK";
        QTest::newRow("MULTR") << "crtMULTR" << 2 << 18 << true << "MULTIPLIER";
        QTest::newRow("MULTD") << "crtMULTD" << 2 << 18 << true << "MULTIPLICAND";
        QTest::newRow("ACC") << "crtACC" << 4 << 18 << true << "ACCUMULATOR";
        for (int N = 0; N < 16; ++N)
            QTest::addRow("Store%d", N) << QString("crtStore%1").arg(N) << 2 << 18 << true
                                        << QString("WORDS_%1-%2").arg(2 * N).arg(2 * N + 1);
    }
    void TubesShowTheirWords()
    {
        QFETCH(QString, Name);
        TEdsacForm Form;
        const auto* Tube = Form.findChild<TCRTDisplay*>(Name);
        QVERIFY(Tube);
        QTEST(Tube->WordCount(), "Count");
        QTEST(Tube->WordSize(), "Size");
        QCOMPARE(Tube->Spacing(), 1);
        QTEST(Tube->HideFirstBit(), "Hide");
        QTEST(Tube->FullName(), "FullName");
        if (Name.startsWith("crtStore")) {
            const int N = Name.mid(8).toInt();
            QCOMPARE(Form.crtStores[static_cast<std::size_t>(N)], Tube);
            // Row 0 at the bottom, each row above the one before.
            if (N > 0)
                QVERIFY(Tube->geometry().bottom() < Form.crtStores[static_cast<std::size_t>(N - 1)]->y());
        }
    }

    // The panel picture and the widgets read one layout: every widget stands inside
    // the plate, slot, ring or frame painted for it, and the picture really shows
    // the dark slots and the dial's wheel there.
    void WidgetsLieInsideTheirPaintedFrames()
    {
        using namespace PanelLayout;
        TEdsacForm Form;
        QStringList Outside;
        const auto Check = [&](const QWidget* Widget, const QRectF& Frame) {
            const QRectF Where(QRect(Widget->mapTo(&Form, QPoint(0, 0)), Widget->size()));
            if (!Frame.contains(Where) || !QRectF(Form.rect()).contains(Where))
                Outside << Widget->objectName();
        };
        using TWidgets = std::initializer_list<const QWidget*>;
        const QImage Picture = PanelArt::PanelPicture();
        const auto Dark = [&](QPointF At) {
            const QRgb Pixel = Picture.pixel(At.toPoint());
            return qRed(Pixel) < 0x40 && qGreen(Pixel) < 0x40 && qBlue(Pixel) < 0x40;
        };

        const TCRTDisplay* const Registers[] = {Form.crtSCR, Form.crtORD, Form.crtMULTR, Form.crtMULTD, Form.crtACC};
        for (std::size_t I = 0; I < RegisterTubes.size(); ++I) {
            Check(Registers[I], Slot(RegisterTubes[I]));
            QVERIFY(Dark(QRectF(Registers[I]->geometry()).center()));
            QVERIFY(!Dark(Registers[I]->geometry().topLeft() - QPoint(0, 2 * SlotMargin + 2)));
        }
        for (const QWidget* Widget : TWidgets{Form.lblSCR, Form.lblORD, Form.lblMULTR, Form.lblMULTD, Form.lblACC})
            Check(Widget, RegisterPlate);
        for (const QWidget* Widget : TWidgets{Form.Panel1, Form.lblLongTank, Form.LTSpinEdit, Form.cbShortTanks})
            Check(Widget, SelectorInset);

        // The store rows on the round face: every corner pixel lies on the glass.
        Check(Form.Shape1, TubeFace);
        const QRectF Face(TubeFace);
        for (const TCRTDisplay* Row : Form.crtStores) {
            const QRectF R = QRectF(Row->geometry()).adjusted(0.5, 0.5, -0.5, -0.5);
            for (const QPointF Corner : {R.topLeft(), R.topRight(), R.bottomLeft(), R.bottomRight()}) {
                const QPointF D = Corner - Face.center();
                const double A = Face.width() / 2, B = Face.height() / 2;
                QVERIFY2(D.x() * D.x() / (A * A) + D.y() * D.y() / (B * B) <= 1.0, qPrintable(Row->objectName()));
            }
        }

        for (const QWidget* Button :
             TWidgets{Form.btnClear, Form.btnStart, Form.btnStop, Form.btnReset, Form.btnSingleEP})
            Check(Button, ButtonRule);
        Check(Form.RealTimeClock, ClockPlate);
        QCOMPARE(Form.RealTimeClock->geometry(), ClockFace);
        Check(Form.sbClock, ClockZeroCollar);
        Check(Form.memoLabel, TeleprinterPane);
        Check(Form.TeletypeMemo, TeleprinterPane);
        QVERIFY2(Outside.isEmpty(), qPrintable(Outside.join(' ')));

        // Each finger hole lies wholly on the black wheel.
        for (const TDialHole* Hole : Form.sbDial) {
            const QRectF R(Hole->geometry());
            for (const QPointF Corner : {R.topLeft(), R.topRight(), R.bottomLeft(), R.bottomRight()}) {
                const QPointF D = Corner - DialCentre;
                QVERIFY2(std::hypot(D.x(), D.y()) <= DialWheelRadius, qPrintable(Hole->objectName()));
            }
            QVERIFY(Dark(R.center()));
        }
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
        TStepResult Result = TStepResult::srRunning;
        Form.ExecuteStep = [&] {
            ActiveDuringStep = Form.CoreExecTimer->isActive();
            return Result;
        };
        for (TStepResult R : {TStepResult::srRunning, TStepResult::srStopped, TStepResult::srError}) {
            Result = R;
            Form.CoreExecTimer->start();
            Form.CoreExecTimerTimer();
            QVERIFY(!ActiveDuringStep);
            QCOMPARE(Form.CoreExecTimer->isActive(), R == TStepResult::srRunning);
        }
        Form.ExecuteStep = nullptr;
        Form.CoreExecTimer->start();
        Form.CoreExecTimerTimer();
        QVERIFY(!Form.CoreExecTimer->isActive());

        // Driven by the event loop: one step per event until a stop.
        int Steps = 0;
        Form.ExecuteStep = [&] { return ++Steps == 5 ? TStepResult::srStopped : TStepResult::srRunning; };
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
