// The whole round trip of a live recording: a simulated recorder sends its live video in each
// of its stream forms, the client's session records it into its live recording folder, and the
// real backup player program, started on the recorded file as a user starts it, shows a picture
// of it: the picture's size and mean colour are those of one of ffmpeg's pictures of the
// source. A recording the player cannot decode shows nothing and fails here.
#include <QFile>
#include <QTemporaryDir>

#include "common/support/decoder_streams.h"
#include "common/support/record_reader.h"
#include "player/support/orvaneprogram.h"
#include "session/support/session_fixture.h"

using namespace orvane_program;

namespace {

constexpr int kFrames = 30;
constexpr int kRate = 10;
constexpr int kWidth = 352;
constexpr int kHeight = 240;
// Mean colour values a shown picture may differ by from ffmpeg's: the player's own scaler.
constexpr int kMeanTolerance = 6;

struct FormCase
{
    const char* name;
    QStringList options; // the simulator's stream form and model
    bool numbered;       // the source numbered as recorders of the first stream kind number it
    bool wrapped;        // what the recorded frames must look like
};

void PrintTo(const FormCase& c, std::ostream* os)
{
    *os << c.name;
}

// The first recorded frame once the recording holds `seconds` seconds with entries.
QByteArray FirstRecordedFrame(const QString& index, const QString& video, int seconds)
{
    recordtest::RecordReader reader;
    if (!reader.Open(index, video))
        return {};
    QByteArray first;
    int found = 0;
    for (int s = 0; s < 86400; ++s) {
        const recordtest::IndexEntry e = reader.Entry(s);
        if (!e.present || e.empty)
            continue;
        if (first.isEmpty()) {
            const auto block = reader.Block(e.offset);
            if (!block.isEmpty())
                first = reader.FrameData(block.first());
        }
        ++found;
    }
    return found >= seconds ? first : QByteArray();
}

Colour MeanOf(const QByteArray& rgb, int at, int pixels)
{
    qint64 sum[3] = {0, 0, 0};
    for (int p = 0; p < pixels; ++p)
        for (int c = 0; c < 3; ++c)
            sum[c] += quint8(rgb.at(at + 3 * p + c));
    return {int(sum[0] / pixels), int(sum[1] / pixels), int(sum[2] / pixels)};
}

// How far the shown mean is from the nearest of the source's pictures.
int NearestMean(const Shown& shown, const QByteArray& referenceRgb)
{
    const int pixels = kWidth * kHeight;
    int best = 256;
    for (int at = 0; at + 3 * pixels <= referenceRgb.size(); at += 3 * pixels) {
        const Colour ref = MeanOf(referenceRgb, at, pixels);
        int worst = 0;
        for (int c = 0; c < 3; ++c)
            worst = std::max(worst, std::abs(ref[c] - shown.mean[c]));
        best = std::min(best, worst);
    }
    return best;
}

class LiveRecordingPlayerTest : public SessionTest, public ::testing::WithParamInterface<FormCase>
{};

} // namespace

TEST_P(LiveRecordingPlayerTest, TheBackupPlayerShowsTheClientsLiveRecording)
{
    const FormCase& c = GetParam();
    ASSERT_TRUE(QFile::exists(Program())) << "orvane is not built";
    const decoder_streams::Stream& stream = decoder_streams::Make(kWidth, kHeight, kFrames, kRate, true);
    ASSERT_TRUE(stream.error.isEmpty()) << stream.error.toStdString();
    const QList<QByteArray> units = c.numbered ? decoder_streams::Renumber(
                                        stream.frames, decoder_streams::Numbering::FrameNum4Poc5)
                                               : stream.frames;
    ASSERT_EQ(units.size(), kFrames);
    const QString source = decoder_streams::FixtureFolder() + "/roundtrip_" + c.name + ".264";
    {
        QFile f(source);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        for (const QByteArray& unit : units)
            f.write(unit);
    }

    SessionDvrSim* sim = StartSim(QStringList{"--channels", "1", "--video", source} + c.options);
    ASSERT_TRUE(sim);
    CModuleDevice* device = AddRecorder(QStringLiteral("roundtrip"), sim->Port());
    ASSERT_TRUE(ConnectAndLogin(device, 0));
    device->SetLiveWanted(0, true);
    ASSERT_TRUE(device->OnLiveStart(0));
    device->ToggleRecord(0);
    ASSERT_TRUE(device->IsRecordMarked(0));

    const QString folder = ProgramDir() + "/backup/Record_Live/roundtrip";
    QString index;
    QString video;
    QByteArray first;
    ASSERT_TRUE(WaitFor(
        [&] {
            index = recordtest::FindFile(folder, "^ih\\d{6}\\.001$");
            video = recordtest::FindFile(folder, "^h\\d{6}\\.001$");
            if (index.isEmpty() || video.isEmpty())
                return false;
            first = FirstRecordedFrame(index, video, 2);
            return !first.isEmpty();
        },
        60000));
    device->ToggleRecord(0);
    // The recording keeps the frames as the recorder sent them.
    EXPECT_EQ(first.startsWith(QByteArray::fromHex("00000106")), c.wrapped) << first.left(8).toHex().toStdString();

    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    OwnProcess player;
    player.process.setProcessEnvironment(Environment(home.path()));
    player.process.setProcessChannelMode(QProcess::MergedChannels);
    player.process.start(Program(), {video});
    ASSERT_TRUE(player.process.waitForStarted(30000));
    QString log;
    QList<Shown> shown;
    const bool opened = WaitFor(
        [&] {
            log += QString::fromUtf8(player.process.readAll());
            shown = ShownForRecording(log, video);
            return !shown.isEmpty();
        },
        60000);
    ASSERT_TRUE(opened) << "the player showed no picture of " << video.toStdString() << "\n" << log.toStdString();
    for (const Shown& s : shown) {
        EXPECT_EQ(s.width, kWidth);
        EXPECT_EQ(s.height, kHeight);
        EXPECT_LE(NearestMean(s, stream.referenceRgb), kMeanTolerance)
            << "mean " << s.mean[0] << "," << s.mean[1] << "," << s.mean[2];
    }
}

INSTANTIATE_TEST_SUITE_P(
    StreamForms, LiveRecordingPlayerTest,
    ::testing::Values(
        // The default model is of the first stream kind: a source numbered as it numbers its
        // frames goes out wrapped, any other plain.
        FormCase{"autoWrapped", {"--stream-form", "auto"}, true, true},
        FormCase{"autoPlain", {"--stream-form", "auto"}, false, false},
        // A model of a later stream kind (feature bit 20) sends plain frames.
        FormCase{"autoLaterKind", {"--stream-form", "auto", "--features", "0x100000"}, false, false},
        FormCase{"plain", {"--stream-form", "plain"}, false, false},
        FormCase{"plainNumbered", {"--stream-form", "plain"}, true, false},
        FormCase{"wrapped", {"--stream-form", "wrapped"}, true, true}),
    [](const ::testing::TestParamInfo<FormCase>& info) { return std::string(info.param.name); });
