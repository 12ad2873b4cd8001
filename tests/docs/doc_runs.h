// The runs the guides speak of, made for real: a run is written as the guides write
// it ("`tapes/times.txt`, dial 7"), carried out on the bare machine with every figure
// the guides may state counted, or on the offscreen panel as a reader would press
// Start and dial.
#pragma once

#include <QFile>
#include <QList>
#include <QMap>
#include <QPair>
#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <algorithm>
#include <exception>
#include <string>
#include <vector>

#include "core/ControlUnit.h"
#include "core/EdsacCore.h"
#include "core/MachineHost.h"
#include "core/TapeReader.h"
#include "core/errors.h"
#include "core/ALUnit.h"
#include "core/initial_orders.h"
#include "tests/bridge/std_world.h"

namespace DocRuns {

// A run as the guides write it: items separated by ", " (not inside `...`):
//   `tapes/NAME.txt`           the tape (absent: the Initial Orders alone)
//   Initial Orders 1           the loader (Initial Orders 2 otherwise)
//   dial 70                    at each stop dial the next figure, and go on
//   `OLD` as `NEW`             the tape with its one OLD replaced; `OLD` deleted
//   every game                 every game a visitor can play (the noughts suite plays them)
// In `...`, \n stands for a line break.
struct TDocRun {
    QString Text;
    QString Tape;
    TInitialOrders Orders = ioOrders2;
    QString Dial;
    QList<QPair<QString, QString>> Changes;
    bool EveryGame = false;
};

inline QStringList SplitItems(const QString& Text)
{
    QStringList Items;
    QString Item;
    bool InCode = false;
    for (qsizetype I = 0; I < Text.size(); ++I) {
        const QChar C = Text[I];
        if (C == QLatin1Char('`'))
            InCode = !InCode;
        if (!InCode && C == QLatin1Char(',') && I + 1 < Text.size() && Text[I + 1] == QLatin1Char(' ')) {
            Items << Item.trimmed();
            Item.clear();
            ++I;
            continue;
        }
        Item += C;
    }
    Items << Item.trimmed();
    return Items;
}

inline QString Unescape(QString Code)
{
    return Code.replace(QStringLiteral("\\n"), QStringLiteral("\n"));
}

// Empty Error when the text is a run.
inline TDocRun ParseRun(const QString& Text, QString& Error)
{
    TDocRun Request;
    Request.Text = Text;
    static const QRegularExpression TapeItem(QStringLiteral("^`?(tapes/[^`]+\\.txt)`?$"));
    static const QRegularExpression OrdersItem(QStringLiteral("^Initial Orders ([12])$"));
    static const QRegularExpression DialItem(QStringLiteral("^dial ([0-9]+)$"));
    static const QRegularExpression ChangeItem(QStringLiteral("^`([^`]+)` as `([^`]*)`$"));
    static const QRegularExpression DeleteItem(QStringLiteral("^`([^`]+)` deleted$"));
    for (const QString& Item : SplitItems(Text)) {
        QRegularExpressionMatch M;
        if ((M = TapeItem.match(Item)).hasMatch())
            Request.Tape = M.captured(1);
        else if ((M = OrdersItem.match(Item)).hasMatch())
            Request.Orders = M.captured(1) == QLatin1String("1") ? ioOrders1 : ioOrders2;
        else if ((M = DialItem.match(Item)).hasMatch())
            Request.Dial = M.captured(1);
        else if ((M = ChangeItem.match(Item)).hasMatch())
            Request.Changes.append({Unescape(M.captured(1)), Unescape(M.captured(2))});
        else if ((M = DeleteItem.match(Item)).hasMatch())
            Request.Changes.append({Unescape(M.captured(1)), QString()});
        else if (Item == QLatin1String("every game"))
            Request.EveryGame = true;
        else
            Error = QStringLiteral("\"%1\" is not part of a run").arg(Item);
    }
    return Request;
}

// The tape's text with the run's changes made; each OLD must be there exactly once.
inline QString TapeText(const QString& Root, const TDocRun& Request, QString& Error)
{
    QFile File(Root + QLatin1Char('/') + Request.Tape);
    if (!File.open(QIODevice::ReadOnly)) {
        Error = Request.Tape + QStringLiteral(" cannot be read");
        return {};
    }
    QString Text = QString::fromUtf8(File.readAll());
    for (const auto& [Old, New] : Request.Changes) {
        if (Text.count(Old) != 1) {
            Error = QStringLiteral("\"%1\" is not on %2 exactly once").arg(Old, Request.Tape);
            return {};
        }
        Text.replace(Old, New);
    }
    return Text;
}

// Where each loader lies, and the words below 44 that Initial Orders 2 work in.
inline int LastLoaderPlace(TInitialOrders Orders)
{
    return Orders == ioOrders1 ? 30 : 40;
}
inline int LoaderWorkEnd(TInitialOrders Orders)
{
    return Orders == ioOrders1 ? 30 : 43;
}

// Everything a guide may say about a run of the bare machine. Times are in units
// of 100 microseconds, as the machine counts them.
struct TCoreRun {
    QStringList Lines; // the teleprinter's lines
    QStringList Trace; // when asked for
    QString Ending; // "stop order", "order limit" or the first line of the machine's message
    qint64 Orders = 0, Time = 0;
    qint64 Read = 0, ReadTime = 0, Printed = 0, PrintTime = 0;
    qint64 LoadOrders = 0, LoadTime = 0; // the Initial Orders' own, up to the program's first order
    std::vector<bool> Loaded = std::vector<bool>(1024); // written there by the Initial Orders
    std::vector<TWord> Store;
    int Stops = 0, StopsWithClearAcc = 0; // stop orders, and those met with a clear accumulator
    // When a location's sandwich bit was set and when it was cleared again (-1: never).
    QMap<int, QList<QPair<qint64, qint64>>> Sandwich;
};

class TDocHost final : public IEdsacHost {
public:
    TTapeText Tape;
    QStringList Lines;
    // Every trace line, marked with its unit as valvane-run --trace marks it, when asked for.
    bool Tracing = false;
    QStringList Trace;
    std::vector<std::pair<int, TWord>> Written; // during the order being executed

    void CoreMessage(const TTraceLine& Msg) override { Note("core: ", Msg); }
    void StoreMessage(const TTraceLine& Msg) override { Note("store: ", Msg); }
    void IOMessage(const TTraceLine& Msg) override { Note("io: ", Msg); }
    void ControlMessage(const TTraceLine& Msg) override { Note("control: ", Msg); }
    void ALUMessage(const TTraceLine& Msg) override { Note("alu: ", Msg); }
    void UpdateStoreWord(int Address, TWord Value) override { Written.emplace_back(Address, Value); }
    void TeleprinterNewLine(const std::string& Text) override
    {
        Lines << QString::fromLatin1(Text.data(), static_cast<qsizetype>(Text.size()));
    }
    void TeleprinterPrint(char Ch) override
    {
        if (Lines.isEmpty())
            Lines << QString();
        Lines.last() += QChar(static_cast<uchar>(Ch));
    }
    int ReadTapeChar() override { return ReadTapeCode(Tape, true, *this); }

private:
    void Note(const char* Unit, const TTraceLine& Msg)
    {
        if (Tracing)
            Trace << QLatin1String(Unit) + QString::fromStdString(Msg.str());
    }
};

inline TCoreRun RunOnCore(const QString& Root, const TDocRun& Request, QString& Error, bool Trace = false)
{
    TCoreRun R;
    TDocHost Host;
    Host.Tracing = Trace;
    TEdsacCore Core(Host);
    if (!Request.Tape.isEmpty()) {
        const QString Text = TapeText(Root, Request, Error);
        if (!Error.isEmpty())
            return R;
        Host.Tape.SetText(Text.toStdU32String());
    }
    Core.Init();
    Core.SetInitialOrders(Request.Orders);
    Core.LoadInitialOrders();
    if (!Request.Tape.isEmpty()) {
        const TControlUnit& Control = Core.Control();
        const int LastPlace = LastLoaderPlace(Request.Orders);
        QString Dial = Request.Dial;
        bool Loading = true;
        for (;;) {
            if (R.Orders >= 100'000'000) {
                R.Ending = QStringLiteral("order limit");
                break;
            }
            const int Place = Control.GetSCR();
            const qint64 Before = Control.GetElapsedTime();
            Host.Written.clear();
            try {
                Core.ExecuteOrder();
            } catch (const std::exception& E) {
                R.Ending = QString::fromStdString(DescribeStop(E).Text).section(QLatin1Char('\r'), 0, 0);
                break;
            }
            ++R.Orders;
            const qint64 After = Control.GetElapsedTime();
            const qint64 Spent = After - Before;
            switch ((Control.GetOrderTank() >> 12) & 31) {
            case 8:
                ++R.Read;
                R.ReadTime += Spent;
                break;
            case 9:
                ++R.Printed;
                R.PrintTime += Spent;
                break;
            default: break;
            }
            Loading = Loading && Place <= LastPlace;
            if (Loading) {
                ++R.LoadOrders;
                R.LoadTime += Spent;
            }
            for (const auto& [Address, Value] : Host.Written) {
                if (Place <= LastPlace && Address > LoaderWorkEnd(Request.Orders))
                    R.Loaded[static_cast<size_t>(Address)] = true;
                const bool Set = (Value >> 17) & 1;
                QList<QPair<qint64, qint64>>& Spans = R.Sandwich[Address];
                const bool WasSet = !Spans.isEmpty() && Spans.last().second < 0;
                if (Set && !WasSet)
                    Spans.append({After, -1});
                else if (!Set && WasSet)
                    Spans.last().second = After;
                if (Spans.isEmpty())
                    R.Sandwich.remove(Address);
            }
            if (Core.IsStopped()) {
                ++R.Stops;
                const TAccWords& Acc = Core.Arithmetic().Acc();
                R.StopsWithClearAcc += std::all_of(Acc.begin(), Acc.end(), [](TWord W) { return W == 0; });
                if (Dial.isEmpty()) {
                    R.Ending = QStringLiteral("stop order");
                    break;
                }
                const int Digit = Dial.front().digitValue();
                Dial.remove(0, 1);
                Core.Dial(Digit == 0 ? 10 : Digit);
                Core.ClearStop();
            }
        }
        R.Time = Control.GetElapsedTime();
    }
    R.Lines = Host.Lines;
    R.Trace = Host.Trace;
    const auto& Store = Core.GetStoreContents();
    R.Store.assign(Store.begin(), Store.end());
    Core.Shutdown();
    return R;
}

// What the machine window's teleprinter shows after the run, and the messages it
// brought up ("caption|text").
struct TPanelRun {
    QStringList Lines;
    QStringList Messages;
};

inline TPanelRun RunOnPanel(const QString& Root, const TDocRun& Request, QString& Error)
{
    TPanelRun R;
    TWorld W;
    W.Main()->SetInitialOrders(Request.Orders);
    if (Request.Changes.isEmpty()) {
        if (!W.Bridge->OpenTape(Root + QLatin1Char('/') + Request.Tape))
            Error = Request.Tape + QStringLiteral(" does not open");
    } else {
        const QString Text = TapeText(Root, Request, Error);
        if (Error.isEmpty())
            W.Tape(Text);
    }
    if (!Error.isEmpty())
        return R;
    if (W.RunToStop() != 0)
        Error = Request.Text + QStringLiteral(": still running");
    for (const QChar Digit : Request.Dial) {
        if (!Error.isEmpty() || !W.Messages.isEmpty())
            break;
        W.OnPanel<QAbstractButton>(qPrintable(QStringLiteral("sbDial%1").arg(Digit)))->click();
        if (W.RunToStop(1000000, false) != 0)
            Error = Request.Text + QStringLiteral(": still running");
    }
    R.Lines = W.Bridge->TeleprinterLines();
    R.Messages = W.Messages;
    return R;
}

} // namespace DocRuns
