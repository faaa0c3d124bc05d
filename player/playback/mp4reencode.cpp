#include "playback/mp4reencode.h"

#include "playback/aviexportrules.h"
#include "playback/playbacklog.h"

#include <QFile>
#include <QStandardPaths>

Mp4Reencode::Mp4Reencode(QObject* parent)
    : QObject(parent)
{
    connect(&m_process, qOverload<int, QProcess::ExitStatus>(&QProcess::finished), this, &Mp4Reencode::OnFinished);
    connect(&m_process, &QProcess::errorOccurred, this, &Mp4Reencode::OnError);
    m_process.setStandardInputFile(QProcess::nullDevice());
    m_process.setProcessChannelMode(QProcess::MergedChannels);
}

Mp4Reencode::~Mp4Reencode()
{
    if (Running()) {
        m_process.kill();
        m_process.waitForFinished(5000);
        QFile::remove(m_part);
    }
}

QString Mp4Reencode::FindEncoder()
{
    return QStandardPaths::findExecutable(QStringLiteral("ffmpeg"));
}

bool Mp4Reencode::Start(const QString& aviPath)
{
    const QString program = FindEncoder();
    if (program.isEmpty() || Running())
        return false;
    m_target = AviExportRules::Mp4Path(aviPath);
    m_part = m_target + QStringLiteral(".part");
    QFile::remove(m_part);
    qCDebug(lcPlayerPlayback) << "re-encoding" << aviPath << "to" << m_target;
    m_process.start(program, AviExportRules::Mp4Arguments(aviPath, m_part));
    return true;
}

void Mp4Reencode::OnFinished(int exitCode, QProcess::ExitStatus status)
{
    if (status != QProcess::NormalExit || exitCode != 0) {
        QFile::remove(m_part);
        const QByteArray output = m_process.readAll().right(400);
        emit Finished(false, m_target,
                      QStringLiteral("ffmpeg ended with exit code %1: %2")
                          .arg(exitCode)
                          .arg(QString::fromLocal8Bit(output)));
        return;
    }
    QFile::remove(m_target);
    if (!QFile::rename(m_part, m_target)) {
        QFile::remove(m_part);
        emit Finished(false, m_target, QStringLiteral("cannot write %1").arg(m_target));
        return;
    }
    emit Finished(true, m_target, QString());
}

void Mp4Reencode::OnError(QProcess::ProcessError error)
{
    if (error != QProcess::FailedToStart)
        return; // crashes arrive through finished
    QFile::remove(m_part);
    emit Finished(false, m_target, QStringLiteral("ffmpeg could not be started"));
}
