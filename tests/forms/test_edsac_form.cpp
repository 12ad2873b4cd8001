#include <QCheckBox>
#include <QCloseEvent>
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
#include <vector>

#include "components/CRTDisplay.h"
#include "components/ClockDisplay.h"
#include "forms/edsac_form.h"
#include "forms/RunTimer.h"

namespace {

struct TTubeLayout {
    const char* Name;
    QRect Geometry;
    int Count;
    int Size;
    bool Hide;
    const char* FullName;
};

const TTubeLayout RegisterTubes[] = {
    {"crtSCR", {13, 244, 51, 8}, 1, 10, false, "SEQUENCE CONTROL REGISTER"},
    {"crtORD", {103, 244, 86, 8}, 1, 18, true, "ORDER TANK"},
    {"crtMULTR", {13, 264, 177, 8}, 2, 18, true, "MULTIPLIER"},
    {"crtMULTD", {13, 284, 177, 8}, 2, 18, true, "MULTIPLICAND"},
    {"crtACC", {13, 304, 359, 8}, 4, 18, true, "ACCUMULATOR"},
};

bool GreenAt(const QImage& Image, int X, int Y)
{
    return Image.pixel(X, Y) == qRgb(0, 255, 0);
}

} // namespace

class TestEdsacForm : public QObject {
    Q_OBJECT
private slots:
    void WindowIsAFixedHiddenPanel()
    {
        TEdsacForm Form;
        QCOMPARE(Form.windowTitle(), QString("EDSAC"));
        QVERIFY(!Form.isVisible());
        QCOMPARE(Form.size(), QSize(511, 320));
        QCOMPARE(Form.minimumSize(), Form.maximumSize());
        QCOMPARE(Form.Image1->pixmap().size(), QSize(512, 322));
        QCOMPARE(Form.memoLabel->text(), QString(" Output From: No Program"));
        Form.SetTapeName("No Program");
        QCOMPARE(Form.memoLabel->text(), QString("Output From: No Program"));
        QVERIFY(Form.TeletypeMemo->isReadOnly());
        QVERIFY(Form.TeletypeMemo->toPlainText().isEmpty());
        QCOMPARE(Form.LTSpinEdit->minimum(), 0);
        QCOMPARE(Form.LTSpinEdit->maximum(), 31);
        QVERIFY(Form.cbShortTanks->isChecked());
        QVERIFY(!Form.CoreExecTimer->isActive());
        QVERIFY(!Form.CoreExecTimer->isSingleShot());
        QCOMPARE(Form.CoreExecTimer->interval(), 1);
        QCOMPARE(Form.sbClock->toolTip(), QString("Zeroize Clock"));
        QCOMPARE(Form.btnSingleEP->text(), QString("Single E.P"));
    }

    void TubesSitWhereTheLayoutPutsThem()
    {
        TEdsacForm Form;
        for (const TTubeLayout& Row : RegisterTubes) {
            auto* Tube = Form.findChild<TCRTDisplay*>(Row.Name);
            QVERIFY2(Tube, Row.Name);
            QCOMPARE(Tube->geometry(), Row.Geometry);
            QCOMPARE(Tube->WordCount(), Row.Count);
            QCOMPARE(Tube->WordSize(), Row.Size);
            QCOMPARE(Tube->Spacing(), 1);
            QCOMPARE(Tube->HideFirstBit(), Row.Hide);
            QCOMPARE(Tube->FullName(), QString(Row.FullName));
        }
        for (int N = 0; N < 16; ++N) {
            TCRTDisplay* Tube = Form.crtStores[static_cast<std::size_t>(N)];
            QCOMPARE(Tube->objectName(), QString("crtStore%1").arg(N));
            QCOMPARE(Tube->geometry(), QRect(30, 180 - 9 * N, 177, 8));
            QCOMPARE(Tube->FullName(), QString("WORDS_%1-%2").arg(2 * N).arg(2 * N + 1));
        }

        // On the rendered window: the zero points of the sequence control
        // register, and a one in the accumulator and in the top store row.
        const std::vector<TWord> Acc{1, 0, 0, 0}, Store{0, 1};
        Form.crtACC->SetWords(Acc, false);
        Form.crtStores[15]->SetWords(Store, false);
        const QImage Shot = Form.grab().toImage();
        for (int K = 0; K < 10; ++K)
            QVERIFY(GreenAt(Shot, 13 + 48 - 5 * K, 248));
        QVERIFY(GreenAt(Shot, 13 + 83, 304 + 3) && GreenAt(Shot, 13 + 83, 304 + 4));
        QVERIFY(GreenAt(Shot, 30 + 173, 45 + 3) && !GreenAt(Shot, 30 + 168, 45 + 3));
    }

    void ClockShowsMachineTime()
    {
        TEdsacForm Form;
        TClockDisplay* Clock = Form.RealTimeClock;
        QCOMPARE(Clock->geometry(), QRect(424, 160, 64, 64));
        QCOMPARE(Clock->Second(), 0);
        Form.UpdateClockDisplay(6000000);
        QCOMPARE(Clock->Second(), 0);
        QCOMPARE(Clock->Minute(), 10);
        QCOMPARE(Clock->Hour(), 0);
        QCOMPARE(Clock->Image().pixel(Clock->HandEndPoint(10, 60, 13)) | 0xFF000000u, qRgb(255, 255, 255));

        // 13 h 5 min 7 s reads as one o'clock on a twelve-hour face.
        Form.UpdateClockDisplay((13u * 3600u + 5u * 60u + 7u) * 10000u);
        QCOMPARE(Clock->Hour(), 1);
        QCOMPARE(Clock->Minute(), 5);
        QCOMPARE(Clock->Second(), 7);
        const QPoint Tip = Clock->HandEndPoint(1, 12, 32);
        QCOMPARE(Clock->Image().pixel(Tip - QPoint(1, 1)) | 0xFF000000u, qRgb(255, 255, 255));
        // The largest machine time: 119 h 18 min 16 s.
        Form.UpdateClockDisplay(0xFFFFFFFFu);
        QCOMPARE(Clock->Hour(), 11);
        QCOMPARE(Clock->Minute(), 18);
        QCOMPARE(Clock->Second(), 16);
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
        QVERIFY(!CloseBox.isAccepted());
        QVERIFY(Form.isVisible());
        // Quitting the application closes every window; the panel must not stop it.
        QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        bool Hung = false;
        QTimer Watchdog;
        Watchdog.setSingleShot(true);
        connect(&Watchdog, &QTimer::timeout, [&] {
            Hung = true;
            QCoreApplication::exit(1);
        });
        Watchdog.start(2000);
        QCOMPARE(QCoreApplication::exec(), 0);
        QVERIFY(!Hung);
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
        QSignalSpy Dial(&Form, &TEdsacForm::DialClicked);
        Form.sbDial[0]->click();
        Form.sbDial[7]->click();
        QCOMPARE(Dial.count(), 2);
        QCOMPARE(Dial.at(0).at(0).toInt(), 10);
        QCOMPARE(Dial.at(1).at(0).toInt(), 7);
        QCOMPARE(Form.sbDial[0]->geometry(), QRect(457, 299, 12, 12));
        QCOMPARE(Form.sbDial[1]->objectName(), QString("sbDial1"));

        QSignalSpy Start(&Form, &TEdsacForm::StartClicked), Stop(&Form, &TEdsacForm::StopClicked);
        Form.btnStart->click();
        Form.btnStop->click();
        QCOMPARE(Start.count(), 1);
        QCOMPARE(Stop.count(), 1);

        QSignalSpy Tank(&Form, &TEdsacForm::LongTankChanged);
        Form.LTSpinEdit->setValue(31);
        QCOMPARE(Tank.count(), 1);
        QCOMPARE(Tank.at(0).at(0).toInt(), 31);

        QSignalSpy Short(&Form, &TEdsacForm::ShortTanksClicked);
        Form.cbShortTanks->click();
        QCOMPARE(Short.count(), 1);
        QCOMPARE(Short.at(0).at(0).toBool(), false);

        QSignalSpy Panel(&Form, &TEdsacForm::PanelMouseMoved);
        QMouseEvent Move(QEvent::MouseMove, QPointF(420, 300), Form.Image1->mapToGlobal(QPointF(420, 300)),
                         Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(Form.Image1, &Move);
        QCOMPARE(Panel.count(), 1);
    }
};

QTEST_MAIN(TestEdsacForm)
#include "test_edsac_form.moc"
