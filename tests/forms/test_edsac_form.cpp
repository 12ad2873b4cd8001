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
#include "kit/RunTimer.h"
#include "forms/panel_art.h"
#include "forms/panel_layout.h"
#include "tests/named.h"

namespace {

TCRTDisplay* Tube(const TEdsacForm& Form, const QString& Name)
{
    return Named<TCRTDisplay>(&Form, Name);
}

} // namespace

class TestEdsacForm : public QObject {
    Q_OBJECT
private slots:
    // What the machine gives a register or a store row lands on that tube alone,
    // row 0 of the long tank lowest; a tube's hint says which tube and row it is.
    void EachTubeShowsItsOwnWords()
    {
        TEdsacForm Form;
        TTubeHint Heard{};
        Form.SetHintHandler([&](const TTubeHint& Hint) { Heard = Hint; });
        const std::array<TWord, 4> Words{0x155, 0x2AA, 7, 9};
        const std::pair<TRegister, const char*> Registers[] = {{TRegister::rgSequenceControl, "crtSCR"},
                                                               {TRegister::rgOrderTank, "crtORD"},
                                                               {TRegister::rgMultiplier, "crtMULTR"},
                                                               {TRegister::rgMultiplicand, "crtMULTD"},
                                                               {TRegister::rgAccumulator, "crtACC"}};
        QList<TCRTDisplay*> Blank = Form.findChildren<TCRTDisplay*>();
        for (const auto& [Kind, Name] : Registers) {
            TCRTDisplay* Shown = Tube(Form, Name);
            Form.ShowRegister(Kind, Words);
            QCOMPARE(Shown->Words()[0], Words[0]);
            Blank.removeOne(Shown);
            for (const TCRTDisplay* Other : Blank)
                QVERIFY2(Other->Words()[0] == 0, qPrintable(Other->objectName()));
            Shown->OnHint()(Shown, Shown->Words(), 0);
            QCOMPARE(Heard.Register, std::optional(Kind));
            QCOMPARE(Heard.FullName, Shown->FullName());
        }
        for (int Row = 0; Row < 16; ++Row) {
            TCRTDisplay* Shown = Tube(Form, QStringLiteral("crtStore%1").arg(Row));
            Form.ShowStoreRow(Row, std::array<TWord, 2>{Row + 1, Row + 2});
            Form.ShowStoreWord(Row, 1, 100 + Row);
            QCOMPARE(Shown->Words()[0], Row + 1);
            QCOMPARE(Shown->Words()[1], 100 + Row);
            if (Row > 0)
                QVERIFY(Shown->geometry().bottom() < Tube(Form, QStringLiteral("crtStore%1").arg(Row - 1))->y());
            Shown->OnHint()(Shown, Shown->Words(), 1);
            QVERIFY(!Heard.Register);
            QCOMPARE(Heard.Row, Row);
            QCOMPARE(Heard.Index, 1);
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

        const TCRTDisplay* const Registers[] = {Tube(Form, "crtSCR"), Tube(Form, "crtORD"), Tube(Form, "crtMULTR"),
                                                Tube(Form, "crtMULTD"), Tube(Form, "crtACC")};
        const auto W = [&](const char* Name) { return Named<QWidget>(&Form, QString::fromLatin1(Name)); };
        for (std::size_t I = 0; I < RegisterTubes.size(); ++I) {
            Check(Registers[I], Slot(RegisterTubes[I]));
            QVERIFY(Dark(QRectF(Registers[I]->geometry()).center()));
            QVERIFY(!Dark(Registers[I]->geometry().topLeft() - QPoint(0, 2 * SlotMargin + 2)));
        }
        for (const QWidget* Widget : TWidgets{W("lblSCR"), W("lblORD"), W("lblMULTR"), W("lblMULTD"), W("lblACC")})
            Check(Widget, RegisterPlate);
        for (const QWidget* Widget : TWidgets{W("Panel1"), W("lblLongTank"), W("LTSpinEdit"), W("cbShortTanks")})
            Check(Widget, SelectorInset);

        // The store rows on the round face: every corner pixel lies on the glass.
        Check(W("Shape1"), TubeFace);
        const QRectF Face(TubeFace);
        for (const TCRTDisplay* Row : Form.findChildren<TCRTDisplay*>(QRegularExpression("^crtStore"))) {
            const QRectF R = QRectF(Row->geometry()).adjusted(0.5, 0.5, -0.5, -0.5);
            for (const QPointF Corner : {R.topLeft(), R.topRight(), R.bottomLeft(), R.bottomRight()}) {
                const QPointF D = Corner - Face.center();
                const double A = Face.width() / 2, B = Face.height() / 2;
                QVERIFY2(D.x() * D.x() / (A * A) + D.y() * D.y() / (B * B) <= 1.0, qPrintable(Row->objectName()));
            }
        }

        for (const QWidget* Button :
             TWidgets{W("btnClear"), W("btnStart"), W("btnStop"), W("btnReset"), W("btnSingleEP")})
            Check(Button, ButtonRule);
        Check(W("RealTimeClock"), ClockPlate);
        QCOMPARE(W("RealTimeClock")->geometry(), ClockFace);
        Check(W("sbClock"), ClockZeroCollar);
        Check(W("memoLabel"), TeleprinterPane);
        Check(W("TeletypeMemo"), TeleprinterPane);
        QVERIFY2(Outside.isEmpty(), qPrintable(Outside.join(' ')));

        // Each finger hole lies wholly on the black wheel.
        const QList<TDialHole*> Holes = Form.findChildren<TDialHole*>();
        QCOMPARE(Holes.size(), 10);
        for (const TDialHole* Hole : Holes) {
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
        const QLabel* Label = Named<QLabel>(&Form, "lblLongTank");
        const int TextRight = Label->mapTo(&Form, Label->contentsRect().topLeft()).x() +
                              QFontMetrics(Label->font()).horizontalAdvance(Label->text());
        QVERIFY2(TextRight + 3 <= Named<QSpinBox>(&Form, "LTSpinEdit")->x(), qPrintable(QString::number(TextRight)));
    }

    // What a tube is given reaches the window: the pixels that change are the
    // tube's own, and they turn green.
    void TubesShowOnTheWindow()
    {
        TEdsacForm Form;
        const QImage Before = Form.grab().toImage();
        Form.ShowRegister(TRegister::rgAccumulator, std::array<TWord, 4>{1, 0, 0, 0});
        Form.ShowStoreRow(15, std::array<TWord, 2>{0, 1});
        const QImage After = Form.grab().toImage();
        const QRect Places[] = {Tube(Form, "crtACC")->geometry(), Tube(Form, "crtStore15")->geometry()};
        int Green[2] = {0, 0};
        for (int Y = 0; Y < After.height(); ++Y)
            for (int X = 0; X < After.width(); ++X) {
                if (Before.pixel(X, Y) == After.pixel(X, Y))
                    continue;
                const int On = Places[0].contains(X, Y) ? 0 : Places[1].contains(X, Y) ? 1 : -1;
                QVERIFY2(On >= 0, qPrintable(QStringLiteral("%1,%2").arg(X).arg(Y)));
                Green[On] += After.pixel(X, Y) == qRgb(0, 255, 0);
            }
        QVERIFY(Green[0] > 0 && Green[1] > 0);
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
        TClockDisplay* Clock = Named<TClockDisplay>(&Form, "RealTimeClock");
        Form.UpdateClockDisplay(Time);
        QVERIFY(Form.ClockShowsTime());
        QCOMPARE(Clock->Hour(), Hour);
        QCOMPARE(Clock->Minute(), Minute);
        QTEST(Clock->Second(), "Second");
        // The minute hand and the hour dot on the rim are drawn.
        QVERIFY((Clock->Image().pixel(Clock->HandEndPoint(Minute, 60, 13)) | 0xFF000000u) != qRgb(0, 0, 0));
        QCOMPARE(Clock->Image().pixel(Clock->HandEndPoint(Hour, 12, 32)) | 0xFF000000u, qRgb(255, 255, 255));
        Form.UpdateClockDisplay(0);
        QVERIFY(!Form.ClockShowsTime());
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
        const std::pair<const char*, const char*> Buttons[] = {
            {"btnClear", SIGNAL(ClearClicked())},       {"btnStart", SIGNAL(StartClicked())},
            {"btnStop", SIGNAL(StopClicked())},         {"btnReset", SIGNAL(ResetClicked())},
            {"btnSingleEP", SIGNAL(SingleEPClicked())}, {"sbClock", SIGNAL(ClockClicked())}};
        for (const auto& [Button, Signal] : Buttons) {
            QSignalSpy Spy(&Form, Signal);
            Named<QAbstractButton>(&Form, Button)->click();
            QVERIFY2(Spy.count() == 1, Signal);
        }

        QSignalSpy Dial(&Form, &TEdsacForm::DialClicked), Tank(&Form, &TEdsacForm::LongTankChanged),
            Short(&Form, &TEdsacForm::ShortTanksClicked), Gate(&Form, &TEdsacForm::ShortTanksChanged),
            Panel(&Form, &TEdsacForm::PanelMouseMoved);
        Named<TDialHole>(&Form, "sbDial0")->click();
        Named<TDialHole>(&Form, "sbDial7")->click();
        QCOMPARE(Dial, (QList<QList<QVariant>>{{10}, {7}}));
        Named<QSpinBox>(&Form, "LTSpinEdit")->setValue(31);
        QCOMPARE(Tank, (QList<QList<QVariant>>{{31}}));
        QCOMPARE(Form.LongTank(), 31);
        // The switch tells of a click, and of every change however it came.
        auto* ShortTanks = Named<QCheckBox>(&Form, "cbShortTanks");
        ShortTanks->click();
        ShortTanks->setChecked(true);
        QCOMPARE(Short, (QList<QList<QVariant>>{{false}}));
        QCOMPARE(Gate, (QList<QList<QVariant>>{{false}, {true}}));
        QVERIFY(Form.ShortTanks());
        auto* Picture = Named<QLabel>(&Form, "Image1");
        QMouseEvent Move(QEvent::MouseMove, QPointF(420, 300), Picture->mapToGlobal(QPointF(420, 300)), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(Picture, &Move);
        QCOMPARE(Panel.count(), 1);
    }
};

QTEST_MAIN(TestEdsacForm)
#include "test_edsac_form.moc"
