#include "platform/registrystore.h"

#include <QSettings>
#include <QStandardPaths>
#include <QVariant>

namespace platform {

namespace {
constexpr int kMaxReadLength = 250;
}

RegistryStore::RegistryStore(const QString& iniPath)
    : m_path(iniPath)
{}

QString RegistryStore::DefaultPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
           + QStringLiteral("/Orvane/registry.ini");
}

QString RegistryStore::KeyOf(const QString& root, const QString& subkey, const QString& name)
{
    if (root.isEmpty() || subkey.isEmpty() || name.isEmpty())
        return QString();
    QString path = root + QLatin1Char('/') + subkey;
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return path + QLatin1Char('/') + name;
}

bool RegistryStore::Write(const QString& key, const QVariant& value)
{
    QSettings settings(m_path, QSettings::IniFormat);
    settings.setValue(key, value);
    settings.sync();
    return settings.status() == QSettings::NoError;
}

bool RegistryStore::SetRegistryString(const QString& root, const QString& subkey, const QString& name,
                                      const QString& text)
{
    const QString key = KeyOf(root, subkey, name);
    if (key.isEmpty() || text.isNull())
        return false;
    return Write(key, text);
}

bool RegistryStore::WriteRegistryValue(const QString& root, const QString& subkey, const QString& name,
                                       const QString& text, int type)
{
    if (type == static_cast<int>(ValueType::Text))
        return SetRegistryString(root, subkey, name, text);
    if (type != static_cast<int>(ValueType::Number))
        return false;
    const QString key = KeyOf(root, subkey, name);
    bool ok = false;
    const quint32 number = text.trimmed().toUInt(&ok);
    if (key.isEmpty() || !ok)
        return false;
    return Write(key, number);
}

bool RegistryStore::ReadRegistryString(const QString& root, const QString& subkey, const QString& name,
                                       QString* text) const
{
    const QString key = KeyOf(root, subkey, name);
    if (key.isEmpty() || text == nullptr)
        return false;
    QSettings settings(m_path, QSettings::IniFormat);
    if (!settings.contains(key))
        return false;
    *text = settings.value(key).toString().left(kMaxReadLength);
    return true;
}

} // namespace platform
