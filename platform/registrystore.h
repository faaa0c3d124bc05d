#pragma once
// The registry of the original platform as an INI file read and written through QSettings:
// a root key and a subkey name a group ("HKEY_CURRENT_USER/Software/Xvid"), the value name its
// key. Values keep their type: text, or a 32-bit number written from decimal text.
#include <QString>
#include <QVariant>

namespace platform {

class RegistryStore
{
public:
    enum class ValueType { Text = 1, Number = 4 };

    // The store in the INI file at `iniPath`.
    explicit RegistryStore(const QString& iniPath);
    // The user's configuration folder + "/Orvane/registry.ini".
    static QString DefaultPath();

    // Writes `text` under root/subkey/name. False with nothing written when a part is empty.
    bool SetRegistryString(const QString& root, const QString& subkey, const QString& name, const QString& text);
    // As SetRegistryString for type 1; type 4 stores the decimal value of `text` as a number.
    // Any other type writes nothing and fails, as does a number that does not parse.
    bool WriteRegistryValue(const QString& root, const QString& subkey, const QString& name, const QString& text,
                            int type);
    // The stored value as text (at most 250 characters), or false when it is missing.
    bool ReadRegistryString(const QString& root, const QString& subkey, const QString& name, QString* text) const;

private:
    static QString KeyOf(const QString& root, const QString& subkey, const QString& name);
    bool Write(const QString& key, const QVariant& value);

    QString m_path;
};

} // namespace platform
