#include "decoder_streams.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QMutex>
#include <QProcess>

#include <cstdio>

namespace decoder_streams {

QString FixtureFolder()
{
    const QString folder = QStringLiteral(ZENT_BINARY_DIR "/fixtures/decoder");
    QDir().mkpath(folder);
    return folder;
}

QString RunFfmpeg(const QStringList& arguments)
{
    QProcess process;
    process.start(QStringLiteral("ffmpeg"), QStringList{"-hide_banner", "-loglevel", "error", "-y"} + arguments);
    if (!process.waitForStarted(10000))
        return QStringLiteral("ffmpeg did not start");
    if (!process.waitForFinished(300000))
        return QStringLiteral("ffmpeg did not finish");
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return QString::fromLocal8Bit(process.readAllStandardError());
    return QString();
}

QList<QByteArray> SplitAccessUnits(const QByteArray& stream)
{
    // Start of every NAL unit (position of its first start-code byte) and its header offset.
    struct Nal
    {
        int start;
        int header;
    };
    QList<Nal> nals;
    const int n = stream.size();
    const auto* d = reinterpret_cast<const unsigned char*>(stream.constData());
    for (int i = 0; i + 3 < n; ++i) {
        if (d[i] == 0 && d[i + 1] == 0 && d[i + 2] == 1) {
            const int start = (i > 0 && d[i - 1] == 0) ? i - 1 : i;
            nals.append({start, i + 3});
            i += 2;
        }
    }
    QList<QByteArray> units;
    int unitStart = -1;
    bool hasSlice = false;
    for (const Nal& nal : nals) {
        const int type = d[nal.header] & 0x1F;
        const bool slice = type == 1 || type == 5;
        const bool firstSlice = slice && nal.header + 1 < n && (d[nal.header + 1] & 0x80);
        const bool opensUnit = (type == 6 || type == 7 || type == 8 || type == 9) || firstSlice;
        if (unitStart < 0) {
            unitStart = nal.start;
        } else if (hasSlice && opensUnit) {
            units.append(stream.mid(unitStart, nal.start - unitStart));
            unitStart = nal.start;
            hasSlice = false;
        }
        hasSlice = hasSlice || slice;
    }
    if (unitStart >= 0)
        units.append(stream.mid(unitStart));
    return units;
}

namespace {

// Writes by ffmpeg into a private name first, so that test processes running side by side
// never read a half-written fixture.
QString MakeFile(const QString& name, const QStringList& input, const QStringList& output)
{
    const QString path = FixtureFolder() + "/" + name;
    if (QFile::exists(path))
        return QString();
    const QString temporary = path + QStringLiteral(".%1.tmp").arg(QCoreApplication::applicationPid());
    const QString error = RunFfmpeg(input + output + QStringList{temporary});
    if (!error.isEmpty())
        return error;
    if (std::rename(QFile::encodeName(temporary).constData(), QFile::encodeName(path).constData()) != 0)
        return QStringLiteral("cannot rename ") + temporary;
    return QString();
}

} // namespace

const Stream& Make(int width, int height, int frames, int keyInterval, bool baseline)
{
    static QMutex lock;
    static QMap<QString, Stream> made;
    QMutexLocker locker(&lock);
    const QString base = QStringLiteral("testsrc2_%1x%2_%3_%4%5")
                             .arg(width)
                             .arg(height)
                             .arg(frames)
                             .arg(keyInterval)
                             .arg(baseline ? "_baseline" : "");
    auto found = made.find(base);
    if (found != made.end())
        return *found;

    Stream stream;
    stream.width = width;
    stream.height = height;
    stream.path = FixtureFolder() + "/" + base + ".264";
    const QString size = QStringLiteral("%1x%2").arg(width).arg(height);
    stream.error = MakeFile(base + ".264", {"-f", "lavfi", "-i", "testsrc2=size=" + size + ":rate=30"},
                            QStringList{"-frames:v", QString::number(frames), "-c:v", "libx264"}
                                + (baseline ? QStringList{"-profile:v", "baseline"} : QStringList())
                                + QStringList{"-pix_fmt", "yuv420p", "-bf", "0", "-g",
                                              QString::number(keyInterval), "-bsf:v", "h264_mp4toannexb", "-f",
                                              "h264"});
    if (stream.error.isEmpty())
        stream.error = MakeFile(base + ".rgb", {"-i", stream.path},
                                {"-pix_fmt", "rgb24", "-sws_flags", "fast_bilinear", "-f", "rawvideo"});
    if (stream.error.isEmpty()) {
        QFile h264(stream.path);
        QFile rgb(FixtureFolder() + "/" + base + ".rgb");
        if (h264.open(QIODevice::ReadOnly) && rgb.open(QIODevice::ReadOnly)) {
            stream.frames = SplitAccessUnits(h264.readAll());
            stream.referenceRgb = rgb.readAll();
        } else {
            stream.error = QStringLiteral("cannot read the fixture files");
        }
    }
    return *made.insert(base, stream);
}

namespace {

QByteArray FilteredReference(const Stream& stream, const QString& name, const QString& filter, int frames,
                             QString& error)
{
    error = MakeFile(name, {"-i", stream.path},
                     {"-frames:v", QString::number(frames), "-vf", filter, "-pix_fmt", "bgra", "-f", "rawvideo"});
    if (!error.isEmpty())
        return QByteArray();
    QFile file(FixtureFolder() + "/" + name);
    if (!file.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("cannot read ") + file.fileName();
        return QByteArray();
    }
    return file.readAll();
}

} // namespace

QByteArray ScaledReference(const Stream& stream, int width, int height, int cropRows, int frames, QString& error)
{
    const QString base = QFileInfo(stream.path).completeBaseName();
    const QString name =
        QStringLiteral("%1_to_%2x%3_crop%4_%5.bgra").arg(base).arg(width).arg(height).arg(cropRows).arg(frames);
    const QString filter =
        QStringLiteral("crop=iw:ih-%1:0:0,scale=%2:%3:flags=fast_bilinear").arg(cropRows).arg(width).arg(height);
    return FilteredReference(stream, name, filter, frames, error);
}

QByteArray ScaledRegionReference(const Stream& stream, const QRect& source, int width, int height, int frames,
                                 QString& error)
{
    const QString base = QFileInfo(stream.path).completeBaseName();
    const QString name = QStringLiteral("%1_region%2_%3_%4x%5_to_%6x%7_%8.bgra")
                             .arg(base)
                             .arg(source.x())
                             .arg(source.y())
                             .arg(source.width())
                             .arg(source.height())
                             .arg(width)
                             .arg(height)
                             .arg(frames);
    const QString filter = QStringLiteral("crop=%1:%2:%3:%4,scale=%5:%6:flags=fast_bilinear")
                               .arg(source.width())
                               .arg(source.height())
                               .arg(source.x())
                               .arg(source.y())
                               .arg(width)
                               .arg(height);
    return FilteredReference(stream, name, filter, frames, error);
}

namespace {

// Bits of a NAL unit's payload with the emulation prevention bytes taken out.
class BitReader
{
public:
    explicit BitReader(const QByteArray& rbsp)
        : m_data(rbsp)
    {}
    bool Ok() const { return m_ok; }
    int Position() const { return m_position; }
    int Size() const { return m_data.size() * 8; }
    unsigned Bit()
    {
        if (m_position >= Size()) {
            m_ok = false;
            return 0;
        }
        const unsigned b = (uchar(m_data[m_position / 8]) >> (7 - m_position % 8)) & 1;
        ++m_position;
        return b;
    }
    unsigned Bits(int n)
    {
        unsigned v = 0;
        while (n-- > 0)
            v = (v << 1) | Bit();
        return v;
    }
    unsigned Ue()
    {
        int zeros = 0;
        while (Bit() == 0 && m_ok && zeros < 32)
            ++zeros;
        return ((1u << zeros) - 1) + Bits(zeros);
    }

private:
    QByteArray m_data;
    int m_position = 0;
    bool m_ok = true;
};

class BitWriter
{
public:
    void Bit(unsigned b)
    {
        if (m_count % 8 == 0)
            m_data.append('\0');
        if (b)
            m_data[m_data.size() - 1] = char(uchar(m_data[m_data.size() - 1]) | (0x80 >> (m_count % 8)));
        ++m_count;
    }
    void Bits(unsigned v, int n)
    {
        while (n-- > 0)
            Bit((v >> n) & 1);
    }
    void Ue(unsigned v)
    {
        const unsigned code = v + 1;
        int length = 0;
        while ((code >> length) > 1)
            ++length;
        Bits(0, length);
        Bits(code, length + 1);
    }
    QByteArray Data() const { return m_data; }

private:
    QByteArray m_data;
    int m_count = 0;
};

QByteArray Unescape(const QByteArray& payload)
{
    QByteArray out;
    int zeros = 0;
    for (char c : payload) {
        if (zeros >= 2 && c == 3) {
            zeros = 0;
            continue;
        }
        out.append(c);
        zeros = c == 0 ? zeros + 1 : 0;
    }
    return out;
}

QByteArray Escape(const QByteArray& rbsp)
{
    QByteArray out;
    int zeros = 0;
    for (char c : rbsp) {
        if (zeros >= 2 && uchar(c) <= 3) {
            out.append('\3');
            zeros = 0;
        }
        out.append(c);
        zeros = c == 0 ? zeros + 1 : 0;
    }
    return out;
}

// Copies the rest of the payload up to and including its stop bit (the last 1); the writer
// fills the final byte with zeros.
void CopyRest(BitReader& in, BitWriter& out)
{
    BitReader probe = in;
    int stop = -1;
    while (probe.Position() < probe.Size()) {
        const int at = probe.Position();
        if (probe.Bit())
            stop = at;
    }
    while (in.Position() <= stop)
        out.Bit(in.Bit());
}

} // namespace

QList<QByteArray> Renumber(const QList<QByteArray>& units, Numbering numbering)
{
    const int frameNumBits = numbering == Numbering::FrameNum4Poc5 ? 4 : 10;
    const bool pType0 = numbering == Numbering::PType0FrameNum10;
    const bool orderLsb = numbering == Numbering::FrameNum4Poc5;
    int oldFrameNumBits = -1;
    int count = 0;
    QList<QByteArray> result;
    for (const QByteArray& unit : units) {
        // NAL units of the access unit: [start code][payload]...
        QList<int> starts;
        for (int i = 0; i + 2 < unit.size(); ++i) {
            if (unit[i] == 0 && unit[i + 1] == 0 && unit[i + 2] == 1) {
                starts.append(i + 3);
                i += 2;
            }
        }
        QByteArray out;
        for (int k = 0; k < starts.size(); ++k) {
            const int begin = starts[k];
            int end = k + 1 < starts.size() ? starts[k + 1] - 3 : unit.size();
            while (k + 1 < starts.size() && end > begin && unit[end - 1] == 0)
                --end; // the leading zero of the next four-byte start code
            const int codeStart = (begin >= 4 && unit[begin - 4] == 0) ? begin - 4 : begin - 3;
            out.append(unit.mid(codeStart, begin - codeStart));
            uchar header = uchar(unit[begin]);
            const int type = header & 0x1F;
            const QByteArray payload = unit.mid(begin + 1, end - begin - 1);
            if (type != 7 && type != 1 && type != 5) {
                out.append(char(header));
                out.append(payload);
                continue;
            }
            BitReader in(Unescape(payload));
            BitWriter w;
            if (type == 7) {
                const unsigned profile = in.Bits(8);
                if (profile != 66)
                    return {};
                w.Bits(profile, 8);
                w.Bits(in.Bits(8), 8);
                w.Bits(in.Bits(8), 8);
                w.Ue(in.Ue());
                oldFrameNumBits = int(in.Ue()) + 4;
                if (in.Ue() != 2)
                    return {};
                w.Ue(frameNumBits - 4);
                if (orderLsb) {
                    w.Ue(0);
                    w.Ue(5 - 4);
                } else {
                    w.Ue(2);
                }
            } else {
                if (oldFrameNumBits < 0)
                    return {};
                const unsigned firstMb = in.Ue();
                if (firstMb != 0)
                    return {};
                w.Ue(firstMb);
                const unsigned sliceType = in.Ue();
                if (pType0 && type == 1 && sliceType == 5) {
                    w.Ue(0);
                    header = uchar(0x60 | type);
                } else {
                    w.Ue(sliceType);
                }
                w.Ue(in.Ue());
                in.Bits(oldFrameNumBits);
                if (type == 5)
                    count = 0;
                w.Bits(unsigned(count) & ((1u << frameNumBits) - 1), frameNumBits);
                if (type == 5)
                    w.Ue(in.Ue());
                if (orderLsb)
                    w.Bits(unsigned(2 * count) & 31, 5);
                ++count;
            }
            CopyRest(in, w);
            if (!in.Ok())
                return {};
            out.append(char(header));
            out.append(Escape(w.Data()));
        }
        result.append(out);
    }
    return result;
}

} // namespace decoder_streams
