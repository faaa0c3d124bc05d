// The export of the player's own recordings entry by entry: recordings written at test time by
// the player's writer with pictures of the engine's own codec, walked through their entry table
// and decoded by the own decoder; the entry loop on a fake source; and a whole export into an
// AVI file checked by ffprobe and by ffmpeg's decode of its pictures.
#include "playback/aviexportjob.h"
#include "playback/aviexportrules.h"
#include "playback/framelistexportsource.h"
#include "player/support/ownrecording.h"

#include "engine/sizecode.h"
#include "engine/videodecoder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

constexpr int kFrames = 24;
constexpr int kKeyEvery = 6;
const QString kName = QStringLiteral("20261210120000x"); // x120000.001 and its index ix120000.001

// Fifteen frames a second at 59.94 fields: four fields between frames, none before the first.
int FifteenPerSecond(int i)
{
    return i == 0 ? 0 : 4;
}

// Decodes into 32-bit pictures (blue, green, red, then a fourth byte) with the own decoder.
class OwnDecoding
{
public:
    // Setting 5 picks the output routine: 32-bit pictures.
    OwnDecoding() { m_ok = m_decoder.Init(336, 272) == 0 && m_decoder.Set(0, 5, int(OutputRoutine::Bgrx32)) == 0; }
    bool Ok() const { return m_ok; }
    FrameListExportSource::Decoder Decoder()
    {
        return [this](const quint8* data, int length, QImage& picture) {
            ++decodes;
            const int result = m_decoder.Decode(data, length, m_output.data(), int64_t(m_output.size()), 0, 1, 0,
                                                1);
            if (SizeCode::HasPicture(result))
                picture = QImage(m_output.data(), SizeCode::Width(result), SizeCode::Height(result),
                                 QImage::Format_RGB32)
                              .copy();
            return result;
        };
    }
    int decodes = 0;

private:
    VideoDecoder m_decoder;
    std::vector<uint8_t> m_output = std::vector<uint8_t>(size_t(672 * 544 * 4), 0);
    bool m_ok = false;
};

class WriterRecording : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        const QString error = own_recording::Write(Folder(), kName, kFrames, kKeyEvery, FifteenPerSecond);
        ASSERT_TRUE(error.isEmpty()) << error.toStdString();
        ASSERT_TRUE(decoding.Ok());
    }
    QString Folder() const { return dir.path() + QLatin1Char('/'); }
    QString IndexPath() const { return Folder() + QStringLiteral("ix120000.001"); }
    QString DataPath() const { return Folder() + QStringLiteral("x120000.001"); }
    std::unique_ptr<FrameListExportSource> Load()
    {
        auto source = std::make_unique<FrameListExportSource>(decoding.Decoder());
        return source->Load(IndexPath(), DataPath()) ? std::move(source) : nullptr;
    }

    QTemporaryDir dir;
    OwnDecoding decoding;
};

// The grey of a flat picture; -1 when its corners and middle differ.
int Grey(const QImage& picture)
{
    const int w = picture.width() - 1;
    const int h = picture.height() - 1;
    const int grey = qGreen(picture.pixel(w / 2, h / 2));
    for (const QPoint& p : {QPoint(0, 0), QPoint(w, 0), QPoint(0, h), QPoint(w, h)}) {
        const QRgb c = picture.pixel(p);
        if (qRed(c) != grey || qGreen(c) != grey || qBlue(c) != grey)
            return -1;
    }
    return grey;
}

QString Probe(const QString& path, const char* entries)
{
    QProcess p;
    p.start(QStringLiteral("ffprobe"),
            {"-v", "error", "-select_streams", "v:0", "-count_packets", "-show_entries",
             QStringLiteral("stream=") + QLatin1String(entries), "-of", "csv=p=0", path});
    if (!p.waitForFinished(60000) || p.exitCode() != 0)
        return QStringLiteral("ffprobe failed: ") + QString::fromLocal8Bit(p.readAllStandardError());
    return QString::fromLocal8Bit(p.readAllStandardOutput()).trimmed();
}

// The mean luma of each picture of the file's video, as ffmpeg decodes it.
QVector<double> MeanLumas(const QString& path, int width, int height)
{
    QProcess p;
    p.start(QStringLiteral("ffmpeg"), {"-v", "error", "-i", path, "-map", "0:v", "-f", "rawvideo", "-pix_fmt",
                                       "gray", "-vsync", "passthrough", "-"});
    QVector<double> means;
    if (!p.waitForFinished(60000) || p.exitCode() != 0)
        return means;
    const QByteArray bytes = p.readAllStandardOutput();
    const int size = width * height;
    for (int at = 0; at + size <= bytes.size(); at += size) {
        qint64 sum = 0;
        for (int i = 0; i < size; ++i)
            sum += quint8(bytes[at + i]);
        means.append(double(sum) / size);
    }
    return means;
}

} // namespace

TEST_F(WriterRecording, EntryTableTimesAndRateComeFromTheIndex)
{
    const auto source = Load();
    ASSERT_TRUE(source);
    EXPECT_EQ(source->EntryCount(), kFrames);
    EXPECT_EQ(source->Pair(7), std::make_pair(0, 7));
    EXPECT_EQ(source->Pair(kFrames), std::make_pair(-1, -1));
    EXPECT_EQ(source->Find(0, 7), 7);
    EXPECT_EQ(source->Find(1, 0), -1);
    EXPECT_EQ(source->FrameCode(0), 0);
    EXPECT_EQ(source->FrameCode(5), 4);
    EXPECT_EQ(source->Rate(), 15);
    EXPECT_EQ(source->DateText(0), QStringLiteral("12/10/2026"));
    // Entry 15 lies 60 fields after the start (1.001 s), entry 14 56 fields (0.934 s).
    EXPECT_EQ(source->TimeDigits(14), QStringLiteral("120000"));
    EXPECT_EQ(source->TimeDigits(15), QStringLiteral("120001"));
    EXPECT_EQ(source->TimeText(23), QStringLiteral("12:00:01"));
    EXPECT_EQ(source->TimeDigits(kFrames), QStringLiteral("000000"));
}

TEST_F(WriterRecording, EveryEntryDecodesToItsOwnPictureFromAnyStart)
{
    // Each walk on a fresh source: an entry inside a group is decoded after its group's key
    // frame; going on inside a group decodes only the new entry.
    const struct
    {
        const char* what;
        std::vector<int> walk;
        int decodes; // decoder calls for the whole walk
    } cases[] = {
        {"first entry", {0}, 1},
        {"inside a group", {8}, 3},
        {"on through a group", {3, 4, 5}, 6},
        {"back to an earlier group", {10, 2}, 8},
        {"the same entry twice", {9, 9}, 8},
        {"into the next group", {5, 6, 7}, 8},
    };
    for (const auto& c : cases) {
        decoding.decodes = 0;
        const auto source = Load();
        ASSERT_TRUE(source) << c.what;
        for (int entry : c.walk) {
            QImage picture;
            ASSERT_EQ(source->DecodeEntry(entry, picture), EntryExportSource::Read::Picture)
                << c.what << " " << entry;
            ASSERT_EQ(picture.size(), QSize(own_recording::kWidth, own_recording::kHeight)) << c.what;
            EXPECT_EQ(Grey(picture), own_recording::Grey(entry, kKeyEvery)) << c.what << " entry " << entry;
        }
        EXPECT_EQ(decoding.decodes, c.decodes) << c.what;
    }
}

TEST_F(WriterRecording, DamagedFilesAreRefusedOrEndTheWalk)
{
    QFile index(IndexPath());
    ASSERT_TRUE(index.open(QIODevice::ReadOnly));
    const QByteArray good = index.readAll();
    index.close();
    const struct
    {
        const char* what;
        QByteArray index;
    } refused[] = {
        {"empty index", QByteArray()},
        {"index cut short", good.left(good.size() - 10)},
        {"not our layout", QByteArray(300, 'z')},
    };
    for (const auto& c : refused) {
        QFile f(IndexPath());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(c.index);
        f.close();
        EXPECT_FALSE(Load()) << c.what;
    }
    QFile restore(IndexPath());
    ASSERT_TRUE(restore.open(QIODevice::WriteOnly));
    restore.write(good);
    restore.close();

    // The data file ends inside entry 13: entries before it decode, entry 13 on is a data error.
    const auto source = Load();
    ASSERT_TRUE(source);
    QFile data(DataPath());
    ASSERT_TRUE(data.open(QIODevice::ReadWrite));
    const qint64 thirteen = 13 * own_recording::Frame(0, kKeyEvery).size(); // upper bound of 13 frames
    ASSERT_GT(data.size(), thirteen);
    QByteArray bytes = data.readAll();
    qint64 end = 0;
    for (int i = 0; i < 13; ++i)
        end += own_recording::Frame(i, kKeyEvery).size();
    ASSERT_TRUE(data.resize(end + 10));
    data.close();
    QImage picture;
    EXPECT_EQ(source->DecodeEntry(12, picture), EntryExportSource::Read::Picture);
    EXPECT_EQ(source->DecodeEntry(13, picture), EntryExportSource::Read::DataError);
    EXPECT_EQ(source->DecodeEntry(14, picture), EntryExportSource::Read::DataError);
    EXPECT_EQ(source->DecodeEntry(-1, picture), EntryExportSource::Read::DataError);
    EXPECT_EQ(source->DecodeEntry(kFrames, picture), EntryExportSource::Read::DataError);
}

TEST(AviExportRules, EntryModeRateIsTheRecordingsFramesPerSecond)
{
    const struct
    {
        QVector<int> codes;
        bool fiftyFields;
        int rate;
    } cases[] = {
        {{}, false, 0},
        {{0, 0, 0}, false, 0},     // no time between any frames
        {{0, 4, 4, 4}, false, 15}, // the first frame has no time before it
        {{2, 2, 2}, false, 30},
        {{2, 2}, true, 25},
        {{7, 8}, false, 8},
        {{8, 8, 8}, false, 7},
        {{0, 126}, false, 1},      // two seconds apart: at least one a second
        {{4, 0, 4, 0}, false, 15}, // frames that came with the one before them
    };
    for (const auto& c : cases)
        EXPECT_EQ(AviExportRules::EntryModeRate(c.codes, c.fiftyFields), c.rate) << c.codes.size();
}

namespace {

// Entries as a table of what each read gives.
class FakeEntries : public EntryExportSource
{
public:
    struct Item
    {
        Read read;
        int code;
    };
    explicit FakeEntries(std::vector<Item> items)
        : m_items(std::move(items))
    {}
    int EntryCount() const override { return int(m_items.size()); }
    int FrameCode(int entry) const override { return m_items[size_t(entry)].code; }
    Read DecodeEntry(int entry, QImage& picture) override
    {
        read.push_back(entry);
        if (m_items[size_t(entry)].read == Read::Picture) {
            picture = QImage(352, 240, QImage::Format_RGB32);
            picture.fill(QColor(entry * 10, 50, 100));
        }
        return m_items[size_t(entry)].read;
    }
    QString DateText(int) const override { return QStringLiteral("12/10/2026"); }
    QString TimeText(int entry) const override
    {
        return QStringLiteral("12:00:%1").arg(entry, 2, 10, QLatin1Char('0'));
    }
    std::vector<int> read;

private:
    std::vector<Item> m_items;
};

} // namespace

TEST(AviExportJob, EntryLoopWritesAPositionPerEntryAndRepeatsWhereNeeded)
{
    using R = EntryExportSource::Read;
    const struct
    {
        const char* what;
        std::vector<FakeEntries::Item> items;
        int rate, start, end;
        AviExportResult result;
        std::vector<int> read;
        int positions; // video positions written
        int fileRate;  // the writer's rate
        int lastProgress;
    } cases[] = {
        // clang-format off
        {"pictures", {{R::Picture, 0}, {R::Picture, 4}, {R::Picture, 4}, {R::Picture, 4}},
         15, 0, 4, AviExportResult::Finished, {0, 1, 2, 3}, 4, 15, 100},
        {"a frame without time after the first repeats", {{R::Picture, 0}, {R::Picture, 0}, {R::Picture, 4}},
         15, 0, 3, AviExportResult::Finished, {0, 1, 2}, 4, 15, 100},
        {"the first entry of the range does not", {{R::Picture, 4}, {R::Picture, 0}, {R::Picture, 4}},
         15, 1, 3, AviExportResult::Finished, {1, 2}, 2, 15, 100},
        {"an entry without a picture keeps its place", {{R::Picture, 0}, {R::NoPicture, 4}, {R::Picture, 4}},
         15, 0, 3, AviExportResult::Finished, {0, 1, 2}, 3, 15, 100},
        {"nothing before the first picture", {{R::NoPicture, 0}, {R::Picture, 4}, {R::Picture, 4}},
         15, 0, 3, AviExportResult::Finished, {0, 1, 2}, 2, 15, 100},
        {"a data error ends the loop, the file is finished",
         {{R::Picture, 0}, {R::Picture, 4}, {R::DataError, 4}, {R::Picture, 4}},
         15, 0, 4, AviExportResult::DataError, {0, 1, 2}, 2, 15, 50},
        {"an unknown rate is the writer's 10", {{R::Picture, 0}, {R::Picture, 0}},
         0, 0, 2, AviExportResult::Finished, {0, 1}, 3, 10, 100},
        {"an end beyond the table stops at its last entry", {{R::Picture, 0}, {R::Picture, 4}},
         15, 0, 9, AviExportResult::Finished, {0, 1}, 2, 15, 100},
        // clang-format on
    };
    QTemporaryDir dir;
    int n = 0;
    for (const auto& c : cases) {
        FakeEntries source(c.items);
        CAviWriter writer;
        writer.Init();
        writer.SetPath(dir.filePath(QStringLiteral("e%1.avi").arg(n++)));
        AviExportOptions options;
        options.osd = true;
        options.audio = true; // not used in entry mode
        AviExportJob job(source, writer, options);
        std::atomic<bool> running{true};
        QVector<int> progress;
        EXPECT_EQ(job.RunEntryMode(c.rate, c.start, c.end, running, [&](int p) { progress.append(p); }), c.result)
            << c.what;
        EXPECT_EQ(source.read, c.read) << c.what;
        EXPECT_EQ(writer.VideoPosition(), c.positions) << c.what;
        EXPECT_EQ(writer.AudioPosition(), 0) << c.what;
        // Video 1 always writes 10 a second.
        const bool xvid = writer.UsedCompressor() == CAviWriter::Compressor::Xvid;
        EXPECT_EQ(writer.FrameRate(), xvid ? c.fileRate : 10) << c.what;
        EXPECT_EQ(progress.first(), 0) << c.what;
        EXPECT_EQ(progress.last(), c.result == AviExportResult::Finished ? 100 : progress.last()) << c.what;
    }
    // Stopped before the first entry: nothing is written and no file is left.
    FakeEntries source({{R::Picture, 0}});
    CAviWriter writer;
    writer.Init();
    writer.SetPath(dir.filePath(QStringLiteral("stopped.avi")));
    AviExportJob job(source, writer, {});
    std::atomic<bool> running{false};
    EXPECT_EQ(job.RunEntryMode(15, 0, 1, running), AviExportResult::TooSmall);
    EXPECT_TRUE(source.read.empty());
    EXPECT_FALSE(QFileInfo::exists(dir.filePath(QStringLiteral("stopped.avi"))));
}

TEST_F(WriterRecording, ExportedFileHoldsTheEntriesAtTheRecordingsRate)
{
    const auto source = Load();
    ASSERT_TRUE(source);
    const QString path = dir.filePath(QStringLiteral("clip.avi"));
    CAviWriter writer;
    writer.Init();
    writer.SetPath(path);
    writer.SetUseMsvc(!CAviWriter::XvidInstalled());
    AviExportJob job(*source, writer, {});
    std::atomic<bool> running{true};
    ASSERT_EQ(job.RunEntryMode(source->Rate(), 0, kFrames, running), AviExportResult::Finished);
    EXPECT_EQ(writer.VideoPosition(), kFrames);
    if (writer.UsedCompressor() != CAviWriter::Compressor::Xvid)
        GTEST_SKIP() << "no Xvid encoder: the file was written with Video 1 at 10 a second";
    // 24 positions at 15 a second, every third coded (positions 2, 5, ..., 23).
    EXPECT_EQ(Probe(path, "codec_name,codec_tag_string,width,height,r_frame_rate,nb_read_packets"),
              QStringLiteral("mpeg4,XVID,336,224,15/1,8"));
    const QVector<double> means = MeanLumas(path, 336, 224);
    ASSERT_EQ(means.size(), 8);
    for (int k = 0; k < means.size(); ++k) {
        // Each coded picture is the latest entry's, in recording order; neighbouring entries
        // differ by 6 grey levels.
        const int entry = 2 + 3 * k;
        EXPECT_NEAR(means[k], own_recording::Grey(entry, kKeyEvery), 2.0)
            << "picture " << k << " (entry " << entry << ")";
    }
}

namespace {

QByteArray Hex(const char* text)
{
    return QByteArray::fromHex(QByteArray(text).replace(' ', ""));
}

QByteArray Le32(quint32 v)
{
    QByteArray b(4, '\0');
    for (int i = 0; i < 4; ++i)
        b[i] = char((v >> (8 * i)) & 0xFF);
    return b;
}

} // namespace

TEST(FrameListExportSource, TheEntryTableHoldsAtMost110000Entries)
{
    // 37 files of 3,000 frames without data (111,000 frames): each file a run record of 3,000
    // empty frames (0x8000 + 3000) and a 20-byte file record without key-frame entries, then a
    // header with 37 file entries.
    constexpr int kFiles = 37;
    QByteArray index;
    QVector<quint32> records;
    for (int f = 0; f < kFiles; ++f) {
        index += Hex("b88b");
        records.append(quint32(index.size()));
        index += Hex("ffffffff 00000000 00000000 1400 b80b 00 00 0000");
    }
    index += Hex("ffffffff ea07 0c 0a 0c 00 00 00 9101 f000 00000000"
                 "0000000000000000000000000000000000000000"
                 "00000000 00000000 00000000 00 00 0000 00000000");
    index += Le32(kFiles);
    for (quint32 offset : records)
        index += Hex("00000000 00000000 00000000") + Le32(offset);
    index += Le32(64 + kFiles * 16 + 4);
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("ix120000.001")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(index);
    file.close();
    FrameListExportSource source([](const quint8*, int, QImage&) { return 0; });
    ASSERT_TRUE(source.Load(file.fileName(), dir.filePath(QStringLiteral("x120000.001"))));
    EXPECT_EQ(source.EntryCount(), FrameListExportSource::kMaxEntries);
    EXPECT_EQ(source.Pair(109999), std::make_pair(36, 1999));
    EXPECT_EQ(source.Find(36, 1999), 109999);
    EXPECT_EQ(source.Find(36, 2000), -1);
    EXPECT_EQ(source.Rate(), 0); // no time between the frames
    // Frames without data have nothing to show; none of them is read.
    QImage picture;
    EXPECT_EQ(source.DecodeEntry(5000, picture), EntryExportSource::Read::NoPicture);
}
