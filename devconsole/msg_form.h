// A trace window of the developer console: one memo of trace lines from one unit
// of the core.
#pragma once

#include <QPlainTextEdit>
#include <QString>
#include <QTimer>
#include <QWidget>
#include <deque>
#include <variant>

#include "core/TraceLine.h"

// A read-only memo for trace lines. At full speed the core sends thousands of
// lines a second, so lines are queued and written in batches on a short timer,
// and the memo keeps only the newest MaxLines of them. A trace line is queued as
// it came and spelt out only if it is still among the newest when written.
class TMsgMemo : public QPlainTextEdit {
    Q_OBJECT

public:
    static constexpr int MaxLines = 5000;
    static constexpr int FlushInterval = 50; // milliseconds

    explicit TMsgMemo(QWidget* Parent = nullptr);

    // Queues a line; it appears, in order, at the next flush.
    void AddMsg(const QString& Line);
    void AddMsg(const TTraceLine& Line);
    void AddMsg(const char* Line) { AddMsg(QString::fromUtf8(Line)); }
    // Writes the queued lines now and moves the caret to the end.
    void Flush();
    // Empties the memo and drops the queued lines.
    void Clear();
    int PendingCount() const { return static_cast<int>(FPending.size()); }

private:
    void Queued();

    std::deque<std::variant<QString, TTraceLine>> FPending;
    // Lines were dropped from the queue: what the memo holds is all older still.
    bool FOverflowed = false;
    QTimer FFlushTimer;
};

class TMsgForm : public QWidget {
    Q_OBJECT

public:
    static constexpr int DesignWidth = 311;
    static constexpr int DesignHeight = 334;

    // A separate window; the parent only owns it. It starts hidden.
    explicit TMsgForm(const QString& Caption, QWidget* Parent = nullptr);

    // Queues a line; it appears at the memo's next flush, which moves the caret
    // to the end of the text.
    void AddMsg(const QString& Line) { FMemo->AddMsg(Line); }
    void AddMsg(const TTraceLine& Line) { FMemo->AddMsg(Line); }
    void Flush() { FMemo->Flush(); }
    void Clear() { FMemo->Clear(); }
    // What the window shows, and in how many lines.
    QString Text() const { return FMemo->toPlainText(); }
    int LineCount() const { return FMemo->blockCount(); }

signals:
    // The user closed the window.
    void Closed();

protected:
    void closeEvent(QCloseEvent* Event) override;

private:
    TMsgMemo* FMemo;
};
