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

    FFlushTimer.setSingleShot(true);
    FFlushTimer.setInterval(FlushInterval);
    connect(&FFlushTimer, &QTimer::timeout, this, &TMsgMemo::Flush);
}

void TMsgMemo::AddMsg(const QString& Line)
{
    FPending.emplace_back(Line);
    Queued();
}

void TMsgMemo::AddMsg(const TTraceLine& Line)
{
    FPending.emplace_back(Line);
    Queued();
}

void TMsgMemo::Queued()
{
    // Lines beyond the memo's limit would be trimmed at once; drop them here so
    // the queue stays bounded when flushing falls behind.
    if (FPending.size() > static_cast<std::size_t>(MaxLines)) {
        FPending.pop_front();
        FOverflowed = true;
    }
    if (!FFlushTimer.isActive())
        FFlushTimer.start();
}

void TMsgMemo::Flush()
{
    FFlushTimer.stop();
    if (FPending.empty())
        return;
    QString Text;
    bool First = true;
    for (const auto& Line : FPending) {
        if (!First)
            Text += QLatin1Char('\n');
        First = false;
        if (const QString* Literal = std::get_if<QString>(&Line))
            Text += *Literal;
        else
            Text += QString::fromStdString(std::get<TTraceLine>(Line).str());
    }
    FPending.clear();
    if (FOverflowed) {
        // Everything shown is older than what was dropped: replace it whole rather
        // than append and trim the same number of lines from the top.
        FOverflowed = false;
        setPlainText(Text);
    } else {
        appendPlainText(Text);
    }
    moveCursor(QTextCursor::End);
    ensureCursorVisible();
}

void TMsgMemo::Clear()
{
    FFlushTimer.stop();
    FPending.clear();
    FOverflowed = false;
    clear();
}

TMsgForm::TMsgForm(const QString& Caption, QWidget* Parent) : QWidget(Parent, Qt::Window), FMemo(new TMsgMemo(this))
{
    setWindowTitle(Caption);
    FMemo->setObjectName(QStringLiteral("msgs"));
    auto* Layout = new QVBoxLayout(this);
    Layout->setContentsMargins(0, 0, 0, 0);
    Layout->addWidget(FMemo);
    resize(DesignWidth, DesignHeight);
}

void TMsgForm::closeEvent(QCloseEvent* Event)
{
    Event->accept();
    emit Closed();
}
