#include "forms/Dialogs.h"

#include <QFileDialog>

namespace Dialogs {

namespace {
TMessageResponder MessageResponder;
TFileResponder FileResponder;
} // namespace

QMessageBox::StandardButton Message(QWidget* Parent, const QString& Caption, const QString& Text,
                                    QMessageBox::StandardButtons Buttons, QMessageBox::Icon Style)
{
    if (MessageResponder)
        return MessageResponder(TMessageRequest{Caption, Text, Buttons, Style});
    QMessageBox Box(Style, Caption, Text, Buttons, Parent);
    return static_cast<QMessageBox::StandardButton>(Box.exec());
}

QString ChooseFile(QWidget* Parent, const TFileRequest& Request)
{
    if (FileResponder)
        return FileResponder(Request);
    if (Request.Mode == TFileMode::Open)
        return QFileDialog::getOpenFileName(Parent, Request.Title, Request.FileName, Request.Filter);
    return QFileDialog::getSaveFileName(Parent, Request.Title, Request.FileName, Request.Filter);
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
