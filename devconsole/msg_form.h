// A trace window of the developer console: one memo of trace lines from one unit
// of the core.
#pragma once

#include <QPlainTextEdit>
#include <QString>
#include <QTimer>
#include <QWidget>
#include <deque>

// A read-only memo for trace lines. At full speed the core sends thousands of
// lines a second, so lines are queued and written in batches on a short timer,
// and the memo keeps only the newest MaxLines of them.
class TMsgMemo : public QPlainTextEdit {
    Q_OBJECT

public:
    static constexpr int MaxLines = 5000;
    static constexpr int FlushInterval = 50; // milliseconds

    explicit TMsgMemo(QWidget* Parent = nullptr);

    // Queues a line; it appears, in order, at the next flush.
    void AddMsg(const QString& Line);
    // Writes the queued lines now and moves the caret to the end.
    void Flush();
    // Empties the memo and drops the queued lines.
    void Clear();
    int PendingCount() const { return static_cast<int>(Pending.size()); }

private:
    std::deque<QString> Pending;
    QTimer FlushTimer;
};

class TMsgForm : public QWidget {
    Q_OBJECT

public:
    static constexpr int DesignWidth = 311;
    static constexpr int DesignHeight = 334;

    // A separate window; the parent only owns it. It starts hidden.
    explicit TMsgForm(const QString& Caption, QWidget* Parent = nullptr);

    // Appends a line and moves the caret to the end of the text.
    void AddMsg(const QString& Line) { msgs->AddMsg(Line); }

    TMsgMemo* msgs;

signals:
    // The user closed the window.
    void Closed();

protected:
    void closeEvent(QCloseEvent* Event) override;
};
