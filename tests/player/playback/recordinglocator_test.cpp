// Classification of the files a tile is asked to open: client recordings by their data or index
// name, recorder backup media by their index or stream names (through the day list), the owner
// marker, the recorder information, and the audio that belongs to a recording.
#include "playback/recordinglocator.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

void Touch(const QString& path, const QByteArray& bytes = "x")
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

} // namespace

TEST(RecordingLocator, ClientIndexNameOpensItsDataFile)
{
    QTemporaryDir root;
    const QString day = root.filePath("20261210");
    const RecordingPaths p = RecordingLocator::Locate(day + "/", "ih080510.003");
    EXPECT_EQ(p.kind, RecordingKind::ClientFile);
    EXPECT_EQ(p.dataPath, day + "/h080510.003");
    EXPECT_EQ(p.indexPath, day + "/ih080510.003");
    EXPECT_EQ(p.channel, 2);
    EXPECT_TRUE(p.IndexBased());
    EXPECT_EQ(p.cameraTitle, QString("CAM-03"));
    const RecordingPaths q = RecordingLocator::Locate(day, "h080510.003");
    EXPECT_EQ(q.dataPath, p.dataPath);
    EXPECT_EQ(q.indexPath, p.indexPath);
}

TEST(RecordingLocator, HdStreamFileFindsItsDayFolderThroughTheDayList)
{
    QTemporaryDir root;
    Touch(root.filePath("day.lst"), "20261210");
    const RecordingPaths p = RecordingLocator::Locate(root.filePath("stream"), "stream_000.005_hd");
    EXPECT_EQ(p.kind, RecordingKind::RecorderMediaHd);
    EXPECT_EQ(p.indexPath, root.filePath("20261210/hd_idx.005"));
    EXPECT_EQ(p.dataPath, root.filePath("stream/stream_000.005_hd"));
    EXPECT_EQ(p.channel, 4);
    const RecordingPaths s = RecordingLocator::Locate(root.filePath("stream"), "STREAM_000.007");
    EXPECT_EQ(s.kind, RecordingKind::RecorderMedia);
    EXPECT_EQ(s.indexPath, root.filePath("20261210/intra_idx.007"));
}

TEST(RecordingLocator, StreamFileWithoutDayListOpensNothingSilently)
{
    QTemporaryDir root;
    for (const QByteArray& bad : {QByteArray(), QByteArray("..\\..\\x"), QByteArray("2026")}) {
        if (!bad.isEmpty())
            Touch(root.filePath("day.lst"), bad);
        const RecordingPaths p = RecordingLocator::Locate(root.filePath("stream"), "stream_000.002");
        EXPECT_EQ(p.kind, RecordingKind::None) << bad.constData();
        EXPECT_TRUE(p.silent);
    }
}

TEST(RecordingLocator, MediaIndexDataFilesAndOwnerMarker)
{
    QTemporaryDir root;
    const QString day = root.filePath("20261210");
    Touch(root.filePath("stream/stream_000.001"));
    Touch(root.filePath("stream/stream_000.007"));
    RecordingPaths p = RecordingLocator::Locate(day, "intra_idx.007");
    EXPECT_EQ(p.kind, RecordingKind::RecorderMedia);
    EXPECT_EQ(p.dataPath, root.filePath("stream/stream_000.007"));
    EXPECT_FALSE(p.owner);
    // A channel without its own stream file reads the ".001" one.
    p = RecordingLocator::Locate(day, "intra_idx.003");
    EXPECT_EQ(p.dataPath, root.filePath("stream/stream_000.001"));
    // With the owner marker every channel reads the ".001" stream files.
    Touch(root.filePath(".owner"));
    p = RecordingLocator::Locate(day, "intra_idx.007");
    EXPECT_TRUE(p.owner);
    EXPECT_EQ(p.dataPath, root.filePath("stream/stream_000.001"));
    EXPECT_EQ(p.indexPath, day + "/intra_idx.007");
}

TEST(RecordingLocator, RecorderInformationOfTheDayFolder)
{
    QTemporaryDir root;
    const QString day = root.filePath("20261210");
    Touch(day + "/DvrInfo.ini", "[DVR_INFO]\r\nNAME=Warehouse\r\nIP=192.168.1.20\r\nCAM02=@@@\r\nCAM03=Dock\r\n");
    RecordingPaths p = RecordingLocator::Locate(day, "intra_idx.003");
    EXPECT_EQ(p.info.name, QString("Warehouse"));
    EXPECT_EQ(p.info.address, QString("192.168.1.20"));
    EXPECT_EQ(p.cameraTitle, QString("CAM-03"));
    p = RecordingLocator::Locate(day, "intra_idx.004");
    EXPECT_EQ(p.cameraTitle, QString("Dock"));
}

TEST(RecordingLocator, RefusedNames)
{
    const struct
    {
        const char* name;
        RecordingKind kind;
    } cases[] = {
        {"h080510.abc", RecordingKind::None},
        {"h080510.000", RecordingKind::None},
        {"intra_idx.000", RecordingKind::None},
        {"h080510.017", RecordingKind::None},
        {"", RecordingKind::None},
        {"x/h080510.001", RecordingKind::None},
        {"x20261210.avi", RecordingKind::FrameList},
    };
    for (const auto& c : cases)
        EXPECT_EQ(RecordingLocator::Locate("/tmp/none", c.name).kind, c.kind) << c.name;
}

TEST(RecordingLocator, ClientAudioIsTheFirstFileThatExists)
{
    QTemporaryDir root;
    const QString day = root.filePath("20261210");
    const RecordingPaths p = RecordingLocator::Locate(day, "h080510.003");
    EXPECT_EQ(RecordingLocator::ChooseAudio(p, true).kind, AudioKind::None);
    const struct
    {
        const char* file;
        AudioKind kind;
    } order[] = {
        {"a3080510.003", AudioKind::ClientA3},    {"a2080510.003", AudioKind::ClientA2},
        {"a1080510.003", AudioKind::ClientA1},    {"a0080510.003", AudioKind::ClientA0},
        {"ah080510.000", AudioKind::ClientAh000}, {"ah080510.003", AudioKind::ClientAh},
    };
    for (const auto& o : order) {
        Touch(day + "/" + o.file);
        const AudioSource a = RecordingLocator::ChooseAudio(p, true);
        EXPECT_EQ(a.kind, o.kind) << o.file;
        EXPECT_EQ(a.path, day + "/" + o.file);
        EXPECT_EQ(a.startSecond, 8 * 3600 + 5 * 60 + 10);
    }
    EXPECT_EQ(RecordingLocator::ChooseAudio(p, false).kind, AudioKind::None);
}

TEST(RecordingLocator, MediaAudio)
{
    QTemporaryDir root;
    const QString day = root.filePath("20261210");
    RecordingPaths p = RecordingLocator::Locate(day, "intra_idx.002");
    EXPECT_EQ(RecordingLocator::ChooseAudio(p, false).kind, AudioKind::ChannelFiles);
    EXPECT_EQ(RecordingLocator::ChooseAudio(p, true).kind, AudioKind::None);
    Touch(day + "/intra_idx.000");
    AudioSource a = RecordingLocator::ChooseAudio(p, true);
    EXPECT_EQ(a.kind, AudioKind::MediaStream);
    EXPECT_EQ(a.path, root.filePath("stream/stream_000.001"));
    EXPECT_EQ(a.indexPath, day + "/intra_idx.000");
    Touch(root.filePath("stream/stream_000.000"));
    EXPECT_EQ(RecordingLocator::ChooseAudio(p, true).path, root.filePath("stream/stream_000.000"));
    p = RecordingLocator::Locate(day, "intra_idx.006");
    EXPECT_EQ(RecordingLocator::ChooseAudio(p, false).kind, AudioKind::None); // channels 1 to 4 only
}
