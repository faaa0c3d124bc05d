#pragma once
#include <QString>
#include <QStringList>

// The authority an account dialog offers and returns, and how it meets the account kinds of the
// tree: 3 "Admin User" ("admin"), 2 "Super User" ("super"), 1 "Normal User" ("normal"), 0 none.
enum class Authority { None = 0, Normal = 1, Super = 2, Admin = 3 };

class ValidationAuthority
{
public:
    // The level that opens the account dialog only to show an account.
    static constexpr int kViewLevel = -999;

    // The combo's entries under an account of this level (4 root, 3 admin, 2 super).
    static QStringList Choices(int level);
    // The entry of the authority among the level's choices; -1 when it is not offered.
    static int ChoiceIndex(int level, Authority authority);
    // The authority of a combo text; None for any other text.
    static Authority FromText(const QString& text);
    static QString Text(Authority authority);
    // The authority of an account kind; `other` for a kind that is no account level.
    static Authority FromType(const QString& type, Authority other);
    // The account kind of an authority; empty for None.
    static QString Type(Authority authority);
};
