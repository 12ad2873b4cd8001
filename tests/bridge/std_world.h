// One program's worth of standard bridge, core and windows for the suites that
// drive the real panel offscreen: every message box and file dialog is answered
// through the dialog seam, and what they asked is kept.
#pragma once

#include <QList>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStringList>
#include <QTemporaryDir>
#include <functional>
#include <memory>

#include "bridge/std_gui.h"
#include "core/EdsacCore.h"
#include "kit/Dialogs.h"
#include "settings/EdSimSettings.h"
#include "kit/RunTimer.h"
#include "kit/editor_form.h"
#include "forms/edsac_form.h"
#include "forms/main_form.h"
#include "tests/named.h"

struct TWorld {
    QTemporaryDir Dir;
    TEdSimSettings Settings{Dir.filePath(QStringLiteral("Valvane.ini"))};
    std::unique_ptr<TStdGuiCoreInt> Bridge;
    std::unique_ptr<TEdsacCore> Core;
    QStringList Messages; // "caption|text"
    QList<QMessageBox::StandardButton> Answers;
    QStringList Files; // answers for file dialogs
    QList<Dialogs::TFileRequest> FileRequests;

    // Prepare changes the loaded settings before the windows are set up from them.
    explicit TWorld(const std::function<void(TEdSimSettings&)>& Prepare = {})
    {
        Dialogs::SetMessageResponder([this](const Dialogs::TMessageRequest& R) {
            Messages << R.Caption + QLatin1Char('|') + R.Text;
            return Answers.isEmpty() ? QMessageBox::Ok : Answers.takeFirst();
        });
        Dialogs::SetFileResponder([this](const Dialogs::TFileRequest& R) {
            FileRequests << R;
            return Files.isEmpty() ? QString() : Files.takeFirst();
        });
        Settings.Load();
        if (Prepare)
            Prepare(Settings);
        Bridge = std::make_unique<TStdGuiCoreInt>(Settings);
        Core = std::make_unique<TEdsacCore>(*Bridge);
        Bridge->SetCore(Core.get());
        Bridge->InitGui();
    }
    ~TWorld()
    {
        for (TEditorForm* T : Main()->findChildren<TEditorForm*>())
            T->SetModified(false);
        Bridge->SetCore(nullptr);
        Core->Shutdown();
        Bridge->DoneGui();
        Dialogs::SetMessageResponder({});
        Dialogs::SetFileResponder({});
    }
    TEdsacForm* Panel() const { return Bridge->GetEdsacForm(); }
    TMainForm* Main() const { return Bridge->GetMainForm(); }
    TRunTimer* Timer() const { return Panel()->CoreExecTimer; }
    // A control of the machine window or of the main window, by its name.
    template <class T = QPushButton>
    T* OnPanel(const char* Name) const
    {
        return Named<T>(Panel(), QString::fromLatin1(Name));
    }
    template <class T = QAction>
    T* OnMain(const char* Name) const
    {
        return Named<T>(Main(), QString::fromLatin1(Name));
    }

    TEditorForm* Tape(const QString& Text)
    {
        TEditorForm* T = Bridge->NewTape();
        TapePane(T)->insertPlainText(Text); // typed in, so modified
        return T;
    }
    // Start (unless the machine is already going), then timer ticks until the
    // machine stops or errs; -1 if it is still running after Limit ticks.
    int RunToStop(int Limit = 1000000, bool Start = true)
    {
        if (Start)
            OnPanel("btnStart")->click();
        for (int I = 0; I < Limit && Timer()->isActive(); ++I)
            Panel()->CoreExecTimerTimer();
        return Timer()->isActive() ? -1 : 0;
    }
    QString Printed() const { return Bridge->TeleprinterLines().join(QLatin1Char('\n')); }
};
