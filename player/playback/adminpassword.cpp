#include "playback/adminpassword.h"

#include "playback/profileini.h"
#include "playback/profileiniwriter.h"

#include <QFile>

namespace {

const QString kSection = QStringLiteral("ADMIN");
const QString kKey = QStringLiteral("Password");

// The value of [ADMIN] Password, or the fallback when it is missing.
QString Read(const QString& path, const QString& fallback)
{
    ProfileIni ini;
    if (!ini.Load(path)) {
        return fallback;
    }
    // Values are read into a 255-character buffer.
    return ini.Value(kSection, kKey, fallback).left(254);
}

} // namespace

AdminPassword::AdminPassword(QString path)
    : m_path(std::move(path))
{}

QString AdminPassword::LoadForPrompt()
{
    const QString value = Read(m_path, QStringLiteral("null"));
    if (value == QLatin1String("null")) {
        ProfileIniWriter::Write(m_path, kSection, kKey, QString::fromLatin1(kDefault), true);
        m_stored = QString::fromLatin1(kDefault);
    } else {
        m_stored = value;
        // A file written before (or by hand) open to others is closed to them.
        QFile::setPermissions(m_path, QFile::ReadOwner | QFile::WriteOwner);
    }
    return m_stored;
}

bool AdminPassword::Change(const QString& oldPassword, const QString& newPassword, bool* writeFailed)
{
    *writeFailed = false;
    if (oldPassword != Read(m_path, QString())) {
        return false;
    }
    if (!ProfileIniWriter::Write(m_path, kSection, kKey, newPassword, true)) {
        *writeFailed = true;
        return false;
    }
    return true;
}
