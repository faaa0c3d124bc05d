// The remote backup window in the main window, against the simulator: a recorder dropped from
// the site book, its calendar and day lists, the capacity estimate, and a download of two
// channels into the archive or a user folder, checked file by file.
#include <QCheckBox>
#include <QCoreApplication>
#include <QDataStream>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QJsonObject>
#include <QLabel>
#include <QMimeData>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QtEndian>

#include <gtest/gtest.h>

#include "backup/cbackupview.h"
#include "backup/cdirectbackup.h"
#include "backup/listmodel.h"
#include "common/support/fulldisk.h"
#include "session/recordersession.h"
#include "session/sitebook.h"
#include "shell/support/shell_backuphub.h"

namespace {

const QString kDay = QStringLiteral("20261207");

class DirectBackupTest : public BackupFixture
{
protected:
    // The recorder "gate" of a two-channel simulator that recorded 00:00:00 to 00:01:30 on the
    // 7th of December 2026, dropped on the remote backup window.
    CDirectBackup* OpenAndDrop(const QStringList& more = {})
    {
        sim = StartSim(QStringList{"--channels", "2", "--record-date", kDay, "--record-start", "000000",
                                   "--record-end", "000130"}
                       + more);
        if (!sim)
            return nullptr;
        gate = AddSimRecorder(QStringLiteral("gate"), sim->Port());
        hub->exeBackupView();
        CBackupView* view = hub->GetBackupView();
        EXPECT_TRUE(view && view->isVisible());
        if (!view)
            return nullptr;
        CDirectBackup* page = view->Page();
        SiteBook record = *RecordOf(gate);
        record.index = gate->GetDeviceIndex();
        QByteArray bytes;
        QDataStream out(&bytes, QIODevice::WriteOnly);
        out << record;
        QMimeData mime;
        mime.setData(QStringLiteral("application/x-qabstractitemmodeldatalist"), bytes);
        // As a drag from the site book arrives: entered, moved over, dropped.
        QDragEnterEvent enter(QPoint(400, 400), Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(page, &enter);
        EXPECT_TRUE(enter.isAccepted());
        QDragMoveEvent move(QPoint(400, 400), Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(page, &move);
        QDropEvent drop(QPointF(400, 400), Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(page, &drop);
        EXPECT_TRUE(drop.isAccepted());
        return page;
    }

    QPushButton* DayButton(CDirectBackup* page, int day)
    {
        for (int i = 0; i < 42; ++i) {
            if (page->DayButton(i)->text() == QString::number(day))
                return page->DayButton(i);
        }
        return nullptr;
    }

    bool DayEnabled(CDirectBackup* page, int day)
    {
        QPushButton* button = DayButton(page, day);
        return button && button->isEnabled();
    }

    // Loads the 7th, estimates 00:00 to 00:01 and checks both channel rows.
    bool LoadAndEstimate(CDirectBackup* page)
    {
        if (!WaitFor([&] { return DayEnabled(page, 7); }))
            return false;
        DayButton(page, 7)->click();
        if (!WaitFor([&] { return page->SpaceButton()->isEnabled(); }))
            return false;
        page->ChangeTimeSlider(0, 1);
        page->SpaceButton()->click();
        return WaitFor([&] { return page->Model()->rowCount() == 3 && page->StartButton()->isEnabled(); });
    }

    DvrSimProcess* sim = nullptr;
    RecorderSession* gate = nullptr;
};

quint32 U32(const QByteArray& bytes, int offset)
{
    return qFromLittleEndian<quint32>(reinterpret_cast<const uchar*>(bytes.constData()) + offset);
}

TEST_F(DirectBackupTest, DropShowsTheRecordedDaysAndTheDayGraph)
{
    CDirectBackup* page = OpenAndDrop();
    ASSERT_TRUE(page);
    ASSERT_TRUE(WaitFor([&] { return page->IsConnected() && DayEnabled(page, 7); }));
    EXPECT_EQ(page->MonthLabel()->text(), QStringLiteral("12 - 2026"));
    EXPECT_EQ(page->window()->windowTitle(), QStringLiteral("Remote Backup - gate"));
    EXPECT_FALSE(DayEnabled(page, 6));
    // 1 December 2026 is a Tuesday: the first day sits in the third column.
    EXPECT_EQ(page->DayButton(2)->text(), QStringLiteral("1"));
    EXPECT_TRUE(page->DayButton(1)->text().isEmpty());
    DayButton(page, 7)->click();
    ASSERT_TRUE(WaitFor([&] { return page->SpaceButton()->isEnabled(); }));
    const RecordMinuteMaps& maps = page->Maps();
    EXPECT_TRUE(maps.At(0, 0) & RecordMinuteMaps::kRecorded);
    EXPECT_TRUE(maps.At(1, 1) & RecordMinuteMaps::kRecorded);
    EXPECT_EQ(maps.At(0, 2), 0);
    EXPECT_EQ(maps.At(2, 0), 0);
    EXPECT_FALSE(page->Graph()->pixmap(Qt::ReturnByValue).isNull());
}

TEST_F(DirectBackupTest, EstimateListsPermittedChannelsAndAudio)
{
    CDirectBackup* page = OpenAndDrop();
    ASSERT_TRUE(page);
    ASSERT_TRUE(LoadAndEstimate(page));
    ListModel* model = page->Model();
    const QStringList first{"Ch - 01", "12/07/2026", "00:00:00", "00:01:00", "1 MB", "0.0 %", "wait"};
    const QStringList audio{"Audio", "12/07/2026", "00:00:00", "00:01:00", "0 MB", "-", "wait"};
    for (int c = 0; c < CDirectBackup::kColumns; ++c) {
        EXPECT_EQ(model->Text(0, c), first[c]) << c;
        EXPECT_EQ(model->Text(2, c), audio[c]) << c;
    }
    EXPECT_EQ(model->Text(1, 0), QStringLiteral("Ch - 02"));
    EXPECT_EQ(model->data(model->index(0, 0), Qt::CheckStateRole).toInt(), int(Qt::Unchecked));
    // The capacity request, byte for byte: length 28, 00 A1, command 0x49, total 32, then the
    // day and 00:00:00, the day and 00:01:00, every channel, no audio.
    const QList<QJsonObject> requests = sim->Messages(0x49);
    ASSERT_EQ(requests.size(), 1);
    EXPECT_EQ(requests[0].value("hex").toString(),
              QStringLiteral("0000001c00a149000020000057293501000000005729350164000000ffff0000"));
    // Clicking a channel's box shares the sound out among the checked channels.
    page->OnListClicked(model->index(0, 0));
    EXPECT_EQ(model->data(model->index(0, 0), Qt::CheckStateRole).toInt(), int(Qt::Checked));
    EXPECT_EQ(model->Text(2, CDirectBackup::ColSize), QStringLiteral("512 KB"));
    page->OnListClicked(model->index(0, 0));
    EXPECT_EQ(model->data(model->index(0, 0), Qt::CheckStateRole).toInt(), int(Qt::Unchecked));
}

TEST_F(DirectBackupTest, DownloadsCheckedChannelsIntoTheArchive)
{
    // The recorder's sound: 20,000 bytes it plays in a loop, 8,000 a second from the start of
    // the recording.
    QByteArray recorded(20000, '\0');
    for (int i = 0; i < recorded.size(); ++i)
        recorded[i] = char((i * 7 + i / 251) & 0xFF);
    const QString soundFile = programDir.Path() + QStringLiteral("/recorded.raw");
    QFile soundOut(soundFile);
    ASSERT_TRUE(soundOut.open(QIODevice::WriteOnly));
    soundOut.write(recorded);
    soundOut.close();
    CDirectBackup* page = OpenAndDrop({"--audio", soundFile});
    ASSERT_TRUE(page);
    ASSERT_TRUE(LoadAndEstimate(page));
    ListModel* model = page->Model();
    page->OnListClicked(model->index(0, 0));
    page->OnListClicked(model->index(1, 0));
    page->OnListClicked(model->index(2, 0));
    page->StartButton()->click();
    EXPECT_TRUE(page->IsRunning());
    ASSERT_TRUE(WaitFor([&] { return !page->IsRunning(); }, 60000));
    for (int row : {0, 1}) {
        EXPECT_EQ(model->Text(row, CDirectBackup::ColStatus), QStringLiteral("finish")) << row;
        EXPECT_EQ(model->Text(row, CDirectBackup::ColPercent), QStringLiteral("100.0 %")) << row;
    }
    EXPECT_EQ(model->Text(2, CDirectBackup::ColStatus), QStringLiteral("finish"));

    // The simulator was asked channel after channel from 00:00:00, at the backup rate.
    const QList<QJsonObject> plays = sim->Events(QStringLiteral("playback"));
    QList<int> started;
    for (const QJsonObject& p : plays) {
        if (p.value("a").toInt() == 2) {
            EXPECT_EQ(p.value("mode").toInt(), 16);
            EXPECT_EQ(p.value("date").toInt(), 20261207);
            EXPECT_EQ(p.value("time").toInt(), 0);
            EXPECT_EQ(p.value("rate").toInt(), 1);
            EXPECT_EQ(p.value("audio").toInt(), p.value("mask").toInt()); // the channel number from 1
            started << p.value("mask").toInt();
        }
    }
    EXPECT_EQ(started, QList<int>({1, 2}));
    EXPECT_FALSE(sim->Events(QStringLiteral("playback-rate")).isEmpty());
    EXPECT_EQ(sim->Events(QStringLiteral("playback-rate")).first().value("value").toInt(), 120);

    const QString day = ProgramPath(QStringLiteral("backup/BackupData/gate/") + kDay + QLatin1Char('/'));
    for (int channel : {1, 2}) {
        const QString suffix = QString::asprintf(".%03d", channel);
        QFile index(day + QStringLiteral("ih000000") + suffix);
        ASSERT_TRUE(index.open(QIODevice::ReadOnly)) << index.fileName().toStdString();
        const QByteArray entries = index.readAll();
        // A 512-byte header, then one 16-byte entry per second at 512 + 16 x second, for the
        // seconds 00:00:00 to 00:01:00.
        ASSERT_EQ(entries.size(), 512 + 16 * 61) << channel;
        for (int s = 0; s <= 60; ++s) {
            const int at = 512 + 16 * s;
            EXPECT_EQ(U32(entries, at + 12) & 0x80000000u, 0x80000000u) << "second " << s;
            EXPECT_EQ(U32(entries, at + 8), U32(entries, at)) << "second " << s;
        }
        // The first second's frames lie before its block of frame headers: a stream that
        // ffprobe reads as the footage.
        QFile video(day + QStringLiteral("h000000") + suffix);
        ASSERT_TRUE(video.open(QIODevice::ReadOnly));
        const QByteArray frames = video.read(qint64(U32(entries, 512)));
        const QString payload = programDir.Path() + QStringLiteral("/payload") + suffix + QStringLiteral(".264");
        QFile out(payload);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(frames);
        out.close();
        const QStringList probe = ProbeStream(payload);
        EXPECT_TRUE(probe.contains(QStringLiteral("codec_name=h264"))) << probe.join(' ').toStdString();
        EXPECT_TRUE(probe.contains(QStringLiteral("width=160"))) << probe.join(' ').toStdString();
    }
    // The sound of the download, second after second from 00:00:00: every byte the recorder
    // sent behind the 24-byte head of its blocks, shifted by 0x80, none lost.
    QFile sound(day + QStringLiteral("a0000000.001"));
    ASSERT_TRUE(sound.open(QIODevice::ReadOnly));
    const QByteArray archived = sound.readAll();
    EXPECT_GE(archived.size(), 8000);
    EXPECT_EQ(archived.size() % 800, 0);
    int differing = 0;
    for (int i = 0; i < archived.size(); ++i)
        differing += archived[i] != char(quint8(recorded[i % recorded.size()]) - 0x80) ? 1 : 0;
    EXPECT_EQ(differing, 0) << "of " << archived.size() << " bytes";
    // An archive backup carries no player.
    EXPECT_FALSE(QFileInfo::exists(ProgramPath(QStringLiteral("backup/BackupData/lib"))));
}

// The disk fills up while the first channel downloads: the download stops at the first failed
// write, no row says "finish", and the user is told which recorder, which file and why.
TEST_F(DirectBackupTest, FullDiskStopsTheDownloadAndSaysWhichFile)
{
    CDirectBackup* page = OpenAndDrop();
    ASSERT_TRUE(page);
    ASSERT_TRUE(LoadAndEstimate(page));
    ListModel* model = page->Model();
    page->OnListClicked(model->index(0, 0));
    page->OnListClicked(model->index(1, 0));
    hub->boxCalls.clear();
    page->StartButton()->click();
    const QString video = ProgramPath(QStringLiteral("backup/BackupData/gate/") + kDay
                                      + QStringLiteral("/h000000.001"));
    ASSERT_TRUE(WaitFor([&] {
        return QFileInfo(video).size() > 0
               && model->Text(0, CDirectBackup::ColStatus) == QStringLiteral("downloading");
    }));
    ASSERT_TRUE(recordtest::MakeDiskFull(video));
    ASSERT_TRUE(WaitFor([&] { return !page->IsRunning(); }, 60000));
    EXPECT_EQ(model->Text(0, CDirectBackup::ColStatus), QStringLiteral("disk full"));
    EXPECT_NE(model->Text(0, CDirectBackup::ColPercent), QStringLiteral("100.0 %"));
    EXPECT_EQ(model->Text(1, CDirectBackup::ColStatus), QStringLiteral("stop"));
    for (int row = 0; row < model->rowCount(); ++row)
        EXPECT_NE(model->Text(row, CDirectBackup::ColStatus), QStringLiteral("finish")) << row;
    // The second channel was never asked for.
    for (const QJsonObject& p : sim->Events(QStringLiteral("playback")))
        EXPECT_NE(p.value("mask").toInt(), 2);
    QString told;
    for (const QString& call : hub->boxCalls) {
        if (call.contains(QStringLiteral("disk is full")))
            told = call;
    }
    EXPECT_TRUE(told.contains(QStringLiteral("gate"))) << hub->boxCalls.join(' ').toStdString();
    EXPECT_TRUE(told.contains(QDir::toNativeSeparators(video))) << told.toStdString();
    EXPECT_TRUE(told.endsWith(QStringLiteral("|stop"))) << told.toStdString();
}

// Start with no channel ticked (or only the sound) starts nothing and says what to tick.
TEST_F(DirectBackupTest, StartWithoutAChannelSaysWhatToTick)
{
    CDirectBackup* page = OpenAndDrop();
    ASSERT_TRUE(page);
    ASSERT_TRUE(LoadAndEstimate(page));
    const QString told = QStringLiteral("Remote Backup|Tick at least one channel to back up.|stop");
    for (bool audio : {false, true}) {
        if (audio)
            page->OnListClicked(page->Model()->index(2, 0));
        hub->boxCalls.clear();
        const int plays = sim->Events(QStringLiteral("playback")).size();
        page->StartButton()->click();
        EXPECT_FALSE(page->IsRunning()) << audio;
        EXPECT_EQ(hub->boxCalls, QStringList({told})) << audio;
        EXPECT_EQ(page->StartButton()->text(), QStringLiteral("Start"));
        QTest::qWait(200);
        EXPECT_EQ(sim->Events(QStringLiteral("playback")).size(), plays) << audio;
    }
}

TEST_F(DirectBackupTest, UserFolderGetsTheDataAndThePlayer)
{
    QTemporaryDir userFolder;
    ASSERT_TRUE(userFolder.isValid());
    // A stand-in player program in the program directory.
    QFile player(ProgramPath(QStringLiteral("orvane")));
    ASSERT_TRUE(player.open(QIODevice::WriteOnly));
    player.write("#!/bin/sh\nexit 0\n");
    player.close();
    player.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    CDirectBackup* page = OpenAndDrop();
    ASSERT_TRUE(page);
    page->SetUserFolder(userFolder.path());
    EXPECT_FALSE(page->ArchiveBox()->isChecked());
    EXPECT_TRUE(page->ArchiveBox()->isEnabled());
    ASSERT_TRUE(LoadAndEstimate(page));
    page->OnListClicked(page->Model()->index(1, 0));
    page->StartButton()->click();
    ASSERT_TRUE(WaitFor([&] { return !page->IsRunning(); }, 60000));
    EXPECT_EQ(page->Model()->Text(1, CDirectBackup::ColStatus), QStringLiteral("finish"));
    const QString data = userFolder.path() + QStringLiteral("/backup/gate/") + kDay;
    EXPECT_TRUE(QFileInfo::exists(data + QStringLiteral("/h000000.002")));
    EXPECT_TRUE(QFileInfo::exists(data + QStringLiteral("/ih000000.002")));
    EXPECT_FALSE(QFileInfo::exists(data + QStringLiteral("/h000000.001")));
    const QFileInfo copied(userFolder.path() + QStringLiteral("/orvane"));
    EXPECT_TRUE(copied.exists());
    EXPECT_TRUE(copied.isExecutable());
    EXPECT_TRUE(QFileInfo(userFolder.path() + QStringLiteral("/lib")).isDir());
    EXPECT_FALSE(QFileInfo::exists(ProgramPath(QStringLiteral("backup/BackupData/gate"))));
    // A double click on the finished row names the file written for the player.
    page->OnListDbClicked(page->Model()->index(1, CDirectBackup::ColDate));
    EXPECT_EQ(page->PendingPlayerCommand(), data + QStringLiteral("/h000000.002"));
    // An empty folder name brings the archive back.
    page->SetUserFolder(QString());
    EXPECT_TRUE(page->ArchiveBox()->isChecked());
    EXPECT_FALSE(page->ArchiveBox()->isEnabled());
}

TEST_F(DirectBackupTest, DroppingTheSameRecorderAgainDoesNothing)
{
    CDirectBackup* page = OpenAndDrop();
    ASSERT_TRUE(page);
    ASSERT_TRUE(WaitFor([&] { return page->IsConnected() && DayEnabled(page, 7); }));
    const int logins = sim->Events(QStringLiteral("login")).size();
    SiteBook record = *RecordOf(gate);
    record.index = gate->GetDeviceIndex();
    page->DropRecord(record);
    QTest::qWait(300);
    EXPECT_EQ(sim->Events(QStringLiteral("login")).size(), logins);
    EXPECT_TRUE(page->IsConnected());
    // A folder or an unregistered recorder is refused as well.
    record.kind = QStringLiteral("folder");
    page->DropRecord(record);
    record.kind = QStringLiteral("device");
    record.index = 9000;
    page->DropRecord(record);
    QTest::qWait(300);
    EXPECT_TRUE(page->IsConnected());
    EXPECT_EQ(page->GetDeviceIndex(), gate->GetDeviceIndex());
}

// Closing the window during a download hides it and the download goes on; reopening shows it.
TEST_F(DirectBackupTest, CloseWhileRunningHidesAndIdleCloseDisconnects)
{
    CDirectBackup* page = OpenAndDrop();
    ASSERT_TRUE(page);
    ASSERT_TRUE(LoadAndEstimate(page));
    page->OnListClicked(page->Model()->index(0, 0));
    page->StartButton()->click();
    ASSERT_TRUE(page->IsRunning());
    CBackupView* view = hub->GetBackupView();
    view->close();
    EXPECT_FALSE(view->isVisible());
    EXPECT_TRUE(page->IsRunning());
    hub->exeBackupView();
    EXPECT_TRUE(view->isVisible());
    EXPECT_EQ(hub->GetBackupView(), view);
    ASSERT_TRUE(WaitFor([&] { return !page->IsRunning(); }, 60000));
    EXPECT_EQ(page->Model()->Text(0, CDirectBackup::ColStatus), QStringLiteral("finish"));
    hub->closeBackupView();
    EXPECT_FALSE(page->IsConnected());
    ASSERT_TRUE(WaitFor([&] { return !sim->Events(QStringLiteral("disconnect")).isEmpty(); }));
}

} // namespace

namespace {

// A recorder that goes away while the page is connected: the page reports it, lets its
// connection go once control is back in the event loop, and takes the next drop.
TEST_F(DirectBackupTest, LostRecorderFreesTheConnectionAndTheNextDropWorks)
{
    CDirectBackup* page = OpenAndDrop();
    ASSERT_TRUE(page);
    ASSERT_TRUE(WaitFor([&] { return page->IsConnected() && DayEnabled(page, 7); }));
    QPointer<CModuleNetwork> network = page->GetNetwork();
    ASSERT_TRUE(network);
    hub->boxCalls.clear();
    sims.clear(); // the simulator ends: the connection drops
    ASSERT_TRUE(WaitFor([&] { return !page->IsConnected() && network.isNull(); }));
    EXPECT_TRUE(hub->boxCalls.contains(QStringLiteral("Backup Viewer|Loading fail|")))
        << hub->boxCalls.join(' ').toStdString();
    EXPECT_TRUE(hub->boxCalls.contains(QStringLiteral("||stop")));
    EXPECT_EQ(page->GetDeviceIndex(), -1);
    EXPECT_FALSE(DayEnabled(page, 7));

    DvrSimProcess* second = StartSim({"--channels", "1", "--record-date", kDay});
    ASSERT_TRUE(second);
    RecorderSession* other = AddSimRecorder(QStringLiteral("yard"), second->Port());
    SiteBook record = *RecordOf(other);
    record.index = other->GetDeviceIndex();
    page->DropRecord(record);
    ASSERT_TRUE(WaitFor([&] { return page->IsConnected() && DayEnabled(page, 7); }));
    EXPECT_EQ(page->window()->windowTitle(), QStringLiteral("Remote Backup - yard"));
}

// The page's own disconnects (closing the window, dropping another recorder) are nobody's
// loss: no "Loading fail" for them.
TEST_F(DirectBackupTest, OwnDisconnectIsNotReportedAsAFailure)
{
    CDirectBackup* page = OpenAndDrop();
    ASSERT_TRUE(page);
    ASSERT_TRUE(WaitFor([&] { return page->IsConnected() && DayEnabled(page, 7); }));
    DvrSimProcess* second = StartSim({"--channels", "1", "--record-date", kDay});
    ASSERT_TRUE(second);
    RecorderSession* other = AddSimRecorder(QStringLiteral("yard"), second->Port());
    hub->boxCalls.clear();
    SiteBook record = *RecordOf(other);
    record.index = other->GetDeviceIndex();
    page->DropRecord(record);
    ASSERT_TRUE(WaitFor([&] { return !sim->Events(QStringLiteral("disconnect")).isEmpty(); }));
    ASSERT_TRUE(WaitFor([&] { return page->IsConnected() && DayEnabled(page, 7); }));
    EXPECT_EQ(page->window()->windowTitle(), QStringLiteral("Remote Backup - yard"));

    QPointer<CModuleNetwork> network = page->GetNetwork();
    hub->closeBackupView();
    ASSERT_TRUE(WaitFor([&] { return !second->Events(QStringLiteral("disconnect")).isEmpty(); }));
    ASSERT_TRUE(WaitFor([&] { return network.isNull(); }));
    for (const QString& call : hub->boxCalls)
        EXPECT_FALSE(call.contains(QStringLiteral("Loading fail"))) << call.toStdString();
}

// Destroying the window only lets the hub forget it; a new one can be opened.
TEST_F(DirectBackupTest, DestroyedWindowIsForgottenByTheHub)
{
    hub->exeBackupView();
    QPointer<CBackupView> view = hub->GetBackupView();
    ASSERT_TRUE(view);
    delete view.data();
    EXPECT_EQ(hub->GetBackupView(), nullptr);
    hub->exeBackupView();
    ASSERT_TRUE(hub->GetBackupView());
    EXPECT_TRUE(hub->GetBackupView()->isVisible());
    EXPECT_EQ(hub->GetBackupView()->windowTitle(), QStringLiteral("Remote Backup"));
}

} // namespace

namespace {

// Audio blocks too short for their header or larger than the frame buffer are dropped.
TEST(DirectBackupAudio, BlockSizesOutsideTheBufferAreDropped)
{
    const struct
    {
        int size, length;
    } cases[] = {{-1, -1},
                 {0, -1},
                 {23, -1},
                 {24, 0},
                 {800, 776},
                 {CDirectBackup::kFrameBufferSize, CDirectBackup::kFrameBufferSize - 24},
                 {CDirectBackup::kFrameBufferSize + 1, -1}};
    for (const auto& c : cases)
        EXPECT_EQ(CDirectBackup::AudioPayloadLength(c.size), c.length) << c.size;
}

} // namespace

namespace {

TEST(DirectBackupSequence, CountsToOneHundredThenStartsAtZero)
{
    const struct
    {
        int from, next;
    } cases[] = {{0, 1}, {1, 2}, {99, 100}, {100, 0}};
    for (const auto& c : cases)
        EXPECT_EQ(CDirectBackup::NextSequence(c.from), c.next) << c.from;
}

} // namespace
