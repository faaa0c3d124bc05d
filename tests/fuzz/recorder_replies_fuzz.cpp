// libFuzzer target for what a recorder sends the player's recorder client and search dialogs:
// the reply dispatcher (login, model, events, fragments, clock, camera names, status), the
// search reply assembler with its 480,000-byte total, and the parsers of the assembled day
// list, record table, event table, summary and event list.
//
// Input: a selector byte, then replies, each preceded by a 16-bit little-endian length.
#include <cstdint>

#include "fuzz/support/fuzzinput.h"
#include "playback/hpnetserver.h"
#include "playback/hpnetwork.h"
#include "playback/hubhost.h"
#include "playback/searchcalendar.h"
#include "playback/searchcells.h"
#include "playback/searcheventlist.h"
#include "playback/searchreplyassembler.h"

namespace {

struct NoHub : HubHost
{
    void RedrawAllTiles() override {}
    void ClearTilesOf(int, const QVector<int>&) override {}
    void ToTilePlayer(int, const QByteArray&) override {}
    void ToSearchDialog(const QByteArray&) override {}
    void CamerasCreated(int) override {}
};

struct Sink : SocketEngine::PeerSocket
{
    bool Writable() override { return true; }
    qint64 Write(const QByteArray& bytes) override { return bytes.size(); }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzInput input(data, qMin<size_t>(size, 1 << 20));
    const quint8 selector = input.Byte();
    NoHub host;
    HPNetwork hub(host);
    hub.Init();
    HPNetServer* server = hub.AddServer(1, QStringLiteral("fuzz"));
    server->Attach(hub.Engine().AddPeer(std::make_unique<Sink>()));
    SearchReplyAssembler assembler;
    assembler.Start(selector % 20, input.Word32(), 99);
    SearchCalendar calendar(730);
    SearchCells cells;
    while (!input.AtEnd()) {
        const QByteArray reply = input.Take(input.Word16());
        if (selector & 0x80) {
            hub.Engine().DeliverPacket(1, reply);
            if (!hub.GetServer(1)) // removed by its own reply: no further replies
                break;
            continue;
        }
        if (assembler.OnReply(reply) == SearchReplyAssembler::Result::Complete) {
            const QByteArray whole = assembler.Data();
            calendar.OnDayList(whole);
            cells.SetRecordCells(whole);
            cells.SetEventCells(whole);
            cells.SetSummaryCells(whole);
            volatile int length = SearchEventList::OnEventList(whole, selector % 16).size();
            (void)length;
            assembler.Start(selector % 20, quint32(whole.size()), 99);
        }
        cells.SetEventCells(reply);
        calendar.OnDayList(reply);
    }
    if (HPNetServer* left = hub.GetServer(1))
        hub.Engine().DeliverConnectionState(left->Peer(), input.Rest());
    return 0;
}
