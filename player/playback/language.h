#pragma once
// The player's table of texts: every caption, tooltip and message the player shows is looked up
// here by key. The table is filled from English texts built into the program; the script path
// given to Load is accepted for a language file that this program does not read.
#include <QString>
#include <QStringList>

class CLanguage
{
public:
    static constexpr int kSlotCount = 350;
    // Texts are handed out through a 260-byte buffer in the original form; longer ones are cut.
    static constexpr int kMaxTextLength = 259;

    CLanguage();

    // Fills the slots from the built-in text; `scriptPath` is not read. Returns 1.
    int Load(const QString& scriptPath);
    // The text of `key` (given without "="), or an empty text when the key is not in the table.
    // The comparison is exact and case-sensitive; the "=" is part of it, so "PRINT" never
    // matches "PRINT_SAVE".
    QString GetText(const QString& key) const;

    int Count() const { return m_count; }

    // The built-in text: one "KEY=text" line per entry, each ended by a line feed.
    static const char* BuiltInText();

private:
    QStringList m_slots;
    int m_count = 0;
};
