// A recorder of the first stream kind sends each frame in its frame wrapper, numbered with a
// 4-bit frame_num and a 5-bit picture order count. The live recording stores those frames as
// received, so the backup player plays them as the recorder sent them: here the
// recorded frames are checked for the wrapper and their H.264 data, decoded by ffmpeg, must
// give the source's pictures.
#include <QDir>
#include <QFile>

#include "common/support/decoder_streams.h"
#include "common/support/record_reader.h"
#include "session/lastpictures.h"
#include "session/support/session_fixture.h"

namespace {

using WrappedLiveTest = SessionTest;

// The recorded frames of the channel, in file order, once at least `count` are indexed.
QList<QByteArray> RecordedFrames(const QString& folder, int count)
{
    const QString index = recordtest::FindFile(folder, "^ih\\d{6}\\.001$");
    const QString video = recordtest::FindFile(folder, "^h\\d{6}\\.001$");
    recordtest::RecordReader reader;
    if (index.isEmpty() || video.isEmpty() || !reader.Open(index, video))
        return {};
    QList<QByteArray> frames;
    for (int s = 0; s < 86400 && frames.size() < count; ++s) {
        const recordtest::IndexEntry e = reader.Entry(s);
        if (!e.present || e.empty)
            continue;
        for (const recordtest::FrameHeader& h : reader.Block(e.offset))
            frames.append(reader.FrameData(h));
    }
    return frames.size() >= count ? frames : QList<QByteArray>();
}

} // namespace

TEST_F(WrappedLiveTest, ALiveRecordingOfWrappedFramesHoldsTheSourcePictures)
{
    constexpr int kFrames = 30;
    const decoder_streams::Stream& stream = decoder_streams::Make(352, 240, kFrames, 10, true);
    ASSERT_TRUE(stream.error.isEmpty()) << stream.error.toStdString();
    const QList<QByteArray> numbered = decoder_streams::Renumber(stream.frames,
                                                                 decoder_streams::Numbering::FrameNum4Poc5);
    ASSERT_EQ(numbered.size(), kFrames);
    const QString source = decoder_streams::FixtureFolder() + "/wrapped_live_source.264";
    {
        QFile f(source);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        for (const QByteArray& unit : numbered)
            f.write(unit);
    }

    // The default model (0x11) is of the first stream kind.
    SessionDvrSim* sim = StartSim({"--channels", "1", "--video", source});
    ASSERT_TRUE(sim);
    CModuleDevice* device = AddRecorder("wrapped", sim->Port());
    ASSERT_TRUE(ConnectAndLogin(device, 0));
    device->SetLiveWanted(0, true);
    ASSERT_TRUE(device->OnLiveStart(0));
    device->ToggleRecord(0);
    ASSERT_TRUE(device->IsRecordMarked(0));
    const QString folder = ProgramDir() + "/backup/Record_Live/wrapped";

    constexpr int kRecorded = 2 * kFrames;
    QList<QByteArray> frames;
    ASSERT_TRUE(WaitFor([&] { return !(frames = RecordedFrames(folder, kRecorded)).isEmpty(); }, 60000));
    device->ToggleRecord(0);
    // The session's own decoder shows the wrapped stream too.
    EXPECT_TRUE(WaitFor([&] { return !LastPictures::IsPlaceholder(device->GetChannelImage(0)); }, 30000));

    // Every stored frame is a whole wrapped frame: 00 00 01 06, the 8-byte-unit form, and a
    // stated length (bytes 9..11 without the top bit, times 8) that the stored size holds.
    QByteArray annexB;
    for (int i = 0; i < kRecorded; ++i) {
        const QByteArray& f = frames[i];
        ASSERT_GE(f.size(), 24) << i;
        EXPECT_EQ(f.left(4), QByteArray::fromHex("00000106")) << i;
        EXPECT_EQ(quint8(f[4]), 0x90) << i;
        const int stated = ((quint8(f[9]) & 0x7F) << 16 | quint8(f[10]) << 8 | quint8(f[11])) * 8;
        ASSERT_LE(stated, f.size()) << i;
        ASSERT_EQ(quint8(f[20]), 0) << i; // H.264 data from byte 20
        // The player renumbers the slice whose start code fills one of the words 5..14.
        int sliceWord = -1;
        for (int w = 5; w <= 14 && sliceWord < 0 && (w + 2) * 4 <= f.size(); ++w) {
            const QByteArray word = f.mid(w * 4, 4);
            if (word == QByteArray::fromHex("00000165") || word == QByteArray::fromHex("00000141"))
                sliceWord = w;
        }
        EXPECT_GE(sliceWord, 5) << "frame " << i;
        annexB.append(f.mid(20, stated - 20));
    }
    const QString recorded = decoder_streams::FixtureFolder() + "/wrapped_live_recorded.264";
    const QString decoded = decoder_streams::FixtureFolder() + "/wrapped_live_recorded.rgb";
    {
        QFile f(recorded);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(annexB);
    }
    const QString error = decoder_streams::RunFfmpeg({"-y", "-loglevel", "error", "-err_detect", "explode", "-f",
                                                      "h264", "-i", recorded, "-pix_fmt", "rgb24", "-sws_flags",
                                                      "fast_bilinear", "-f", "rawvideo", decoded});
    ASSERT_TRUE(error.isEmpty()) << error.toStdString();
    QFile rgb(decoded);
    ASSERT_TRUE(rgb.open(QIODevice::ReadOnly));
    const QByteArray pictures = rgb.readAll();
    const int pictureSize = 352 * 240 * 3;
    ASSERT_EQ(pictures.size(), kRecorded * pictureSize);
    ASSERT_EQ(stream.referenceRgb.size(), kFrames * pictureSize);

    // The recording begins at a key frame of the looped source; from there every picture is
    // the source's next one.
    int first = -1;
    for (int k = 0; k < kFrames; k += 10)
        if (stream.referenceRgb.mid(k * pictureSize, pictureSize) == pictures.left(pictureSize))
            first = k;
    ASSERT_GE(first, 0);
    for (int i = 0; i < kRecorded; ++i)
        EXPECT_TRUE(pictures.mid(i * pictureSize, pictureSize)
                    == stream.referenceRgb.mid(((first + i) % kFrames) * pictureSize, pictureSize))
            << "picture " << i;
}
