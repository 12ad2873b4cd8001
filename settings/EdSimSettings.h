// The user's preferences and a little remembered state, kept in an ini file.
// The bridge and the Options dialog read and change the fields directly; the
// file is touched only by Load and Save. Every key, its section, its field and
// its default are listed once, in the table in EdSimSettings.cpp.
#pragma once

#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
#include <vector>

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
    // Writes the fields changed since the last Load or Save onto the file as it is
    // now, so that another program sharing the file keeps what it wrote meanwhile;
    // every other key keeps the file's value (written out in full, with sections and
    // keys it does not know kept). Tape files added to the recent list go first,
    // ahead of the file's own list. Returns false (and leaves the file as it was)
    // when the file cannot be read back or written; LastError then says why.
    bool Save();
    // Records a tape file as the most recent one, unless it is already in the list
    // (the very same path), in which case nothing moves.
    void AddRecentFile(const QString& Path);

    // Why the last Load or Save failed; empty after a success.
    const QString& LastError() const { return FLastError; }

    QString FileName;
    // Their defaults are in the table; the constructor sets them.
    std::int32_t EdsacFormLeft;
    std::int32_t EdsacFormTop;
    std::int32_t InitialOrders;
    bool LineNumbers;
    bool IgnoreCase;
    bool ShowSplash;
    bool RealTime;
    bool Beep;
    bool Bell;
    bool Dial;
    bool Teleprinter;
    // Most recent first; RecentFiles[0] is place 1 ("File1").
    std::array<QString, MaxRecentFiles> RecentFiles;
    // Places in use, counted from place 1.
    std::int32_t RecentCount = 0;

private:
    void SetDefaults();
    // What the fields held at the last Load or Save: a field that still holds it
    // was not changed here, and Save takes the file's value for it.
    void MarkSaved();

    std::vector<std::int32_t> FSavedValues; // one per key of the table, in its order
    QStringList FSavedRecent;
    QString FLastError;
};
