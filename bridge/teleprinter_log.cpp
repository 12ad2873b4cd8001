#include "bridge/teleprinter_log.h"

#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

#include "components/FrameClock.h"
#include "core/PunchedTape.h"
#include "files/SafeFile.h"
#include "kit/Dialogs.h"
#include "forms/edsac_form.h"
#include "core/messages.h"

namespace {

// Texts of the machine are Latin-1 bytes.
QChar Latin1(char Ch)
{
    return QChar(static_cast<uchar>(Ch));
}

bool WriteLines(const QString& FileName, const QStringList& Lines)
{
    QByteArray Data;
    for (const QString& Line : Lines)
        Data += Line.toUtf8() + '\n';
    // Every byte checked before the old file is replaced; a device or pipe is
    // written, never replaced.
    QString Reason;
    if (Files::WriteWholeFile(FileName, Data, Reason))
        return true;
    Dialogs::Message(nullptr, QStringLiteral("Error"), QString::fromLatin1(Messages::CannotSave).arg(FileName, Reason),
                     QMessageBox::Ok, QMessageBox::Critical);
    return false;
}

} // namespace

TTeleprinterLog::TTeleprinterLog(TEdsacForm* APane) : FPane(APane)
{
    ClearPunched(FPunched);
    FPrintTimer.setSingleShot(true);
    FPrintTimer.setInterval(FrameClock::FrameInterval);
    QObject::connect(&FPrintTimer, &QTimer::timeout, &FPrintTimer, [this] { Flush(); });
}

// Printing goes to the pane a frame at a time: inserting characters one by one
// would lay the pane's last line out again after every output order.
void TTeleprinterLog::NewLine(const std::string& Text)
{
    if (FHasLine)
        FPending += QLatin1Char('\n');
    FPending += QString::fromLatin1(Text.data(), static_cast<qsizetype>(Text.size()));
    FHasLine = true;
    ++FLineFeeds;
    SchedulePrint();
}

void TTeleprinterLog::Print(char Ch)
{
    FPending += Latin1(Ch);
    FHasLine = true;
    SchedulePrint();
}

void TTeleprinterLog::Punch(char Ch)
{
    PunchInto(FPunched, Latin1(Ch));
}

void TTeleprinterLog::TakeBack(std::span<const TOutputChar> Output)
{
    // Taken off the end of what has been printed, the latest first. A line feed
    // put a line break there unless it began the pane's first line, when nothing
    // had been printed before it.
    qsizetype Printed = FPending.size() + (FPane ? FPane->TeleprinterLength() : 0);
    qsizetype Characters = 0;
    for (const TOutputChar& Out : Output) {
        if (FPunched.size() > 1 || !FPunched.first().isEmpty()) {
            FPunched.last().chop(1);
            if (FPunched.last().isEmpty() && FPunched.size() > 1)
                FPunched.removeLast();
        }
        if (Out.Kind == TPrintKind::pkNewLine && FLineFeeds > 0)
            --FLineFeeds;
        if (Out.Kind != TPrintKind::pkNothing && Printed > 0) {
            --Printed;
            ++Characters;
        }
    }
    const qsizetype FromPending = std::min(Characters, FPending.size());
    FPending.chop(FromPending);
    if (Characters > FromPending && FPane)
        FPane->ChopTeleprinter(static_cast<int>(Characters - FromPending));
    FHasLine = Printed > 0 || FLineFeeds > 0;
}

void TTeleprinterLog::SchedulePrint()
{
    if (!FPrintTimer.isActive())
        FPrintTimer.start();
}

void TTeleprinterLog::Flush() const
{
    if (FPending.isEmpty() || !FPane)
        return;
    FPane->AppendTeleprinter(FPending);
    FPending.clear();
}

QStringList TTeleprinterLog::Lines() const
{
    Flush();
    if (!FHasLine || !FPane)
        return {};
    return FPane->TeleprinterLines();
}

void TTeleprinterLog::Discard()
{
    FPending.clear();
    if (FPane)
        FPane->ClearTeleprinter();
    FHasLine = false;
    FLineFeeds = 0;
    ClearPunched(FPunched);
}

bool TTeleprinterLog::SaveLines(const QString& FileName) const
{
    return WriteLines(FileName, Lines());
}

bool TTeleprinterLog::SavePunched(const QString& FileName) const
{
    return WriteLines(FileName, FPunched);
}

void TTeleprinterLog::Stop()
{
    FPrintTimer.stop();
    FPane = nullptr;
}

void PrintText(QWidget* Parent, const QString& Title, const QString& Text)
{
    if (QPrinterInfo::availablePrinters().isEmpty()) {
        Dialogs::Message(Parent, QStringLiteral("Print"), QString::fromLatin1(Messages::NoPrinter), QMessageBox::Ok,
                         QMessageBox::Warning);
        return;
    }
    QPrinterInfo Info = QPrinterInfo::defaultPrinter();
    if (Info.isNull())
        Info = QPrinterInfo::availablePrinters().first();
    QPrinter Printer(Info);
    Printer.setDocName(Title);
    QPainter Painter;
    if (!Painter.begin(&Printer)) {
        Dialogs::Message(Parent, QStringLiteral("Print"),
                         QString::fromLatin1(Messages::PrinterUnusable).arg(Info.printerName()), QMessageBox::Ok,
                         QMessageBox::Warning);
        return;
    }
    QFont Font(QStringLiteral("Courier"));
    Font.setStyleHint(QFont::TypeWriter);
    Font.setPointSize(10);
    Painter.setFont(Font);
    const int LineHeight = Painter.fontMetrics().lineSpacing();
    const int PageHeight = Painter.viewport().height();
    int Y = LineHeight;
    const QStringList Lines = Text.split(QLatin1Char('\n'));
    for (const QString& Line : Lines) {
        if (Y > PageHeight) {
            Printer.newPage();
            Y = LineHeight;
        }
        Painter.drawText(0, Y, Line);
        Y += LineHeight;
    }
    Painter.end();
}
