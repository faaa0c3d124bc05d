#pragma once
// The MP4 copy of an exported AVI, made by the `ffmpeg` program found on PATH: run with an
// argument list (no shell), its input closed, writing to a temporary name that becomes
// "<name>.mp4" only when the program ends with exit code 0. The AVI stays. Runs without
// blocking: Finished reports the outcome.
#include <QObject>
#include <QProcess>
#include <QString>

class Mp4Reencode : public QObject
{
    Q_OBJECT
public:
    explicit Mp4Reencode(QObject* parent = nullptr);
    ~Mp4Reencode() override;

    // The program to run, or an empty text when none is on PATH.
    static QString FindEncoder();
    // False (and Finished not sent) when no encoder is found or one is running.
    bool Start(const QString& aviPath);
    bool Running() const { return m_process.state() != QProcess::NotRunning; }

signals:
    // ok is false for an encoder that failed to start, crashed or ended with another exit code.
    void Finished(bool ok, const QString& mp4Path, const QString& message);

private:
    void OnFinished(int exitCode, QProcess::ExitStatus status);
    void OnError(QProcess::ProcessError error);

    QProcess m_process;
    QString m_target;
    QString m_part;
};
