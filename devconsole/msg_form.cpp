#include "devconsole/msg_form.h"

#include <QCloseEvent>
#include <QVBoxLayout>

TMsgMemo::TMsgMemo(QWidget* Parent) : QPlainTextEdit(Parent)
{
    setReadOnly(true);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setMaximumBlockCount(MaxLines);
    // No undo history: it would keep every line ever trimmed from the top.
    setUndoRedoEnabled(false);

    FlushTimer.setSingleShot(true);
    FlushTimer.setInterval(FlushInterval);
    connect(&FlushTimer, &QTimer::timeout, this, &TMsgMemo::Flush);
}

void TMsgMemo::AddMsg(const QString& Line)
{
    Pending.emplace_back(Line);
    Queued();
}

void TMsgMemo::AddMsg(const TTraceLine& Line)
{
    Pending.emplace_back(Line);
    Queued();
}

void TMsgMemo::Queued()
{
    // Lines beyond the memo's limit would be trimmed at once; drop them here so
    // the queue stays bounded when flushing falls behind.
    if (Pending.size() > static_cast<std::size_t>(MaxLines)) {
        Pending.pop_front();
        Overflowed = true;
    }
    if (!FlushTimer.isActive())
        FlushTimer.start();
}

void TMsgMemo::Flush()
{
    FlushTimer.stop();
    if (Pending.empty())
        return;
    QString Text;
    bool First = true;
    for (const auto& Line : Pending) {
        if (!First)
            Text += QLatin1Char('\n');
        First = false;
        if (const QString* Plain = std::get_if<QString>(&Line))
            Text += *Plain;
        else
            Text += QString::fromStdString(std::get<TTraceLine>(Line).str());
    }
    Pending.clear();
    if (Overflowed) {
        // Everything shown is older than what was dropped: replace it whole rather
        // than append and trim the same number of lines from the top.
        Overflowed = false;
        setPlainText(Text);
    } else {
        appendPlainText(Text);
    }
    moveCursor(QTextCursor::End);
    ensureCursorVisible();
}

void TMsgMemo::Clear()
{
    FlushTimer.stop();
    Pending.clear();
    Overflowed = false;
    clear();
}

TMsgForm::TMsgForm(const QString& Caption, QWidget* Parent) : QWidget(Parent, Qt::Window), msgs(new TMsgMemo(this))
{
    setWindowTitle(Caption);
    auto* Layout = new QVBoxLayout(this);
    Layout->setContentsMargins(0, 0, 0, 0);
    Layout->addWidget(msgs);
    resize(DesignWidth, DesignHeight);
}

void TMsgForm::closeEvent(QCloseEvent* Event)
{
    Event->accept();
    emit Closed();
}
