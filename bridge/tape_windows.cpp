#include "bridge/tape_windows.h"

#include <QClipboard>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMimeData>
#include <QTextDocument>

#include "bridge/teleprinter_log.h"
#include "core/TapeReader.h"
#include "core/errors.h"
#include "files/SafeFile.h"
#include "forms/edsac_form.h"
#include "forms/main_form.h"
#include "kit/Dialogs.h"
#include "kit/RecoveryStore.h"
#include "kit/editor_form.h"
#include "settings/EdSimSettings.h"
#include "core/messages.h"

namespace {

constexpr int TapeWidth = 330;
constexpr int TapeHeight = 250;

} // namespace

TTapeWindows::TTapeWindows(TMainForm& Main, TEdsacForm& Panel, TEdSimSettings& Settings, std::function<void()> Changed)
    : FMain(Main), FPanel(Panel), FSettings(Settings), FChanged(std::move(Changed))
{
    // The commands are brought up to date after every punched character; asking the
    // clipboard's owner each time would be a round trip to the display server, so
    // its state is kept.
    QClipboard* Clipboard = QGuiApplication::clipboard();
    const auto NoteClipboard = [this, Clipboard] {
        const QMimeData* Data = Clipboard->mimeData();
        FClipboardHasText = Data && Data->hasFormat(QStringLiteral("text/plain"));
    };
    NoteClipboard();
    connect(Clipboard, &QClipboard::dataChanged, this, [this, NoteClipboard] {
        NoteClipboard();
        FChanged();
    });
}

TTapeWindows::~TTapeWindows() = default;

TEditorForm* TTapeWindows::Create(const QString& Caption, bool Show)
{
    ++FMadeCount;
    auto* Window = new TEditorForm(&FMain, Caption);
    FWindows.append(Window);
    connect(Window, &TEditorForm::Activated, this, &TTapeWindows::Activated);
    Window->SetCloseQuery([Window] { return Window->AskToSaveChanges(); });
    connect(Window, &TEditorForm::Closed, this, &TTapeWindows::Closed);
    connect(Window, &TEditorForm::TextChanged, this, [this] {
        Rewind();
        FChanged();
    });
    // The modified flag can drop after the text has changed (a whole text set, an
    // undo back to the saved text): Save follows the flag itself.
    connect(Window->Document(), &QTextDocument::modificationChanged, this, [this] { FChanged(); });
    // Typing or clicking in a tape window is choosing it, even one that the window
    // manager made active on its own.
    const auto Used = [this](TEditorForm* Form) {
        if (Form != FCurrent)
            SetCurrent(Form);
        FChanged();
    };
    connect(Window, &TEditorForm::KeyReleased, this, Used);
    connect(Window, &TEditorForm::MouseReleased, this, Used);
    if (FRecovery)
        FRecovery->Watch(Window);
    Window->setObjectName(QStringLiteral("ed") + QString::number(FMadeCount));
    Window->move(FCascade.Next(FMain.frameGeometry(), TapeHeight));
    Window->resize(TapeWidth, TapeHeight);
    if (Show)
        Window->show();
    FCurrent = Window;
    return Window;
}

TEditorForm* TTapeWindows::New()
{
    ++FUntitledCount;
    TEditorForm* Window = Create(QStringLiteral("Untitled ") + QString::number(FUntitledCount), true);
    FMain.AddWindowMenuItem(Window);
    FChanged();
    return Window;
}

TEditorForm* TTapeWindows::Open(const QString& FileName)
{
    if (!QFileInfo::exists(FileName)) {
        Dialogs::Message(&FMain, QStringLiteral("Error"), QString::fromLatin1(Messages::CannotFind).arg(FileName),
                         QMessageBox::Ok, QMessageBox::Critical);
        return nullptr;
    }
    // A second window on the same file would have two versions of it, and the
    // one saved last would silently remove what the other saved.
    for (TEditorForm* Open : std::as_const(FWindows)) {
        if (Open && !Open->FileName().isEmpty() && Files::SameFile(Open->FileName(), FileName)) {
            BringBack(Open);
            Open->setFocus();
            SetCurrent(Open);
            RememberRecentFile(Open->FileName()); // one name for one file in the list
            return Open;
        }
    }
    // Shown once it holds the file: a file that cannot be read is reported over
    // the main window, not over an empty window named after nothing.
    TEditorForm* Window = Create(QString(), false);
    if (!Window->LoadFromFile(FileName)) {
        // The window has said why; an empty window named after nothing helps no one.
        FCurrent = nullptr;
        delete Window;
        FChanged();
        return nullptr;
    }
    Window->show();
    FMain.AddWindowMenuItem(Window);
    Window->SetModified(false);
    Window->RewindTape();
    FChanged();
    RememberRecentFile(FileName);
    return Window;
}

TEditorForm* TTapeWindows::Recover(const QString& FileName, const QString& Text)
{
    TEditorForm* Window = FileName.isEmpty() ? New() : Create(QString(), true);
    if (!FileName.isEmpty()) {
        Window->SetFileName(FileName);
        FMain.AddWindowMenuItem(Window);
    }
    Window->SetText(Text);
    Window->SetModified(true);
    FChanged();
    return Window;
}

void TTapeWindows::RememberRecentFile(const QString& FileName)
{
    FSettings.AddRecentFile(FileName);
    FMain.SetRecentFiles(QStringList(FSettings.RecentFiles.begin(), FSettings.RecentFiles.end()));
}

TEditorForm* TTapeWindows::Find(int N) const
{
    return FMain.findChild<TEditorForm*>(QStringLiteral("ed") + QString::number(N), Qt::FindDirectChildrenOnly);
}

void TTapeWindows::Show(int N)
{
    if (TEditorForm* Window = Find(N)) {
        BringBack(Window);
        Window->setFocus();
        SetCurrent(Window);
    }
}

TEditorForm* TTapeWindows::Current() const
{
    return FCurrent;
}

void TTapeWindows::SetCurrent(TEditorForm* Window)
{
    FCurrent = Window;
    FPanel.SetTapeName(Window->windowTitle());
    // Save, Cut, Copy and Select All depend on which tape is current.
    FChanged();
}

void TTapeWindows::Activated(TEditorForm* Window)
{
    // Minimising the current tape makes the window manager hand the focus on to
    // another window; that is not the user choosing another tape.
    if (FCurrent && FCurrent != Window && FCurrent->isMinimized())
        return;
    SetCurrent(Window);
}

void TTapeWindows::RestoreAll()
{
    // Every tape window is activated as it comes back, and activation makes a tape
    // current: the current one comes back last so that it stays current.
    TEditorForm* Current = FCurrent;
    for (TEditorForm* Tape : std::as_const(FWindows))
        if (Tape && Tape != Current)
            BringBack(Tape);
    if (Current) {
        BringBack(Current);
        SetCurrent(Current);
    }
}

void TTapeWindows::Insert(const QString& FileName)
{
    if (FCurrent)
        FCurrent->InsertFile(FileName);
}

void TTapeWindows::Close()
{
    if (FCurrent)
        FCurrent->close();
}

void TTapeWindows::Save()
{
    if (!FCurrent)
        return;
    FCurrent->Save();
    ShowName();
}

void TTapeWindows::SaveAs()
{
    if (!FCurrent)
        return;
    FCurrent->SaveAs();
    ShowName();
}

void TTapeWindows::ShowName()
{
    FMain.UpdateWindowMenuItem(FCurrent);
    FPanel.SetTapeName(FCurrent->windowTitle());
    FChanged();
}

void TTapeWindows::Rewind()
{
    if (FCurrent)
        FCurrent->RewindTape();
}

int TTapeWindows::ReadCode(IEdsacHost& Host)
{
    // The current tape window was closed while the machine ran: the tape has gone.
    if (!FCurrent)
        throw EEndOfTape();
    return ReadTapeCode(FCurrent->Tape(), FSettings.IgnoreCase, Host);
}

std::uint64_t TTapeWindows::Mark() const
{
    return FCurrent ? FCurrent->Tape().Mark() : 0;
}

void TTapeWindows::GoToMark(std::uint64_t Mark)
{
    if (FCurrent)
        FCurrent->Tape().GoToMark(Mark);
}

void TTapeWindows::Print()
{
    if (FCurrent)
        PrintText(&FMain, FCurrent->windowTitle(), FCurrent->Text());
}

void TTapeWindows::Cut()
{
    if (FCurrent)
        FCurrent->Cut();
    FChanged();
}

void TTapeWindows::Copy()
{
    if (FCurrent)
        FCurrent->Copy();
    FChanged();
}

void TTapeWindows::Paste()
{
    if (FCurrent)
        FCurrent->Paste();
    FChanged();
}

void TTapeWindows::SelectAll()
{
    if (FCurrent)
        FCurrent->SelectAll();
    FChanged();
}

void TTapeWindows::Closed(TEditorForm* Window)
{
    FMain.RemoveWindowMenuItem(Window);
    FWindows.removeAll(Window);
    if (Window == FCurrent) {
        FCurrent = nullptr;
        FPanel.SetTapeName(QStringLiteral("No Program"));
    }
    Window->deleteLater();
    FChanged();
}

bool TTapeWindows::CloseAll()
{
    // A copy: each window is taken off the list as it closes.
    const QList<QPointer<TEditorForm>> Windows = FWindows;
    for (TEditorForm* Window : Windows) {
        if (!Window || !Window->IsModified())
            continue;
        // Brought to the front, as its Window menu entry would, before it is asked about.
        BringBack(Window);
        Window->setFocus();
        if (!Window->AskToSaveChanges())
            return false;
    }
    for (TEditorForm* Window : Windows) {
        if (!Window)
            continue;
        Window->SetCloseQuery({});
        Window->close();
    }
    return true;
}

void TTapeWindows::NoteState(TCommandState& State) const
{
    State.Tape = !FCurrent.isNull();
    if (!State.Tape)
        return;
    State.TapeModified = FCurrent->IsModified();
    State.TapeText = !FCurrent->Document()->isEmpty();
    State.Selection = FCurrent->HasSelection();
    State.CanPaste = FClipboardHasText;
}
