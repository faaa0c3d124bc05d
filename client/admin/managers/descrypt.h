#pragma once
// The traditional DES-based crypt(3) the recorders check client passwords with: 13 characters,
// the two salt characters followed by 11 of ./0-9A-Za-z, over the first 8 bytes of the password
// in UTF-8.
#include <QByteArray>
#include <QString>

namespace DesCrypt {

// The salt the program writes every password with.
constexpr char kSalt[] = "Jw";

// The hash, or an empty array when the crypt routine refuses (a salt outside ./0-9A-Za-z).
QByteArray Hash(const QString& password, const QByteArray& salt = QByteArray(kSalt));

} // namespace DesCrypt
