#include "kit/Dialogs.h"
#include "core/messages.h"

#include <QAbstractButton>
#include <QFileDialog>
#include <QFileInfo>

namespace Dialogs {

QString TextFilesFilter()
{
    return QStringLiteral("Text Files (%1)").arg(QLatin1String(TextPattern));
}

namespace {
TMessageResponder MessageResponder;
TFileResponder FileResponder;
} // namespace

QMessageBox::StandardButton Message(QWidget* Parent, const QString& Caption, const QString& Text,
                                    QMessageBox::StandardButtons Buttons, QMessageBox::Icon Style,
                                    const TButtonTexts& Texts)
{
    QString Shown = Text;
    Shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    if (MessageResponder)
        return MessageResponder(TMessageRequest{Caption, Shown, Buttons, Style, Parent, Texts});
    QMessageBox Box(Style, Caption, Shown, Buttons, Parent);
    for (const auto& [Button, Words] : Texts)
        if (QAbstractButton* Item = Box.button(Button))
            Item->setText(Words);
    return static_cast<QMessageBox::StandardButton>(Box.exec());
}

QString ChooseFile(QWidget* Parent, const TFileRequest& Request)
{
    TFileRequest Asked = Request;
    if (Asked.Mode == TFileMode::Save)
        Asked.Options |= QFileDialog::DontConfirmOverwrite;
    if (FileResponder)
        return FileResponder(Asked);
    if (Asked.Mode == TFileMode::Open)
        return QFileDialog::getOpenFileName(Parent, Asked.Title, Asked.FileName, Asked.Filter, nullptr, Asked.Options);
    return QFileDialog::getSaveFileName(Parent, Asked.Title, Asked.FileName, Asked.Filter, nullptr, Asked.Options);
}

QString WithExtension(const QString& Path, const QString& Extension)
{
    const QString Name = Path.mid(Path.lastIndexOf(QLatin1Char('/')) + 1);
    if (Name.isEmpty() || Name.contains(QLatin1Char('.')))
        return Path;
    return Path + QLatin1Char('.') + Extension;
}

bool ConfirmReplace(QWidget* Parent, const QString& Path)
{
    return !QFileInfo::exists(Path) ||
           Message(Parent, QStringLiteral("Confirm"), QString::fromLatin1(Messages::Replace).arg(Path),
                   QMessageBox::Yes | QMessageBox::No, QMessageBox::Warning) == QMessageBox::Yes;
}

void SetMessageResponder(TMessageResponder Responder)
{
    MessageResponder = std::move(Responder);
}

void SetFileResponder(TFileResponder Responder)
{
    FileResponder = std::move(Responder);
}

} // namespace Dialogs
