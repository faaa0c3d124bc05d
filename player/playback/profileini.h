#pragma once
// Reader of Windows profile INI files ("[SECTION]" lines and "KEY=value" lines) as recorders
// write them: section and key names compare without regard to case, values are taken raw (no
// escapes, backslashes kept, surrounding blanks trimmed), a key seen twice keeps its first value,
// and lines that are neither are skipped. QSettings is not used because it rewrites backslashes
// and quoted values.
#include <QByteArray>
#include <QHash>
#include <QString>

class ProfileIni
{
public:
    // A file larger than this is not a recorder's information file.
    static constexpr qint64 kMaxFileSize = 1024 * 1024;

    // False (and nothing kept) when the file cannot be read or is too large.
    bool Load(const QString& path);
    void Parse(const QByteArray& text);

    // The value, or the default when the section or key is absent.
    QString Value(const QString& section, const QString& key, const QString& fallback = QString()) const;

private:
    QHash<QString, QString> m_values; // "section\nkey", both lower case
};
