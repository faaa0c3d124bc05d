#include "mail/smtpsettings.h"
#include "mail/maillog.h"

#include <QFile>
#include <QSaveFile>
#include <QStringList>

namespace {
constexpr int kLines = 6;

QByteArray Line(QString value)
{
    value.replace(QLatin1Char('\r'), QLatin1Char(' '));
    value.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return value.toUtf8() + '\n';
}
} // namespace

QString SmtpSettings::SenderFor(const QString& user, const QString& server, const QString& previous)
{
    if (user.isEmpty() || server.isEmpty())
        return previous;
    return user + QLatin1Char('@') + server;
}

namespace SmtpSettingsFile {

SmtpSettings Read(const QString& path)
{
    SmtpSettings settings;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return settings;
    QStringList lines = QString::fromUtf8(file.read(kReadLimit)).split(QLatin1Char('\n'));
    for (QString& line : lines) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
    }
    while (lines.size() < kLines)
        lines << QString();
    settings.server = lines.at(0).trimmed();
    settings.port = lines.at(1).trimmed();
    settings.secure = lines.at(2).trimmed() == QLatin1String("1");
    settings.authentication = lines.at(3).trimmed() == QLatin1String("1");
    settings.user = lines.at(4);
    settings.password = lines.at(5);
    settings.sender = SmtpSettings::SenderFor(settings.user, settings.server, QString());
    return settings;
}

bool Write(const QString& path, const SmtpSettings& settings, QString* error)
{
    QByteArray text;
    text += Line(settings.server);
    text += Line(settings.port);
    text += settings.secure ? "1\n" : "0\n";
    text += settings.authentication ? "1\n" : "0\n";
    text += Line(settings.user);
    text += Line(settings.password);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.commit()) {
        const QString why = file.errorString();
        qCWarning(lcMail) << "cannot write" << path << why;
        if (error)
            *error = why;
        return false;
    }
    // The password is in the file: readable by its owner only.
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    return true;
}

} // namespace SmtpSettingsFile
