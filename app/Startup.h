// The program as a whole: settings, splash, the bridge and its windows, the core,
// joined in a fixed order at start and taken down in a fixed order at the end.
#pragma once

#include <QString>
#include <QStringList>
#include <memory>

class IEdsacSim;
class TDevGuiCoreInt;
class TEdSimSettings;
class TEdsacCore;
class TRecoveryStore;
class TSignalWatch;
class TStdGuiCoreInt;
class QObject;
class QWidget;

// True when the first argument after the program name is "-DEV" in any letter case.
bool IsDeveloperSwitch(const QStringList& Arguments);

// The session as the platform choice sees it: the values of QT_QPA_PLATFORM,
// WAYLAND_DISPLAY, XDG_SESSION_TYPE and DISPLAY (empty when unset).
struct TSessionEnvironment {
    QString Platform;
    QString WaylandDisplay;
    QString SessionType;
    QString Display;
};
TSessionEnvironment CurrentSessionEnvironment();

// True when the program should ask for the X11 platform ("xcb"): a Wayland session
// with XWayland at hand and no platform chosen by the user. Valvane places every
// window itself, which a Wayland compositor does not allow a client to do.
bool PreferX11Platform(const TSessionEnvironment& Session);

class TStartup {
public:
    TStartup(bool ADeveloper, const QString& SettingsPath);
    ~TStartup();
    TStartup(const TStartup&) = delete;
    TStartup& operator=(const TStartup&) = delete;

    // Settings loaded and saved, splash, bridge and windows, core, shown; then,
    // if an instance that is gone left recovery copies, the offer to restore them.
    void Start();
    // The event loop, until the main window closes.
    int Exec();
    // The bridge lets go of the core, the core shuts down, the windows go, the
    // settings are saved. False, with a warning shown, when the save fails.
    bool Finish();
    // For an end that is not orderly (a signal, the display lost): every unsaved
    // tape's recovery copy and the settings are written at once, asking nothing,
    // and the copies are kept for the next start.
    void SaveBeforeExit();

    TStdGuiCoreInt* StdGui() const { return FStd.get(); }
    TDevGuiCoreInt* DevGui() const { return FDev.get(); }
    TEdsacCore* Core() const { return FEdsacCore.get(); }
    TEdSimSettings& Settings() const { return *FEdSettings; }
    QWidget* MainWindow() const;
    TRecoveryStore* Recovery() const { return FRecovery.get(); }

private:
    void OfferRecovery();
    // SIGTERM or SIGHUP: SaveBeforeExit, then the program ends by that signal.
    [[noreturn]] void Terminate(int Signal);

    bool FDeveloper;
    std::unique_ptr<TEdSimSettings> FEdSettings;
    std::unique_ptr<TStdGuiCoreInt> FStd;
    std::unique_ptr<TDevGuiCoreInt> FDev;
    IEdsacSim* FSim = nullptr;
    std::unique_ptr<TEdsacCore> FEdsacCore;
    std::unique_ptr<QObject> FMinimiseWatch;
    std::unique_ptr<TRecoveryStore> FRecovery;
    std::unique_ptr<TSignalWatch> FSignals;
};
