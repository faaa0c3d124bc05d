#include "managers/descrypt.h"

#include <crypt.h>

#include <cstring>
#include <memory>

namespace DesCrypt {

QByteArray Hash(const QString& password, const QByteArray& salt)
{
    // Only eight bytes count; a NUL (which a QString may hold) would end the key early anyway.
    QByteArray key = password.toUtf8().left(8);
    const int nul = key.indexOf('\0');
    if (nul >= 0)
        key.truncate(nul);
    auto data = std::make_unique<crypt_data>();
    std::memset(data.get(), 0, sizeof(crypt_data));
    const char* hash = crypt_r(key.constData(), salt.constData(), data.get());
    // libxcrypt answers a refusal with a string starting with "*".
    if (!hash || hash[0] == '*' || std::strlen(hash) != 13)
        return QByteArray();
    return QByteArray(hash);
}

} // namespace DesCrypt
