// The calendar search and the live audio panel against a recorder client whose stream is a fake:
// the requests they send are read back from it and the recorder's replies written by hand.
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QSlider>
#include <QtEndian>

#include <gtest/gtest.h>

#include "playback/hpnetserver.h"
#include "playback/hpnetwork.h"
#include "playback/hubhost.h"
#include "support/viewerhome.h"
#include <QSignalSpy>
#include <QTemporaryDir>

#include "ui/cdlgaudio.h"
#include "ui/cmsgdlg.h"
#include "ui/csearchevent.h"
#include "ui/csearchmulti.h"
#include "ui/csearchtime.h"
#include "ui/cskinbutton.h"
#include "ui/cviewerdlg.h"
#include "ui/hpimagemanager.h"
#include "ui/searchcalendarpanel.h"
#include "ui/searchdialoghost.h"
#include "ui/searchviewface.h"
#include "ui/skinbitmaps.h"

namespace {

// With ZENT_SHOW_DIR set (a run under a real display), the dialogs' pictures are kept there.
void Show(QWidget& widget, const char* name)
{
    const QByteArray folder = qgetenv("ZENT_SHOW_DIR");
    if (!folder.isEmpty())
        widget.grab().save(QString::fromLocal8Bit(folder) + "/" + name + ".png");
}

QByteArray Hex(const char* text)
{
    return QByteArray::fromHex(text);
}

struct QuietHub : HubHost
{
    QVector<QByteArray> searchReplies;
    void RedrawAllTiles() override {}
    void ClearTilesOf(int, const QVector<int>&) override {}
    void ToTilePlayer(int, const QByteArray&) override {}
    void ToSearchDialog(const QByteArray& reply) override { searchReplies.append(reply); }
    void CamerasCreated(int) override {}
};

struct Wire : SocketEngine::PeerSocket
{
    explicit Wire(QVector<QByteArray>& sent)
        : sent(sent)
    {}
    bool Writable() override { return true; }
    qint64 Write(const QByteArray& bytes) override
    {
        sent.append(bytes);
        return bytes.size();
    }
    QVector<QByteArray>& sent;
};

struct FakeSearchHost : SearchDialogHost
{
    explicit FakeSearchHost(HPNetwork& hub)
        : hub(hub)
    {}
    HPNetServer* SearchRecorder() override { return hub.ServerAt(0); }
    quint32 NextRequestId() override { return ++requestId; }
    void ShowSearchWaitBox(int steps, const char* key) override { boxes.append({steps, key}); }
    void StepSearchWaitBox() override { ++steps; }
    QString Text(const char* key) const override { return QString::fromLatin1(key); }
    void SetTimeBarCell(int row, int cell, int value) override
    {
        if (value != 0)
            timeBarCells.append({row, cell});
    }
    void PlayRecorderDay(HPNetServer& recorder, const QString& day, int position, const QString& timeText) override
    {
        played = QStringLiteral("%1 %2 %3 %4").arg(recorder.RecorderId()).arg(day).arg(position).arg(timeText);
    }

    HPNetwork& hub;
    quint32 requestId = 40;
    QVector<QPair<int, QString>> boxes;
    int steps = 0;
    QVector<QPair<int, int>> timeBarCells;
    QString played;
};

// A search reply: stream header, command 32, marker 99, 24-bit length, request id, type, total,
// part, data.
QByteArray Reply(quint32 id, quint32 type, quint32 total, int part, const QByteArray& data)
{
    QByteArray reply = Hex("00000000 00a1 20 00 63");
    const int length = 28 + data.size();
    reply += char(length & 0xFF);
    reply += char((length >> 8) & 0xFF);
    reply += char((length >> 16) & 0xFF);
    for (quint32 value : {id, type, total, quint32(part)})
        for (int i = 0; i < 4; ++i)
            reply += char((value >> (8 * i)) & 0xFF);
    return reply + data;
}

class RecorderSearchTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        hub.Init();
        recorder = hub.AddServer(7, QStringLiteral("Warehouse"));
        recorder->Attach(hub.Engine().AddPeer(std::make_unique<Wire>(sent)));
    }
    // The recorder answers the pending query in four parts.
    void Answer(CSearchMulti& dialog, quint32 type, const QByteArray& data)
    {
        const quint32 id = host.requestId;
        const int quarter = (data.size() + 3) / 4;
        for (int part = 0; part < 4; ++part)
            dialog.OnRecvSearchData(
                Reply(id, type, quint32(data.size()), part, data.mid(part * quarter, quarter)));
    }

    QVector<QByteArray> sent;
    QuietHub quiet;
    HPNetwork hub{quiet};
    HPNetServer* recorder = nullptr;
    FakeSearchHost host{hub};
    HPImageManager images;
};

TEST_F(RecorderSearchTest, WithoutARecorderTheCalendarSearchStaysClosed)
{
    HPNetwork empty(quiet);
    FakeSearchHost none(empty);
    CSearchMulti dialog(none, images, QString());
    EXPECT_FALSE(dialog.OpenSearch());
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_TRUE(none.boxes.isEmpty());
}

TEST_F(RecorderSearchTest, ADayIsSearchedThroughTheWholeQueryChainAndPlayed)
{
    CSearchMulti dialog(host, images, QString());
    ASSERT_TRUE(dialog.OpenSearch());
    ASSERT_EQ(sent.size(), 4);
    // Day list query, part 0: kind 9, request id 41, tile 99, no time.
    EXPECT_EQ(
        sent[0].toHex(),
        Hex("00000020 00a1 20 00 09 240000 29000000 00 63 01 00 00000000 00000000 00000000 00000000").toHex());
    EXPECT_EQ(quint8(sent[3][16]), 3); // part numbers 0..3
    Answer(dialog, 9, "20261203\r\n2026120520261118");
    EXPECT_EQ(host.steps, 4);
    EXPECT_EQ(dialog.CalendarPanel()->MonthText(), "2026 - 12"); // the list's first day
    dialog.CalendarPanel()->PreviousButton()->click();
    EXPECT_EQ(dialog.CalendarPanel()->MonthText(), "2026 - 11");
    EXPECT_EQ(dialog.CalendarPanel()->DayButton(17)->text(), "18"); // 1 November is a Sunday
    EXPECT_TRUE(dialog.CalendarPanel()->DayButton(17)->isEnabled());
    dialog.CalendarPanel()->NextButton()->click();
    EXPECT_EQ(dialog.CalendarPanel()->MonthText(), "2026 - 12");
    // 1 December 2026 is a Tuesday: the 3rd is cell 4.
    CSkinButton* third = dialog.CalendarPanel()->DayButton(4);
    EXPECT_EQ(third->text(), "3");
    EXPECT_TRUE(third->isEnabled());
    EXPECT_FALSE(dialog.CalendarPanel()->DayButton(5)->isEnabled());

    sent.clear();
    third->click();
    EXPECT_TRUE(third->IsChecked());
    ASSERT_EQ(sent.size(), 4);
    EXPECT_EQ(quint8(sent[0][8]), 12);
    EXPECT_EQ(sent[0].mid(20, 4).toHex(), Hex("53293501").toHex()); // 20261203
    QByteArray masks(1920, '\0');
    masks[2 * 100] = char(0x01); // channel 1 recorded at 05:00
    Answer(dialog, 12, masks);
    EXPECT_EQ(dialog.Cells().Cell(0, 100), 1);
    EXPECT_TRUE(dialog.OkButton()->isEnabled());
    ASSERT_EQ(sent.size(), 8); // the event table follows
    EXPECT_EQ(quint8(sent[4][8]), 11);
    EXPECT_EQ(host.boxes.last(), qMakePair(4, QString("INFO_LOAD")));
    Answer(dialog, 11, QByteArray(96, '\0') + Hex("05030000 0200 0000 0000"));
    EXPECT_EQ(dialog.Cells().Cell(1, 101), 2);
    ASSERT_EQ(sent.size(), 12); // then the summary
    EXPECT_EQ(quint8(sent[8][8]), 16);
    QByteArray summary(1920, '\0');
    summary[2 * 100] = char(0x01);
    Answer(dialog, 16, summary);
    EXPECT_EQ(dialog.Cells().Cell(SearchCells::kSummaryRow, 100), 1);
    EXPECT_EQ(sent.size(), 12);
    EXPECT_TRUE(host.timeBarCells.contains(qMakePair(0, 100)));
    EXPECT_TRUE(host.timeBarCells.contains(qMakePair(1, 101)));

    // The bars show the cells: channel 1 recorded (blue) at cell 100, channel 2's event (red).
    const QImage picture = dialog.grab().toImage();
    EXPECT_EQ(picture.pixelColor(CSearchMulti::kBarLeft + 30, 34), QColor(0, 0, 255));
    EXPECT_EQ(picture.pixelColor(CSearchMulti::kBarLeft + 3 * 101 / 10, 44), QColor(255, 0, 0));
    EXPECT_EQ(picture.pixelColor(CSearchMulti::kBarLeft + 60, 34), QColor(100, 100, 100));

    dialog.Slider()->setValue(480);
    EXPECT_EQ(dialog.TimeText(), "24:00:00");
    dialog.Slider()->setValue(200);
    Show(dialog, "calendar_search_day");
    dialog.Slider()->setValue(480);
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(&dialog, &enter);
    EXPECT_EQ(host.played, "7 20261203 480 24:00:00");
    EXPECT_FALSE(dialog.isVisible());
}

TEST_F(RecorderSearchTest, ARefusedOrBrokenQueryEndsTheChain)
{
    CSearchMulti dialog(host, images, QString());
    dialog.OpenSearch();
    Answer(dialog, 9, "20261203");
    sent.clear();
    dialog.CalendarPanel()->DayButton(4)->click();
    for (int part = 0; part < 4; ++part)
        dialog.OnRecvSearchData(Reply(host.requestId, 13, 0, part, QByteArray()));
    EXPECT_EQ(sent.size(), 4); // no event query follows
    EXPECT_FALSE(dialog.OkButton()->isEnabled());

    sent.clear();
    dialog.CalendarPanel()->DayButton(4)->click();
    dialog.OnRecvSearchData(Reply(host.requestId - 1, 12, 8, 0, "stale"));
    for (int part = 0; part < 4; ++part) // more data than the total announces
        dialog.OnRecvSearchData(Reply(host.requestId, 12, 8, part, "abcdef"));
    EXPECT_EQ(sent.size(), 4);
    EXPECT_EQ(dialog.Cells().Cell(0, 0), 0);
    Show(dialog, "calendar_search_bad_replies");
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(&dialog, &escape);
    EXPECT_TRUE(dialog.isVisible());
}

// A tile reply: as Reply, for tile `tile`.
QByteArray TileReply(int tile, quint32 id, quint32 type, quint32 total, int part, const QByteArray& data)
{
    QByteArray reply = Reply(id, type, total, part, data);
    reply[8] = char(tile);
    return reply;
}

TEST_F(RecorderSearchTest, TileFaceBindsOnlyToARecorderOfTheHubAndSearchesItsChannel)
{
    SearchViewFace face(hub, host, images, QString());
    EXPECT_FALSE(face.SelectCamera(99, 0, 2)); // not in the map
    EXPECT_EQ(face.RecorderId(), -1);
    EXPECT_FALSE(face.StartRemoteSearch());
    EXPECT_TRUE(sent.isEmpty());

    hub.Engine().DeliverPacket(recorder->Peer(),
                               QByteArray(6, '\0') + Hex("1d 00 00 230000 05 00 03") + QByteArray(20, '\0'));
    ASSERT_EQ(recorder->CameraCount(), 3);
    sent.clear();
    ASSERT_TRUE(face.SelectCamera(7, 1, 2));
    EXPECT_EQ(face.Cameras()->count(), 3);
    EXPECT_EQ(face.Cameras()->currentText(), "Cam02");
    EXPECT_FALSE(face.SelectCamera(7, 0, 16));

    ASSERT_TRUE(face.StartRemoteSearch());
    ASSERT_EQ(sent.size(), 4);
    EXPECT_EQ(quint8(sent[0][17]), 2); // the tile
    for (int part = 0; part < 4; ++part)
        face.OnRecvSearchData(TileReply(2, host.requestId, 9, 8, part, part == 0 ? "20261203" : ""));
    EXPECT_TRUE(face.Calendar().HasDay("20261203"));
    // Replies for the multi-channel dialog are not this tile's.
    for (int part = 0; part < 4; ++part)
        face.OnRecvSearchData(Reply(host.requestId, 9, 8, part, part == 0 ? "20261204" : ""));
    EXPECT_FALSE(face.Calendar().HasDay("20261204"));

    face.CalendarPanel()->DayButton(4)->click(); // the 3rd
    QByteArray masks(1920, '\0');
    masks[2 * 100 + 0] = char(0x02); // channel 2
    for (int part = 0; part < 4; ++part)
        face.OnRecvSearchData(TileReply(2, host.requestId, 12, 1920, part, masks.mid(part * 480, 480)));
    EXPECT_EQ(face.Cells().Cell(1, 100), 1);
    ASSERT_TRUE(face.RequestDayIndex());
    const QByteArray events = "05:00:00 1\r\n06:00:00 2\n";
    for (int part = 0; part < 4; ++part)
        face.OnRecvSearchData(
            TileReply(2, host.requestId, 10, quint32(events.size()), part, part == 0 ? events : QByteArray()));
    EXPECT_EQ(face.EventText(), "05:00:00");
    face.Slider()->setValue(200);
    Show(face, "tile_search_face");
    const QImage picture = face.grab().toImage();
    EXPECT_EQ(picture.pixelColor(SearchViewFace::kBarLeft + 30, 225), QColor(0, 0, 255));
    EXPECT_EQ(picture.pixelColor(SearchViewFace::kBarLeft + 60, 225), QColor(255, 0, 0)); // marker
    EXPECT_EQ(face.TimeText(), "10:00:00");
}

TEST(CSearchMultiSkin, EveryButtonBitmapExists)
{
    for (const char* name :
         {"ButtonDay1.bmp", "ButtonDay2.bmp", "ButtonDay3.bmp", "ButtonDay4.bmp", "Button1.bmp", "Button2.bmp"})
        EXPECT_FALSE(QPixmap(QStringLiteral(ZENT_SOURCE_DIR "/player/Resource/Quessa/Search/") + name).isNull())
            << name;
}

TEST(CSearchEvent, HiddenWithItsButtonsGreyed)
{
    CSearchEvent panel;
    EXPECT_FALSE(panel.isVisible());
    EXPECT_EQ(panel.geometry(), QRect(14, 635, 716, 119));
    EXPECT_FALSE(panel.QueryButton()->isEnabled());
    EXPECT_FALSE(panel.NextQueryButton()->isEnabled());
}

// A sound input without a device: blocks are pushed by the test.
struct FakeInput : AudioCaptureDevice
{
    struct State
    {
        bool output = true;
        bool opens = true;
        bool starts = true;
        int stops = 0;
        std::function<void(const QByteArray&)> onBlock;
    };
    explicit FakeInput(State& state)
        : state(state)
    {}
    bool HasOutputDevice() const override { return state.output; }
    bool Open(int rate, int bits) override { return state.opens && rate == 8000 && bits == 16; }
    bool Start(int blockBytes, std::function<void(const QByteArray&)> onBlock) override
    {
        if (!state.starts || blockBytes != 8000)
            return false;
        state.onBlock = std::move(onBlock);
        return true;
    }
    void Stop() override { ++state.stops; }
    State& state;
};

class AudioPanelTest : public RecorderSearchTest
{
protected:
    std::unique_ptr<CDlgAudio> Panel()
    {
        return std::make_unique<CDlgAudio>(
            hub, std::make_unique<FakeInput>(input),
            [this](const QString& text, const QString& caption) { notices << text + "/" + caption; },
            [this](const QString& text, const QString& caption) { errors << text + "/" + caption; });
    }
    FakeInput::State input;
    QStringList notices;
    QStringList errors;
};

TEST_F(AudioPanelTest, MicrophoneNoticesWithoutDeviceOrRecorder)
{
    input.output = false;
    auto panel = Panel();
    EXPECT_FALSE(panel->CaptureAvailable());
    panel->MicButton()->click();
    input.output = true;
    auto second = Panel();
    EXPECT_TRUE(second->CaptureAvailable());
    second->MicButton()->click(); // nothing selected
    EXPECT_EQ(notices, (QStringList{"NO_AUDIO_DEVICE/NOTIFY", "PLEASE_SELECT_SERVER/NOTIFY"}));
    EXPECT_FALSE(second->MicButton()->IsChecked());
    sent.clear();
    second->AudioButton(0)->click();
    EXPECT_TRUE(sent.isEmpty());
}

TEST_F(AudioPanelTest, MicrophoneRunsWhileTheRecorderIsConnected)
{
    auto panel = Panel();
    panel->RefillRecorders();
    ASSERT_EQ(panel->Recorders()->count(), 1);
    EXPECT_EQ(panel->Recorders()->currentIndex(), -1);
    panel->Recorders()->setCurrentIndex(0);
    EXPECT_EQ(panel->Recorders()->toolTip(), "Warehouse");
    panel->RefillRecorders(); // keeps the selection
    EXPECT_EQ(panel->Recorders()->currentIndex(), 0);

    sent.clear();
    panel->AudioButton(2)->click();
    ASSERT_EQ(sent.size(), 1);
    EXPECT_EQ(sent[0].toHex(), Hex("0000000c 00a1 30 00 00 100000 02000000").toHex());

    panel->MicButton()->click();
    EXPECT_TRUE(panel->Capturing());
    EXPECT_TRUE(panel->MicButton()->IsChecked());
    Show(*panel, "audio_panel_capturing");
    ASSERT_TRUE(input.onBlock);
    input.onBlock(QByteArray(8000, '\x10')); // dropped while connected
    EXPECT_TRUE(panel->Capturing());
    panel->MicButton()->click();
    EXPECT_FALSE(panel->Capturing());
    EXPECT_EQ(input.stops, 1);

    panel->MicButton()->click();
    recorder->Disconnect();
    input.onBlock(QByteArray(8000, '\x10'));
    EXPECT_FALSE(panel->Capturing());
    EXPECT_FALSE(panel->MicButton()->IsChecked());
    panel->MicButton()->click(); // a recorder that is not connected: nothing
    EXPECT_FALSE(panel->Capturing());
    EXPECT_TRUE(notices.isEmpty());
}

TEST_F(AudioPanelTest, AnInputThatRefusesItsBufferShowsTheErrorBox)
{
    input.starts = false;
    auto panel = Panel();
    panel->RefillRecorders();
    panel->Recorders()->setCurrentIndex(0);
    panel->MicButton()->click();
    EXPECT_FALSE(panel->Capturing());
    EXPECT_FALSE(panel->MicButton()->IsChecked());
    EXPECT_EQ(errors, QStringList{"error waveInPrepareHeader/recoder"});
}

// The main dialog: "Select Date" beeps while the hub has no recorder (always, in this program);
// with a recorder client in the hub it opens the calendar search with its wait box.
TEST(ViewerRecorderParts, SelectDateBeepsUntilARecorderExists)
{
    SkinBitmaps::Init();
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    const ViewerEnvironment env = TestViewerEnvironment(home);
    CViewerDlg dialog(env);
    dialog.OnInitDialog();
    ASSERT_NE(dialog.Hub(), nullptr);
    EXPECT_FALSE(dialog.Hub()->HasServers());
    EXPECT_FALSE(dialog.Hub()->HousekeepingActive());
    EXPECT_FALSE(dialog.AudioPanel()->isVisible());

    QSignalSpy beeps(dialog.TimeBar(), &CSearchTime::beepRequested);
    dialog.TimeBar()->OnSelectDate();
    EXPECT_EQ(beeps.count(), 1);
    EXPECT_FALSE(dialog.CalendarSearch()->isVisible());
    Show(dialog, "main_dialog_recorder_offline");

    QVector<QByteArray> sent;
    HPNetServer* recorder = dialog.Hub()->AddServer(3, "Lobby");
    recorder->Attach(dialog.Hub()->Engine().AddPeer(std::make_unique<Wire>(sent)));
    dialog.TimeBar()->OnSelectDate();
    EXPECT_EQ(beeps.count(), 1);
    EXPECT_TRUE(dialog.CalendarSearch()->isVisible());
    EXPECT_EQ(sent.size(), 4);
    EXPECT_TRUE(dialog.WaitBox()->isVisible());
    // The recorder's replies reach the calendar through the client's dispatcher.
    const quint32 id = qFromLittleEndian<quint32>(reinterpret_cast<const uchar*>(sent[0].constData() + 12));
    for (int part = 0; part < 4; ++part)
        dialog.Hub()->Engine().DeliverPacket(recorder->Peer(), Reply(id, 9, 8, part, part == 0 ? "20261203" : ""));
    EXPECT_FALSE(dialog.WaitBox()->isVisible());
    EXPECT_TRUE(dialog.CalendarSearch()->Calendar().HasDay("20261203"));
    dialog.Hub()->RemoveServer(recorder);
    dialog.CloseWithoutAsking();
}

} // namespace
