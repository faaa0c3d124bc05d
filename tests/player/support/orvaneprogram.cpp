#include "player/support/orvaneprogram.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QThread>

#include <algorithm>
#include <cstdlib>

#include "common/media/modulerecord.h"
#include "common/support/decoder_streams.h"
#include "player/support/recorderpayload.h"

namespace orvane_program {

namespace {

// How far a shown picture's mean may lie from ffmpeg's, per colour (the player converts to RGB
// itself, so the two differ by rounding, not by picture).
constexpr int kMeanTolerance = 6;

Colour MeanOf(const QByteArray& rgb, int offset, int pixels)
{
    Colour sum{0, 0, 0};
    const auto* bytes = reinterpret_cast<const unsigned char*>(rgb.constData()) + offset;
    for (int i = 0; i < pixels; ++i) {
        for (int c = 0; c < 3; ++c)
            sum[c] += bytes[i * 3 + c];
    }
    return {sum[0] / pixels, sum[1] / pixels, sum[2] / pixels};
}

} // namespace

QString ProgramFolder()
{
    return QStringLiteral(ZENT_BINARY_DIR "/bin");
}

QString Program()
{
    return ProgramFolder() + QStringLiteral("/orvane");
}

QProcessEnvironment Environment(const QString& home)
{
    const QDir dir(home);
    dir.mkpath(QStringLiteral("run"));
    QFile::setPermissions(dir.filePath(QStringLiteral("run")),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), dir.filePath(QStringLiteral("run")));
    env.insert(QStringLiteral("XDG_DATA_HOME"), dir.filePath(QStringLiteral("data")));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.filePath(QStringLiteral("config")));
    env.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("orvane.ui.debug=true"));
    env.insert(QStringLiteral("ORVANE_NO_EXIT_QUESTION"), QStringLiteral("1"));
    if (!env.contains(QStringLiteral("ASAN_OPTIONS")))
        env.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("detect_leaks=0"));
    return env;
}

ProcessEnvironment::ProcessEnvironment(const QProcessEnvironment& env)
{
    for (const QString& key : env.keys()) {
        const QByteArray name = key.toLocal8Bit();
        if (qEnvironmentVariableIsSet(name.constData()))
            m_old.append({name, qgetenv(name.constData())});
        else
            m_unset.append(name);
        qputenv(name.constData(), env.value(key).toLocal8Bit());
    }
}

ProcessEnvironment::~ProcessEnvironment()
{
    for (const auto& entry : m_old)
        qputenv(entry.first.constData(), entry.second);
    for (const QByteArray& name : m_unset)
        qunsetenv(name.constData());
}

OwnProcess::~OwnProcess()
{
    if (process.state() == QProcess::NotRunning)
        return;
    // QProcess ends the process of its own id only.
    process.terminate();
    if (!process.waitForFinished(30000))
        process.kill();
    process.waitForFinished(30000);
}

bool WaitFor(const std::function<bool()>& done, int limitMs)
{
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < limitMs)
        QThread::msleep(20);
    return done();
}

QString SocketPath(const QString& home)
{
    return QDir(home).filePath(QStringLiteral("run/orvane.socket"));
}

QString WriteClientRecording(const QString& folder, const QList<QByteArray>& units, int channel, int date,
                             int start, int rate, QString& error)
{
    ModuleRecord writer;
    writer.SetNoRefresh(true);
    if (!writer.StartRecord(channel, date, start, folder, 0, ModuleRecord::RecordLive)) {
        error = QStringLiteral("the writer did not start");
        return QString();
    }
    for (int i = 0; i < units.size(); ++i) {
        const QByteArray payload = recorder_payload::Wrap(units[i]);
        if (payload.isEmpty()) {
            error = QStringLiteral("frame %1 does not fit the recorder payload").arg(i);
            return QString();
        }
        if (writer.OnRecordData(channel, date, start + i / rate, i % rate == 0 ? 1 : 0, 1, payload.constData(),
                                payload.size(), 1, 0)
            <= 0) {
            error = QStringLiteral("the writer refused frame %1").arg(i);
            return QString();
        }
    }
    writer.StopRecord(channel);
    const QString path = QStringLiteral("%1/%2/h%3.%4")
                             .arg(folder)
                             .arg(date)
                             .arg(start, 6, 10, QLatin1Char('0'))
                             .arg(channel + 1, 3, 10, QLatin1Char('0'));
    if (!QFile::exists(path)) {
        error = QStringLiteral("no recording at ") + path;
        return QString();
    }
    return path;
}

QList<Shown> ShownPictures(const QString& log)
{
    static const QRegularExpression line(QStringLiteral(
        "tile (\\d+) shows (\\d+)x(\\d+) (\\d{8}) (\\d{6}) mean #([0-9a-f]{2})([0-9a-f]{2})([0-9a-f]{2})"));
    QList<Shown> shown;
    auto it = line.globalMatch(log);
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        Shown s;
        s.tile = m.captured(1).toInt();
        s.width = m.captured(2).toInt();
        s.height = m.captured(3).toInt();
        s.date = m.captured(4).toInt();
        s.time = m.captured(5).toInt();
        for (int c = 0; c < 3; ++c)
            s.mean[c] = m.captured(6 + c).toInt(nullptr, 16);
        shown << s;
    }
    return shown;
}

QList<Shown> ShownForRecording(const QString& log, const QString& recording)
{
    const QRegularExpression opened(QStringLiteral("tile (\\d+) opened \"") + QRegularExpression::escape(recording)
                                    + QLatin1Char('"'));
    const QRegularExpressionMatch m = opened.match(log);
    QList<Shown> shown;
    if (!m.hasMatch())
        return shown;
    const int tile = m.captured(1).toInt();
    for (const Shown& s : ShownPictures(log))
        if (s.tile == tile && s.date != 0)
            shown << s;
    return shown;
}

QStringList ShownFaults(const QList<Shown>& shown, const decoder_streams::Stream& stream, int date, int start,
                        int rate)
{
    QStringList faults;
    const int pixels = stream.width * stream.height;
    const int pictureBytes = pixels * 3;
    const int frames = pictureBytes > 0 ? stream.referenceRgb.size() / pictureBytes : 0;
    if (frames == 0 || rate <= 0)
        return {QStringLiteral("no reference decode")};
    for (const Shown& s : shown) {
        const QString which = QStringLiteral("tile %1 at %2: ").arg(s.tile).arg(s.time);
        if (s.width != stream.width || s.height != stream.height)
            faults << which + QStringLiteral("size %1x%2").arg(s.width).arg(s.height);
        if (s.date != date)
            faults << which + QStringLiteral("date %1").arg(s.date);
        const int second = s.time - start;
        if (second < 0 || second * rate >= frames) {
            faults << which + QStringLiteral("time outside the recording");
            continue;
        }
        // Some picture of that second has this mean colour.
        int best = 256;
        for (int i = second * rate; i < std::min(frames, (second + 1) * rate); ++i) {
            const Colour ref = MeanOf(stream.referenceRgb, i * pictureBytes, pixels);
            int worst = 0;
            for (int c = 0; c < 3; ++c)
                worst = std::max(worst, std::abs(ref[c] - s.mean[c]));
            best = std::min(best, worst);
        }
        if (best > kMeanTolerance)
            faults << which
                          + QStringLiteral("mean %1,%2,%3 is %4 from ffmpeg's")
                                .arg(s.mean[0])
                                .arg(s.mean[1])
                                .arg(s.mean[2])
                                .arg(best);
    }
    return faults;
}

} // namespace orvane_program
