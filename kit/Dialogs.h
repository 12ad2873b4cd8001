// Every message box and file dialog of the program goes through here. A test
// installs a responder and answers them without a modal loop ever running.
#pragma once

#include <QFileDialog>
#include <QMessageBox>
#include <QString>
#include <QStringList>
#include <functional>
#include <utility>

class QWidget;

namespace Dialogs {

// Tapes and saved output are text files, offered by this pattern...
inline constexpr char TextPattern[] = "*.txt";
// ... and named by this filter where one is saved.
QString TextFilesFilter();

// Words of the program's own on standard buttons ("Restore" on Yes, say); the
// answer is still the standard button, so responders need know nothing of them.
using TButtonTexts = QList<std::pair<QMessageBox::StandardButton, QString>>;

struct TMessageRequest {
    QString Caption;
    QString Text;
    QMessageBox::StandardButtons Buttons;
    QMessageBox::Icon Style;
    // The window the box stands over; none gives a box of its own.
    QWidget* Parent = nullptr;
    TButtonTexts ButtonTexts = {};
};

enum class TFileMode { Open, Save };

struct TFileRequest {
    TFileMode Mode;
    QString Title;
    QString FileName; // the preset name (or directory)
    QString Filter;
    // What the dialog is told besides; ChooseFile adds what the program needs.
    QFileDialog::Options Options;
};

using TMessageResponder = std::function<QMessageBox::StandardButton(const TMessageRequest&)>;
// Returns the chosen path, or an empty string for Cancel.
using TFileResponder = std::function<QString(const TFileRequest&)>;

// Shows a message box (or asks the responder) and returns the button pressed.
// The machine's texts break lines with carriage returns; a box shows line feeds.
QMessageBox::StandardButton Message(QWidget* Parent, const QString& Caption, const QString& Text,
                                    QMessageBox::StandardButtons Buttons, QMessageBox::Icon Style,
                                    const TButtonTexts& Texts = {});
// Shows a file dialog (or asks the responder); an empty string means Cancel.
// A save dialog never asks about replacing a file itself: the program asks once,
// with ConfirmReplace, about the name it will really write (extension added).
QString ChooseFile(QWidget* Parent, const TFileRequest& Request);

// The path with ".Extension" added when its file name has no extension at all.
QString WithExtension(const QString& Path, const QString& Extension);
// True when Path does not exist or the user agrees to replace it ("Confirm",
// the path and "Already exists. Would you like to replace it?").
bool ConfirmReplace(QWidget* Parent, const QString& Path);

// For tests: answer every request with these instead of showing anything.
// Passing an empty function restores the real dialogs.
void SetMessageResponder(TMessageResponder Responder);
void SetFileResponder(TFileResponder Responder);

} // namespace Dialogs
