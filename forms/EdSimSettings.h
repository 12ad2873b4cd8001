// The user's preferences and a little remembered state, kept in an ini file.
// The bridge and the Options dialog read and change the fields directly; the
// file is touched only by Load and Save.
#pragma once

#include <QString>
#include <array>
#include <cstdint>

class TEdSimSettings {
public:
    static constexpr int MaxRecentFiles = 4;

    // "Valvane.ini" in the process's current working directory.
    static QString DefaultFileName();

    // Does not read the file; the fields start at the values Load gives a missing file.
    explicit TEdSimSettings(QString AFileName = DefaultFileName());

    // Reads every field; a missing file, section or key or a value that is not a
    // usable number yields the default. Returns false only when the file exists but
    // cannot be read (every field then holds its default; see LastError).
    bool Load();
    // Writes every field, keeping sections and keys it does not know. Returns false
    // (and leaves the file as it was) when the file cannot be read back or written;
    // LastError then says why.
    bool Save();
    // Records a tape file as the most recent one, unless it is already in the list
    // (the very same path), in which case nothing moves.
    void AddRecentFile(const QString& Path);

    // Why the last Load or Save failed; empty after a success.
    const QString& LastError() const { return FLastError; }

    QString FileName;
    std::int32_t EdsacFormLeft = -1;
    std::int32_t EdsacFormTop = -1;
    std::int32_t InitialOrders = 2;
    bool LineNumbers = false;
    bool IgnoreCase = true;
    bool ShowSplash = true;
    bool RealTime = false;
    bool Beep = false;
    bool Bell = false;
    bool Dial = false;
    bool Teleprinter = false;
    // Most recent first; RecentFiles[0] is place 1 ("File1").
    std::array<QString, MaxRecentFiles> RecentFiles;
    // Places in use, counted from place 1.
    std::int32_t RecentCount = 0;

private:
    void SetDefaults();

    QString FLastError;
};
