#pragma once
// What the player's benchmarks share: processor time of this process and of its finished
// children, resident memory, running ffmpeg, and splitting an Annex B stream into pictures.
// Header-only, Qt Core only, so that a benchmark linking only the engine can use it.
#include <QByteArray>
#include <QFile>
#include <QList>
#include <QProcess>
#include <QStringList>

#include <sys/resource.h>

#include <algorithm>
#include <ctime>
#include <vector>

namespace playerbench {

inline double ProcessSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

inline double ChildSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
           + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

inline double WallSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

// Resident memory of this process in kilobytes; 0 when it cannot be read.
inline long ResidentKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    return 0;
}

inline bool Ffmpeg(const QStringList& arguments)
{
    QProcess ffmpeg;
    ffmpeg.start(QStringLiteral("ffmpeg"), QStringList{"-hide_banner", "-v", "error", "-y"} + arguments);
    return ffmpeg.waitForFinished(-1) && ffmpeg.exitStatus() == QProcess::NormalExit && ffmpeg.exitCode() == 0;
}

// NAL units of an Annex B stream, without their start codes or trailing zero bytes.
inline QList<QByteArray> Nals(const QByteArray& stream)
{
    QList<QByteArray> nals;
    const QByteArray code("\0\0\1", 3);
    int at = stream.indexOf(code);
    while (at >= 0) {
        const int next = stream.indexOf(code, at + 3);
        QByteArray nal = stream.mid(at + 3, next < 0 ? -1 : next - at - 3);
        while (nal.endsWith('\0'))
            nal.chop(1);
        nals << nal;
        at = next;
    }
    return nals;
}

inline bool IsSlice(const QByteArray& nal)
{
    const int type = nal.isEmpty() ? 0 : nal[0] & 0x1F;
    return type == 1 || type == 5;
}

inline double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

} // namespace playerbench
