#include "forms/editor_form.h"

#include <QCloseEvent>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QSaveFile>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QVBoxLayout>
#include <string_view>

#include "forms/Dialogs.h"

namespace {

const QString DefaultExtension = QStringLiteral("txt");

// Shows the hour-glass for as long as it lives.
class TBusyCursor {
public:
    TBusyCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~TBusyCursor() { QGuiApplication::restoreOverrideCursor(); }
    TBusyCursor(const TBusyCursor&) = delete;
    TBusyCursor& operator=(const TBusyCursor&) = delete;
};

// A tape file as text: UTF-8, or Latin-1 when the bytes are not UTF-8, with every
// line end as "\n". On failure returns false and says why.
bool ReadTapeFile(const QString& Path, QString& Text, QString& Reason)
{
    TBusyCursor Busy;
    if (QFileInfo(Path).isDir()) {
        Reason = TEditorForm::tr("It is a folder, not a file.");
        return false;
    }
    QFile File(Path);
    if (!File.open(QIODevice::ReadOnly)) {
        Reason = File.errorString();
        return false;
    }
    const QByteArray Bytes = File.readAll();
    if (File.error() != QFileDevice::NoError) {
        Reason = File.errorString();
        return false;
    }
    Text = QString::fromStdU32String(
        DecodeTapeBytes(std::string_view(Bytes.constData(), static_cast<size_t>(Bytes.size()))));
    Text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    Text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return true;
}

// Writes through a temporary file that replaces the old one only when complete,
// so a failed write (disk full, no permission) leaves the old file as it was.
bool WriteTapeFile(const QString& Path, const QString& Text, QString& Reason)
{
    TBusyCursor Busy;
    QSaveFile File(Path);
    // Unbuffered, so a failing write reports its own reason (such as a full disk).
    if (!File.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        Reason = File.errorString();
        return false;
    }
    // A short write carries no reason; the next write fails and gives it.
    const QByteArray Bytes = Text.toUtf8();
    for (qint64 Done = 0; Done < Bytes.size();) {
        const qint64 Written = File.write(Bytes.constData() + Done, Bytes.size() - Done);
        if (Written <= 0) {
            Reason = File.errorString();
            return false;
        }
        Done += Written;
    }
    if (!File.commit()) {
        Reason = File.errorString();
        return false;
    }
    return true;
}

void ReportFileError(QWidget* Parent, const QString& What, const QString& Path, const QString& Reason)
{
    Dialogs::Message(Parent, QStringLiteral("Error"), What + Path + QLatin1Char('\n') + Reason,
                     QMessageBox::Ok, QMessageBox::Critical);
}

} // namespace

TEditorForm::TEditorForm(QWidget* Owner, const QString& Caption)
    : QWidget(Owner, Qt::Window), FEditor(new QPlainTextEdit(this))
{
    auto* Layout = new QVBoxLayout(this);
    Layout->setContentsMargins(0, 0, 0, 0);
    Layout->addWidget(FEditor);

    QFont Font(QStringLiteral("Courier"));
    Font.setStyleHint(QFont::TypeWriter);
    Font.setFixedPitch(true);
    Font.setPixelSize(13);
    FEditor->setFont(Font);
    QPalette Colours = FEditor->palette();
    Colours.setColor(QPalette::Text, Qt::black);
    Colours.setColor(QPalette::Base, Qt::white);
    FEditor->setPalette(Colours);

    // Tape lines are never wrapped: a wrapped line would look like two lines.
    FEditor->setLineWrapMode(QPlainTextEdit::NoWrap);
    FEditor->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    FEditor->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    FEditor->setTabChangesFocus(false);
    FEditor->setTabStopDistance(8 * FEditor->fontMetrics().horizontalAdvance(QLatin1Char(' ')));
    setFocusProxy(FEditor);

    connect(FEditor, &QPlainTextEdit::textChanged, this, &TEditorForm::EditorChanged);
    FEditor->installEventFilter(this);
    FEditor->viewport()->installEventFilter(this);

    resize(520, 424);
    setWindowTitle(Caption);
}

TEditorForm::~TEditorForm()
{
    // The pane outlives this part of the window while children are destroyed.
    disconnect(FEditor, nullptr, this, nullptr);
    FEditor->viewport()->removeEventFilter(this);
    FEditor->removeEventFilter(this);
}

QString TEditorForm::Text() const
{
    // Built from the blocks rather than toPlainText, which would turn no-break
    // spaces into ordinary blanks and so change the tape.
    QString Result;
    const QTextDocument* Document = FEditor->document();
    for (QTextBlock Block = Document->begin(); Block.isValid(); Block = Block.next()) {
        if (Block != Document->begin())
            Result += QLatin1Char('\n');
        Result += Block.text();
    }
    Result.replace(QChar::LineSeparator, QLatin1Char('\n'));
    return Result;
}

void TEditorForm::EditorChanged()
{
    FTape.SetText(Text().toStdU32String()); // also rewinds
    emit TextChanged(this);
}

bool TEditorForm::LoadFromFile(const QString& Path)
{
    QString NewText, Reason;
    if (!ReadTapeFile(Path, NewText, Reason)) {
        ReportFileError(this, tr("Cannot read the file: "), Path, Reason);
        return false;
    }
    {
        TBusyCursor Busy;
        FEditor->setPlainText(NewText);
    }
    RewindTape();
    SetFileName(Path);
    SetModified(false);
    return true;
}

bool TEditorForm::InsertFile(const QString& Path)
{
    QString NewText, Reason;
    if (!ReadTapeFile(Path, NewText, Reason)) {
        ReportFileError(this, tr("Cannot read the file: "), Path, Reason);
        return false;
    }
    QTextCursor Cursor = FEditor->textCursor();
    Cursor.beginEditBlock();
    Cursor.insertText(NewText);
    Cursor.endEditBlock();
    FEditor->setTextCursor(Cursor);
    return true;
}

bool TEditorForm::WriteTo(const QString& Path)
{
    QString Reason;
    if (!WriteTapeFile(Path, Text(), Reason)) {
        ReportFileError(this, tr("Cannot save the file: "), Path, Reason);
        return false;
    }
    return true;
}

bool TEditorForm::Save()
{
    if (FFileName.isEmpty())
        return SaveAs();
    if (!WriteTo(FFileName))
        return false;
    SetModified(false);
    return true;
}

bool TEditorForm::SaveAs()
{
    Dialogs::TFileRequest Request;
    Request.Mode = Dialogs::TFileMode::Save;
    Request.Title = tr("Save As");
    Request.FileName = FFileName.isEmpty() ? windowTitle() + QLatin1Char('.') + DefaultExtension : FFileName;
    Request.Filter = tr("Text Files (*.txt)");
    QString Path = Dialogs::ChooseFile(this, Request);
    if (Path.isEmpty())
        return false;

    // A name typed without an extension gets the tape extension.
    Path = Dialogs::WithExtension(Path, DefaultExtension);
    if (!Dialogs::ConfirmReplace(this, Path))
        return false;

    // The tape takes the new name only once it has really been written there.
    if (!WriteTo(Path))
        return false;
    SetFileName(Path);
    SetModified(false);
    return true;
}

void TEditorForm::SetFileName(const QString& Path)
{
    FFileName = Path;
    QString Caption = Path.mid(Path.lastIndexOf(QLatin1Char('/')) + 1);
    const qsizetype Dot = Caption.indexOf(QLatin1Char('.'));
    if (Dot >= 0)
        Caption.truncate(Dot);
    setWindowTitle(Caption);
}

bool TEditorForm::IsModified() const
{
    return FEditor->document()->isModified();
}

void TEditorForm::SetModified(bool Modified)
{
    FEditor->document()->setModified(Modified);
}

bool TEditorForm::event(QEvent* Event)
{
    if (Event->type() == QEvent::WindowActivate)
        emit Activated(this);
    return QWidget::event(Event);
}

void TEditorForm::closeEvent(QCloseEvent* Event)
{
    if (FCloseQuery && !FCloseQuery()) {
        Event->ignore();
        return;
    }
    Event->accept();
    emit Closed(this);
}

bool TEditorForm::eventFilter(QObject* Watched, QEvent* Event)
{
    if (Watched == FEditor && Event->type() == QEvent::KeyRelease)
        emit KeyReleased(this);
    else if (Watched == FEditor->viewport() && Event->type() == QEvent::MouseButtonRelease)
        emit MouseReleased(this);
    return QWidget::eventFilter(Watched, Event);
}
