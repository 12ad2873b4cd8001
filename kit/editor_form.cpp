#include "kit/editor_form.h"

#include <QCloseEvent>
#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>
#include <QStatusBar>
#include <QTextBlock>
#include <QVBoxLayout>
#include <algorithm>
#include <sys/stat.h>

#include "core/OrderTable.h"
#include "files/SafeFile.h"
#include "kit/Dialogs.h"
#include "core/messages.h"

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

// Another program's change to a file shows as other bytes.
QByteArray Fingerprint(const QByteArray& Bytes)
{
    return QCryptographicHash::hash(Bytes, QCryptographicHash::Sha256);
}

// A tape file as read: its text with every line end as "\n", the encoding it
// came in and the fingerprint of its bytes.
struct TTapeFile {
    QString Text;
    Files::TTextEncoding Encoding = Files::TTextEncoding::Utf8;
    qint64 Size = 0;
    QByteArray Fingerprint;
};

// Only a regular file of a tape's size is read, so a device or a pipe can
// neither hang the program nor fill its memory. On failure returns false and
// says why.
bool ReadTapeFile(const QString& Path, TTapeFile& File, QString& Reason)
{
    TBusyCursor Busy;
    QByteArray Bytes;
    switch (Files::ReadRegularFile(Path, Files::MaxTapeSize, Bytes, Reason)) {
    case Files::TReadStatus::Missing: Reason = TEditorForm::tr("There is no such file"); return false;
    case Files::TReadStatus::Failed: return false;
    case Files::TReadStatus::Read: break;
    }
    File.Encoding = Files::DecodeText(Bytes, File.Text);
    File.Size = Bytes.size();
    File.Fingerprint = Fingerprint(Bytes);
    Bytes = QByteArray();
    QString& Text = File.Text;
    Text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    Text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return true;
}

// The helper writes beside the old file and replaces it only once every byte is
// on the disk, so a failed write (disk full, no permission) leaves the old file.
bool WriteTapeFile(const QString& Path, const QByteArray& Bytes, QString& Reason)
{
    TBusyCursor Busy;
    return Files::WriteWholeFile(Path, Bytes, Reason);
}

// What a tape window holds and still answers at once. The toolkit's text pane
// takes about a second for every hundred thousand lines it is given, and lays
// out a whole line again at every keystroke in it, the longer the slower; a
// tape of more is run by valvane-run, which reads any tape file.
constexpr qsizetype MaxTapeLines = 100000;
constexpr qsizetype MaxTapeLineLength = 10000;

bool IsLineEnd(QChar Ch)
{
    return Ch == QLatin1Char('\n') || Ch == QLatin1Char('\r') || Ch == QChar::ParagraphSeparator ||
           Ch == QChar::LineSeparator;
}

// The lines of a text, its first and last line (which join the line they are
// put into) and its longest.
struct TTextShape {
    qsizetype Lines = 1;
    qsizetype First = 0;
    qsizetype Last = 0;
    qsizetype Longest = 0;
    qsizetype LongestLine = 0; // counted from 1
};

TTextShape Measure(const QString& Text)
{
    TTextShape Shape;
    qsizetype Start = 0;
    const qsizetype Size = Text.size();
    for (qsizetype I = 0; I <= Size; ++I) {
        if (I < Size && !IsLineEnd(Text[I]))
            continue;
        const qsizetype Length = I - Start;
        if (Shape.Lines == 1)
            Shape.First = Length;
        if (Length > Shape.Longest) {
            Shape.Longest = Length;
            Shape.LongestLine = Shape.Lines;
        }
        if (I < Size)
            ++Shape.Lines;
        else
            Shape.Last = Length;
        Start = I + 1;
    }
    return Shape;
}

// Why a text of Shape cannot be put in a tape window that holds Lines lines,
// at a place with Before characters of its line before it and After after;
// empty when it can. Adding says whether the window holds a tape already.
QString TooBigForWindow(const TTextShape& Shape, qsizetype Characters, qsizetype Lines, qsizetype Before,
                        qsizetype After, bool Adding)
{
    const QString RunIt = TEditorForm::tr("valvane-run runs it without a window.");
    const qsizetype Total = Lines - 1 + Shape.Lines;
    if (Total > MaxTapeLines)
        return (Adding
                    ? TEditorForm::tr("With it the tape would have %L1 lines, more than the %L2 a tape window holds.")
                    : TEditorForm::tr("It has %L1 lines, more than the %L2 a tape window holds."))
                   .arg(Total)
                   .arg(MaxTapeLines) +
               QLatin1Char('\n') + RunIt;
    // The first and last lines join the line at the cursor.
    const qsizetype Longest = std::max(
        {Shape.Longest, Before + Shape.First + (Shape.Lines == 1 ? After : 0), Shape.Last + After});
    if (Longest > MaxTapeLineLength)
        return (Adding ? TEditorForm::tr("A line of the tape would have %L1 characters, more than the %L2 a tape "
                                         "window shows on a line.")
                             .arg(Longest)
                       : TEditorForm::tr("Its line %L1 has %L2 characters, more than the %L3 a tape window shows on a "
                                         "line.")
                             .arg(Shape.LongestLine)
                             .arg(Longest))
                   .arg(MaxTapeLineLength) +
               QLatin1Char('\n') +
               TEditorForm::tr("Line ends are skipped on a tape: break the line in another editor, or run the "
                               "tape with valvane-run.");
    // Saved, the tape must open again.
    if (Characters > Files::MaxTapeSize)
        return TEditorForm::tr("The tape would be larger than the %L1 MiB a tape file may hold.")
            .arg(Files::MaxTapeSize / (1024 * 1024));
    return {};
}

// The text pane. The toolkit's text control reads the first format of whatever
// it is given to paste without asking whether there is one, and crashes on an
// empty clipboard or selection (owned by nobody). Every paste passes here, from
// the keys, the middle button, a drop or the Edit menu, so such data stops here.
class TTapeEdit : public QPlainTextEdit {
public:
    using QPlainTextEdit::QPlainTextEdit;
    // Asked before a text is pasted or dropped; false keeps it out.
    std::function<bool(const QString&)> Admit;

protected:
    bool canInsertFromMimeData(const QMimeData* Source) const override
    {
        return OffersSomething(Source) && QPlainTextEdit::canInsertFromMimeData(Source);
    }
    void insertFromMimeData(const QMimeData* Source) override
    {
        if (OffersSomething(Source) && (!Admit || !Source->hasText() || Admit(Source->text())))
            QPlainTextEdit::insertFromMimeData(Source);
    }

private:
    static bool OffersSomething(const QMimeData* Source) { return Source && !Source->formats().isEmpty(); }
};

void ReportFileError(QWidget* Parent, const char* Format, const QString& Path, const QString& Reason)
{
    Dialogs::Message(Parent, QStringLiteral("Error"), QString::fromLatin1(Format).arg(Path, Reason), QMessageBox::Ok,
                     QMessageBox::Critical);
}

} // namespace

TEditorForm::TEditorForm(QWidget* Owner, const QString& Caption)
    : QWidget(Owner, Qt::Window), FEditor(new TTapeEdit(this))
{
    static_cast<TTapeEdit*>(FEditor)->Admit = [this](const QString& Text) {
        return CanInsert(Text, tr("Cannot paste the text."));
    };
    auto* Layout = new QVBoxLayout(this);
    Layout->setContentsMargins(0, 0, 0, 0);
    Layout->setSpacing(0);
    Layout->addWidget(FEditor);
    FEditor->setObjectName(QStringLiteral("memoTape"));
    // What the order under the cursor does, from the order table.
    FStatus = new QStatusBar(this);
    FStatus->setObjectName(QStringLiteral("sbTape"));
    FStatus->setSizeGripEnabled(false);
    Layout->addWidget(FStatus);

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

    // A program writing a file may change it several times in a row.
    FDiskTimer = new QTimer(this);
    FDiskTimer->setSingleShot(true);
    FDiskTimer->setInterval(200);
    connect(FDiskTimer, &QTimer::timeout, this, &TEditorForm::CheckDisk);

    connect(FEditor, &QPlainTextEdit::textChanged, this, &TEditorForm::EditorChanged);
    connect(FEditor, &QPlainTextEdit::cursorPositionChanged, this, &TEditorForm::ExplainOrder);
    FEditor->installEventFilter(this);
    FEditor->viewport()->installEventFilter(this);

    resize(520, 424);
    setWindowTitle(Caption);
}

void TEditorForm::ExplainOrder()
{
    const QTextCursor Cursor = FEditor->textCursor();
    const QString Line = Cursor.block().text();
    const std::u32string Text = Line.toStdU32String();
    // The column in characters of the line, not in UTF-16 units.
    const int Column = Line.left(Cursor.positionInBlock()).toStdU32String().size();
    FStatus->showMessage(QString::fromStdString(ExplainTapeWord(Text, static_cast<std::size_t>(Column))));
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
    // The raw text rather than toPlainText, which would turn no-break spaces
    // into ordinary blanks and so change the tape; in one piece rather than
    // block by block, which a tape of a million lines would feel.
    QString Result = FEditor->document()->toRawText();
    for (QChar& Ch : Result)
        if (Ch == QChar::ParagraphSeparator || Ch == QChar::LineSeparator)
            Ch = QLatin1Char('\n');
    return Result;
}

void TEditorForm::EditorChanged()
{
    // The tape is rebuilt when it is next read, not at every keystroke.
    FTapeStale = true;
    FTape.RewindTape();
    emit TextChanged(this);
}

TTapeText& TEditorForm::Tape()
{
    if (FTapeStale) {
        FTape.SetText(Text().toStdU32String()); // rewinds, as the change already did
        FTapeStale = false;
    }
    return FTape;
}

bool TEditorForm::LoadFromFile(const QString& Path)
{
    TTapeFile File;
    QString Reason;
    if (!ReadTapeFile(Path, File, Reason)) {
        // A window not yet shown (opening a file) leaves the box to its owner.
        ReportFileError(isVisible() ? this : parentWidget(), Messages::CannotRead, Path, Reason);
        return false;
    }
    QString& NewText = File.Text;
    // The line feed that ends the last line starts no line of its own, so a
    // tape saved and loaded again has the text it had.
    if (NewText.endsWith(QLatin1Char('\n')))
        NewText.chop(1);
    const QString TooBig = TooBigForWindow(Measure(NewText), NewText.size(), 1, 0, 0, false);
    if (!TooBig.isEmpty()) {
        ReportFileError(isVisible() ? this : parentWidget(), Messages::CannotOpenInWindow, Path, TooBig);
        return false;
    }
    {
        TBusyCursor Busy;
        FEditor->setPlainText(NewText);
        // The tape straight from the file's text, without reading the pane back.
        FTape.SetText(NewText.toStdU32String());
        FTapeStale = false;
    }
    RewindTape();
    FEncoding = File.Encoding;
    FDisk = TDiskState{};
    FDisk.Known = FDisk.Stat(Path);
    FDisk.Size = File.Size; // should the file have changed since it was read, the next look sees it
    FDisk.Fingerprint = File.Fingerprint;
    FOffered = TDiskState{};
    SetFileName(Path);
    SetModified(false);
    return true;
}

bool TEditorForm::InsertFile(const QString& Path)
{
    TTapeFile File;
    QString Reason;
    if (!ReadTapeFile(Path, File, Reason)) {
        ReportFileError(this, Messages::CannotRead, Path, Reason);
        return false;
    }
    if (!CanInsert(File.Text, tr("Cannot insert the file: ") + Path))
        return false;
    QTextCursor Cursor = FEditor->textCursor();
    Cursor.beginEditBlock();
    Cursor.insertText(File.Text);
    Cursor.endEditBlock();
    FEditor->setTextCursor(Cursor);
    return true;
}

bool TEditorForm::CanInsert(const QString& Text, const QString& Refusal)
{
    const QTextCursor Cursor = FEditor->textCursor();
    // A selection is replaced; counting it as kept errs on the safe side.
    const QTextBlock Start = FEditor->document()->findBlock(Cursor.selectionStart());
    const QTextBlock End = FEditor->document()->findBlock(Cursor.selectionEnd());
    const qsizetype Before = Cursor.selectionStart() - Start.position();
    const qsizetype After = End.position() + End.length() - 1 - Cursor.selectionEnd();
    const QString Reason = TooBigForWindow(Measure(Text), FEditor->document()->characterCount() + Text.size(),
                                           FEditor->document()->blockCount(), Before, After, true);
    if (Reason.isEmpty())
        return true;
    Dialogs::Message(this, QStringLiteral("Error"), Refusal + QLatin1Char('\n') + Reason, QMessageBox::Ok,
                     QMessageBox::Critical);
    return false;
}

bool TEditorForm::WriteTo(const QString& Path)
{
    // Every line, the last included, ends in a line feed, as output files do.
    const QString Content = Text() + QLatin1Char('\n');
    Files::TTextEncoding Encoding = FEncoding;
    if (!Files::CanEncode(Content, Encoding)) {
        if (Dialogs::Message(this, QStringLiteral("Confirm"),
                             tr("The tape was read in %1, which cannot hold every character it has now.\r"
                                "Would you like to save it in UTF-8?")
                                 .arg(Files::EncodingName(Encoding)),
                             QMessageBox::Yes | QMessageBox::No, QMessageBox::Warning) != QMessageBox::Yes)
            return false;
        Encoding = Files::TTextEncoding::Utf8;
    }
    const QByteArray Bytes = Files::EncodeText(Content, Encoding);
    QString Reason;
    if (!WriteTapeFile(Path, Bytes, Reason)) {
        ReportFileError(this, Messages::CannotSave, Path, Reason);
        return false;
    }
    FEncoding = Encoding;
    FDisk = TDiskState{};
    FDisk.Known = FDisk.Stat(Path);
    FDisk.Size = Bytes.size();
    FDisk.Fingerprint = Fingerprint(Bytes);
    FOffered = TDiskState{};
    return true;
}

bool TEditorForm::TDiskState::Stat(const QString& APath)
{
    struct stat Info {};
    if (::stat(QFile::encodeName(APath).constData(), &Info) != 0)
        return false;
    Path = APath;
    Size = Info.st_size;
    Modified = qint64{Info.st_mtim.tv_sec} * 1000000000 + Info.st_mtim.tv_nsec;
    Device = Info.st_dev;
    Inode = Info.st_ino;
    return true;
}

bool TEditorForm::TDiskState::Read(const QString& APath)
{
    QByteArray Bytes;
    QString Reason;
    Known = Stat(APath) && Files::ReadRegularFile(APath, Files::MaxTapeSize, Bytes, Reason) == Files::TReadStatus::Read;
    Size = Bytes.size();
    Fingerprint = ::Fingerprint(Bytes);
    return Known;
}

bool TEditorForm::ChangedOnDisk(TDiskState& Known) const
{
    // A file that has gone, or cannot be read, holds nothing to keep or to load.
    TDiskState Now;
    if (!Known.Known || Known.Path != FFileName || !Now.Stat(FFileName))
        return false;
    if (Now.Size != Known.Size)
        return true;
    if (Now.Modified == Known.Modified && Now.Device == Known.Device && Now.Inode == Known.Inode)
        return false;
    if (!Now.Read(FFileName))
        return false;
    if (Now.Fingerprint != Known.Fingerprint)
        return true;
    // The same bytes, touched or copied: known under their new time from now on.
    Known = Now;
    return false;
}

void TEditorForm::Watch()
{
    QStringList Wanted;
    if (!FFileName.isEmpty()) {
        const QFileInfo Info(FFileName);
        if (Info.exists())
            Wanted << FFileName;
        if (Info.absoluteDir().exists())
            Wanted << Info.absolutePath();
    }
    if (!FWatcher) {
        if (Wanted.isEmpty())
            return;
        FWatcher = new QFileSystemWatcher(this);
        const auto Look = [this] { FDiskTimer->start(); };
        connect(FWatcher, &QFileSystemWatcher::fileChanged, FDiskTimer, Look);
        connect(FWatcher, &QFileSystemWatcher::directoryChanged, FDiskTimer, Look);
    }
    const QStringList Watched = FWatcher->files() + FWatcher->directories();
    for (const QString& Path : Watched)
        if (!Wanted.contains(Path))
            FWatcher->removePath(Path);
    for (const QString& Path : std::as_const(Wanted))
        if (!Watched.contains(Path))
            FWatcher->addPath(Path);
}

void TEditorForm::CheckDisk()
{
    // A file replaced by a rename is a new file: its watch starts again here.
    Watch();
    // Changed text is never thrown away; Save asks before it writes over the file.
    if (FAskingToReload || IsModified() || !ChangedOnDisk(FDisk))
        return;
    if (FOffered.Known && !ChangedOnDisk(FOffered))
        return; // asked about already
    FOffered.Read(FFileName);
    FAskingToReload = true;
    const QString Question = tr("Has been changed by another program. Would you like to load it again?");
    const auto Answer = Dialogs::Message(this, QStringLiteral("Confirm"), FFileName + QLatin1Char('\r') + Question,
                                         QMessageBox::Yes | QMessageBox::No, QMessageBox::Question);
    FAskingToReload = false;
    if (Answer == QMessageBox::Yes && !IsModified())
        LoadFromFile(FFileName);
}

bool TEditorForm::AskToSaveChanges()
{
    if (!IsModified())
        return true;
    const auto Answer = Dialogs::Message(
        this, QStringLiteral("Confirm"), QString::fromLatin1(Messages::SaveChanges).arg(windowTitle()),
        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Warning);
    if (Answer == QMessageBox::Yes)
        return Save();
    return Answer == QMessageBox::No;
}

bool TEditorForm::Save()
{
    if (FFileName.isEmpty())
        return SaveAs();
    if (ChangedOnDisk(FDisk) &&
        Dialogs::Message(this, QStringLiteral("Confirm"),
                         FFileName + QLatin1Char('\r') +
                             tr("Has been changed by another program since it was loaded or saved. "
                                "Would you like to replace it?"),
                         QMessageBox::Yes | QMessageBox::No, QMessageBox::Warning) != QMessageBox::Yes)
        return false;
    if (!WriteTo(FFileName))
        return false;
    // The file written is a new one, which the watch must follow.
    Watch();
    SetModified(false);
    return true;
}

bool TEditorForm::SaveAs()
{
    Dialogs::TFileRequest Request;
    Request.Mode = Dialogs::TFileMode::Save;
    Request.Title = tr("Save As");
    Request.FileName = FFileName.isEmpty() ? windowTitle() + QLatin1Char('.') + DefaultExtension : FFileName;
    Request.Filter = Dialogs::TextFilesFilter();
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
    Watch();
}

QTextDocument* TEditorForm::Document() const
{
    return FEditor->document();
}

void TEditorForm::Cut()
{
    FEditor->cut();
}

void TEditorForm::Copy()
{
    FEditor->copy();
}

void TEditorForm::Paste()
{
    FEditor->paste();
}

void TEditorForm::SelectAll()
{
    FEditor->selectAll();
}

bool TEditorForm::HasSelection() const
{
    return FEditor->textCursor().hasSelection();
}

void TEditorForm::SetText(const QString& Text)
{
    FEditor->setPlainText(Text);
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
    if (Watched == FEditor && Event->type() == QEvent::KeyRelease) {
        // A function key works the panel or the debugger from any window: it is
        // not typing in this tape, so it does not choose it.
        const int Key = static_cast<QKeyEvent*>(Event)->key();
        if (Key < Qt::Key_F1 || Key > Qt::Key_F35)
            emit KeyReleased(this);
    } else if (Watched == FEditor->viewport() && Event->type() == QEvent::MouseButtonRelease)
        emit MouseReleased(this);
    return QWidget::eventFilter(Watched, Event);
}
