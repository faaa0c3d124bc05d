// The event backup of a channel that no grid cell shows: after login each channel sends one
// picture and an unshown one is then stopped, but not a channel the running event backup has
// asked for; its event recording keeps growing.
#include <QDirIterator>
#include <QFileInfo>
#include <QJsonObject>
#include <QPushButton>

#include <functional>

#include <gtest/gtest.h>

#include "backup/ceventbackup.h"
#include "backup/cmodulebackupevent.h"
#include "backup/listmodel.h"
#include "backup/support/backup_fixture.h"
#include "session/lastpictures.h"
#include "session/recordersession.h"

namespace {

// Lets a test act at the end of a login, before any live frame has been handled.
class LoginHookHub : public BackupTestHub
{
public:
    void OnDeviceConnected(int index, int) override
    {
        if (onConnected)
            onConnected(index);
    }
    std::function<void(int)> onConnected;
};

class EventBackupUnshownTest : public BackupFixtureOn<LoginHookHub>
{
protected:
    // Size of the first event recording video file, 0 while there is none.
    qint64 EventVideoSize() const
    {
        QDirIterator it(ProgramPath(QStringLiteral("backup/EventData")), {QStringLiteral("h*.001")}, QDir::Files,
                        QDirIterator::Subdirectories);
        return it.hasNext() ? QFileInfo(it.next()).size() : 0;
    }
    // Live stops the simulator received for a channel (16-bit mask at byte 12 of 0x04).
    static int StopsOf(DvrSimProcess& sim, int channel)
    {
        int count = 0;
        for (const QJsonObject& m : sim.Messages(0x04)) {
            const QByteArray bytes = QByteArray::fromHex(m.value("hex").toString().toLatin1());
            if (bytes.size() >= 14 && (quint8(bytes.at(12)) | quint8(bytes.at(13)) << 8) == (1 << channel))
                ++count;
        }
        return count;
    }
};

TEST_F(EventBackupUnshownTest, ArmedChannelKeepsItsLiveVideoAndItsRecordingGrows)
{
    DvrSimProcess* sim = StartSim({"--channels", "2", "--motion", "1"});
    ASSERT_TRUE(sim);
    RecorderSession* gate = AddSimRecorder(QStringLiteral("gate"), sim->Port());
    CEventBackup* page = nullptr;
    hub->onConnected = [&](int) {
        auto* host = dynamic_cast<CModuleBackupEvent*>(gate->GetEventBackupHost());
        ASSERT_TRUE(host);
        page = host->Page();
        ASSERT_TRUE(page->IsRunning());
        page->Form().channelButtons[0]->setChecked(true);
        page->WeekAll();
        page->OnClickedAdd();
    };
    ASSERT_TRUE(Connect(gate, sim));
    hub->onConnected = nullptr;
    ASSERT_TRUE(page);
    ASSERT_EQ(page->Model()->rowCount(), 1);

    ASSERT_TRUE(WaitFor([&] { return !LastPictures::IsPlaceholder(gate->GetChannelImage(0)); }, 30000));
    const int afterPicture = gate->GetLiveFigures(0).received;
    EXPECT_TRUE(WaitFor([&] { return gate->GetLiveFigures(0).received >= afterPicture + 30; }, 30000))
        << "frames after the first picture: " << gate->GetLiveFigures(0).received - afterPicture;
    qint64 size = 0;
    ASSERT_TRUE(WaitFor([&] { return (size = EventVideoSize()) > 0; }, 30000));
    EXPECT_TRUE(WaitFor([&] { return EventVideoSize() > size; }, 30000)) << "the event recording goes on";
    EXPECT_EQ(StopsOf(*sim, 0), 0);
    EXPECT_EQ(page->Model()->Text(0, EventJobList::ColStatus), QStringLiteral("Downloading"));

    // The channel the backup did not ask for stops after its first picture.
    EXPECT_TRUE(WaitFor([&] { return StopsOf(*sim, 1) == 1; }, 30000));
}

} // namespace
