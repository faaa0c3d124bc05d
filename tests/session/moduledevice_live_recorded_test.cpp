// After login every permitted channel sends one picture and a channel that no cell shows is then
// stopped; a channel that is recorded live, or that a running event backup has asked for, keeps
// its live video, since the recording needs every frame.
#include <QJsonObject>

#include <functional>
#include <memory>

#include "common/support/decoder_streams.h"
#include "session/backuphosts.h"
#include "session/lastpictures.h"
#include "session/support/session_fixture.h"

namespace {

// An event backup that has asked for the live video of one channel.
class ArmedEventBackup : public EventBackupHost
{
public:
    bool IsBackupTime(int channel, int, int) const override { return running && channel == armed; }
    bool IsRunning() const override { return running; }
    bool NeedsLive(int channel) const override { return running && channel == armed; }
    void StopBackup() override { running = false; }
    void ShowWindow(const QString&) override {}

    bool running = false;
    int armed = -1;
};

class ArmedBackupFactory : public BackupHostFactory
{
public:
    ArmedBackupFactory()
        : m_previous(BackupHostFactory::Instance())
    {
        BackupHostFactory::Install(this);
    }
    ~ArmedBackupFactory() override { BackupHostFactory::Install(m_previous); }
    ArmedBackupFactory(const ArmedBackupFactory&) = delete;
    ArmedBackupFactory& operator=(const ArmedBackupFactory&) = delete;

    std::unique_ptr<EventBackupHost> CreateEventHost(RecorderSession&) override
    {
        auto host = std::make_unique<ArmedEventBackup>();
        made = host.get();
        return host;
    }
    std::unique_ptr<ScheduleBackupHost> CreateScheduleHost(RecorderSession&) override { return nullptr; }
    std::unique_ptr<RemoteCDBackupHost> CreateRemoteCDHost(RecorderSession&, bool) override { return nullptr; }

    ArmedEventBackup* made = nullptr;

private:
    BackupHostFactory* m_previous = nullptr;
};

// Lets a test act at the end of a login, before any live frame has been handled.
class LoginHookHub : public FakeSessionHub
{
public:
    void OnDeviceConnected(int index, int) override
    {
        if (onConnected)
            onConnected(index);
    }
    std::function<void(int)> onConnected;
};

using LiveRecordedTest = SessionTestOn<LoginHookHub>;

// The live stops the simulator received for a channel (16-bit mask at byte 12 of 0x04).
int StopsOf(SessionDvrSim& sim, int channel)
{
    int count = 0;
    for (const QJsonObject& m : sim.Messages(0x04)) {
        const QByteArray bytes = QByteArray::fromHex(m.value("hex").toString().toLatin1());
        if (bytes.size() >= 14 && (quint8(bytes.at(12)) | quint8(bytes.at(13)) << 8) == (1 << channel))
            ++count;
    }
    return count;
}

struct RecordedRow
{
    const char* what;
    std::function<void(CModuleDevice&, ArmedEventBackup&)> arm;
    std::function<bool(CModuleDevice&)> stillRecording;
};

} // namespace

TEST_F(LiveRecordedTest, AChannelThatIsRecordedKeepsItsLiveVideoWhenNoCellShowsIt)
{
    constexpr int kRecorded = 2;
    const RecordedRow rows[] = {
        {"event backup",
         [](CModuleDevice& device, ArmedEventBackup& backup) {
             backup.running = true;
             backup.armed = kRecorded;
             device.SetLiveWanted(kRecorded, true);
             device.OnLiveStart(2);
         },
         [](CModuleDevice& device) { return device.IsLiveWanted(kRecorded); }},
        {"live recording",
         [](CModuleDevice& device, ArmedEventBackup&) {
             device.ToggleRecord(kRecorded);
             device.OnLiveStart(0);
         },
         [](CModuleDevice& device) { return device.IsRecordMarked(kRecorded); }},
    };
    const decoder_streams::Stream& stream = decoder_streams::Make(352, 240, 30, 10);
    ASSERT_TRUE(stream.error.isEmpty()) << stream.error.toStdString();
    for (const RecordedRow& row : rows) {
        SCOPED_TRACE(row.what);
        ArmedBackupFactory factory;
        SessionDvrSim* sim = StartSim({"--channels", "4", "--video", stream.path});
        ASSERT_TRUE(sim);
        CModuleDevice* device = AddRecorder(QString::fromLatin1(row.what).remove(QLatin1Char(' ')), sim->Port());
        hub->onConnected = [&](int) {
            ASSERT_TRUE(factory.made);
            row.arm(*device, *factory.made);
        };
        ASSERT_TRUE(ConnectAndLogin(device, 0));
        hub->onConnected = nullptr;

        // The channel's first picture is stored; from then on an unshown channel would stop.
        ASSERT_TRUE(
            WaitFor([&] { return !LastPictures::IsPlaceholder(device->GetChannelImage(kRecorded)); }, 30000));
        const int afterPicture = device->GetLiveFigures(kRecorded).received;
        EXPECT_TRUE(
            WaitFor([&] { return device->GetLiveFigures(kRecorded).received >= afterPicture + 60; }, 30000))
            << "frames after the first picture: " << device->GetLiveFigures(kRecorded).received - afterPicture;
        EXPECT_EQ(StopsOf(*sim, kRecorded), 0);
        EXPECT_TRUE(row.stillRecording(*device));
        EXPECT_FALSE(device->IsLiveShown(kRecorded));

        // A channel nothing needs still stops after its first picture.
        EXPECT_TRUE(WaitFor([&] { return StopsOf(*sim, 0) == 1; }, 30000));
        EXPECT_FALSE(device->IsLiveWanted(0));
        DeleteRecorder(device);
    }
}
