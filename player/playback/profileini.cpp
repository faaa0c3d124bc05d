#include "playback/profileini.h"
#include "playback/playbacklog.h"

#include <QFile>
#include <QList>

bool ProfileIni::Load(const QString& path)
{
    m_values.clear();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        qCDebug(lcPlayerPlayback) << "ProfileIni: cannot open" << path << file.errorString();
        return false;
    }
    if (file.size() > kMaxFileSize) {
        qCWarning(lcPlayerPlayback) << "ProfileIni: file too large" << path << file.size();
        return false;
    }
    Parse(file.readAll());
    return true;
}

void ProfileIni::Parse(const QByteArray& text)
{
    m_values.clear();
    QString section;
    const QList<QByteArray> lines = text.split('\n');
    for (const QByteArray& raw : lines) {
        const QString line = QString::fromLocal8Bit(raw).trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')))
            continue;
        if (line.startsWith(QLatin1Char('['))) {
            const int close = line.indexOf(QLatin1Char(']'));
            if (close > 0)
                section = line.mid(1, close - 1).trimmed().toLower();
            continue;
        }
        const int equals = line.indexOf(QLatin1Char('='));
        if (equals <= 0)
            continue;
        const QString key = section + QLatin1Char('\n') + line.left(equals).trimmed().toLower();
        if (!m_values.contains(key))
            m_values.insert(key, line.mid(equals + 1).trimmed());
    }
}

QString ProfileIni::Value(const QString& section, const QString& key, const QString& fallback) const
{
    return m_values.value(section.toLower() + QLatin1Char('\n') + key.toLower(), fallback);
}
