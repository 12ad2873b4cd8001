// What the machine has printed and punched. Printing reaches the machine window's
// teleprinter pane a frame at a time; punched characters are kept in lines of
// four. Both can be saved to a file, and a tape's text can go to the printer.
#pragma once

#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <span>
#include <string>

#include "core/MachineHost.h"

class QWidget;
class TEdsacForm;

class TTeleprinterLog {
public:
    explicit TTeleprinterLog(TEdsacForm* APane);

    // A new line that starts with Text; the pane's first line needs no line feed.
    void NewLine(const std::string& Text);
    // Characters are Latin-1 bytes, as the code tables hold them.
    void Print(char Ch);
    void Punch(char Ch);
    // Stepping back: the output of output orders taken back, the latest first.
    void TakeBack(std::span<const TOutputChar> Output);

    // Something has been printed, a bare line feed included.
    bool HasOutput() const { return FHasLine; }
    bool HasPunched() const { return !FPunched.first().isEmpty(); }
    // What has been printed, one entry per line of the pane.
    QStringList Lines() const;
    const QStringList& Punched() const { return FPunched; }
    void Discard();

    // Each line and a line break after it; a failure is reported and gives false.
    bool SaveLines(const QString& FileName) const;
    bool SavePunched(const QString& FileName) const;

    // The pane is going: nothing more is shown.
    void Stop();

private:
    void SchedulePrint();
    // Puts what has been printed since the last frame into the pane.
    void Flush() const;

    QPointer<TEdsacForm> FPane;
    // The pane has no line until the first character or line feed.
    bool FHasLine = false;
    // Line feeds printed: once a step back has taken every character away, the
    // pane still has its line if one of them is left.
    qsizetype FLineFeeds = 0;
    // Printed but not yet in the pane ("\n" starts a line); shown at the next frame.
    mutable QString FPending;
    QTimer FPrintTimer;
    QStringList FPunched;
};

// Prints Text (a tape's) in a typewriter face on the default printer, or the
// first there is, under the document name Title; says so when none can be used.
void PrintText(QWidget* Parent, const QString& Title, const QString& Text);
