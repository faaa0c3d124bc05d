#pragma once
// The player's file types on the desktop: a desktop entry that opens a file with the player and
// a shared-mime-info package that names the player's files, written into the user's data
// folder at every start. Recording extensions are one letter or digit, or ".001" to ".016",
// which other files use too, so those types match narrow name patterns (a recording's name
// together with its extension), never a bare extension; a list is only "file.lst".
#include <QString>
#include <QStringList>

class FileTypes
{
public:
    static constexpr char kListType[] = "application/x-orvane-list";
    static constexpr char kRecordingType[] = "application/x-orvane-recording";

    // Name patterns of recordings: for n = 0..15 "x*.n" and "s*.n" (n in lower-case
    // hexadecimal), "h??????.NNN" and "ih??????.NNN" (NNN = n + 1 in three digits), "*.NNN_hd".
    static QStringList RecordingGlobs();
    static QString DesktopEntry(const QString& programPath);
    static QString MimePackage();

    // Writes <dataFolder>/applications/orvane.desktop, <dataFolder>/mime/packages/orvane.xml and
    // the icon under <dataFolder>/icons,
    // and, with `refreshCache`, refreshes the MIME cache of <dataFolder>/mime without waiting.
    // False when a file could not be written.
    static bool Register(const QString& dataFolder, const QString& programPath, bool refreshCache = true);
    // The user's data folder ($XDG_DATA_HOME, or ~/.local/share).
    static QString DefaultDataFolder();
};
