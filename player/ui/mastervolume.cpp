#include "ui/mastervolume.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#include <algorithm>

MasterVolume::MasterVolume(QString program, Runner runner)
    : m_program(std::move(program))
    , m_runner(std::move(runner))
{}

QString MasterVolume::FindMixer()
{
    for (const char* name : {"amixer", "pactl"}) {
        const QString path = QStandardPaths::findExecutable(QString::fromLatin1(name));
        if (!path.isEmpty())
            return path;
    }
    return QString();
}

bool MasterVolume::StartDetached(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.setProgram(program);
    process.setArguments(arguments);
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    return process.startDetached();
}

quint32 MasterVolume::ValueOfPosition(int position)
{
    const int clamped = std::clamp(position, 0, kMaxPosition + 1);
    return std::min<quint32>(quint32(clamped) << 12, kMaxValue);
}

QStringList MasterVolume::Arguments(quint32 value) const
{
    const quint32 percent = std::min(value, kMaxValue) * 100 / kMaxValue;
    const QString level = QString::number(percent) + QLatin1Char('%');
    if (QFileInfo(m_program).fileName() == QLatin1String("pactl"))
        return {QStringLiteral("set-sink-volume"), QStringLiteral("@DEFAULT_SINK@"), level};
    return {QStringLiteral("-q"), QStringLiteral("sset"), QStringLiteral("Master"), level};
}

int MasterVolume::SetMasterVolume(quint32 value)
{
    if (!IsOpen() || !m_runner)
        return 0;
    return m_runner(m_program, Arguments(value)) ? 1 : 0;
}
