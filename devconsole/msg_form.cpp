#include "devconsole/msg_form.h"

#include <QCloseEvent>
#include <QStringList>
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
    Pending.push_back(Line);
    // Lines beyond the memo's limit would be trimmed at once; drop them here so
    // the queue stays bounded when flushing falls behind.
    if (Pending.size() > static_cast<std::size_t>(MaxLines))
        Pending.pop_front();
    if (!FlushTimer.isActive())
        FlushTimer.start();
}

void TMsgMemo::Flush()
{
    FlushTimer.stop();
    if (Pending.empty())
        return;
    QStringList Lines;
    Lines.reserve(static_cast<qsizetype>(Pending.size()));
    for (QString& Line : Pending)
        Lines.append(std::move(Line));
    Pending.clear();
    appendPlainText(Lines.join(QLatin1Char('\n')));
    moveCursor(QTextCursor::End);
    ensureCursorVisible();
}

void TMsgMemo::Clear()
{
    FlushTimer.stop();
    Pending.clear();
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
