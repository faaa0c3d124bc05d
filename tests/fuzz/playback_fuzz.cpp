// libFuzzer target for the remote playback scheduler: the index headers (hour and minute masks),
// the 960-byte minute blocks of second entries and the blocks of 336-byte frame-header slots
// that a recorder sends, mixed with the calls the session makes while it plays. The frame
// requests the scheduler queues go into a request batcher, as the session's do, so that the
// offsets and sizes taken from the headers are also written into requests.
//
// Input:
//   byte 0   channel slot (taken modulo 17) and, in bits 5-6, the scheduler kind (modulo 3)
//   byte 1   the session's channel count (modulo 17); the channel equal to it carries the sound
//   byte 2   the session's playback audio channel (signed; -1 none)
//   byte 3   bits 0-4 the frame rate, bits 5-7 the split mode; byte 4 the fast speed code
//   then steps until the input ends, each a step byte and its fields:
//     0 index header arrives:   file byte, 2-byte length n, n bytes
//     1 start playing:          time (4 bytes, HHMMSS), kind byte
//     2 minute block arrives:   file byte, 2-byte length n, n bytes
//     3 frame headers arrive:   flags byte (bit 0 to the prefetch buffer, bits 1-3 stream
//                               kind), 2-byte length n, n bytes
//     4 frame arrives:          flags byte as above, 2-byte length n, n bytes
//     5 the frame was shown (NextFrame)
//     6 the mode changes:       mode byte (an index into the modes, 6 and up an unknown value)
//     7 go to a second:         second (4 bytes), prefetch byte
//     8 the next minute with data from hour byte, minute byte
//     9 the day is asked for again: date (4 bytes, YYYYMMDD)
//    10 continuous play on or off: byte
//    11 a ring position is sent: position byte (signed)
//    12 the session's timer takes a batch of the queued requests
//   (the step byte is taken modulo 13)
//
// Every input gets a fresh scheduler bound to a fresh host; nothing of one input reaches the
// next.
#include "fuzz/support/fuzzinput.h"
#include "session/moduleplayback.h"
#include "session/playbackrequestbatcher.h"
#include "session/support/playback_host.h"

#include <array>
#include <cstdint>

namespace {

constexpr int kRecorder = 4; // the host's registered recorder
constexpr int kDate = 20240107;
constexpr std::array<PlaybackMode, 6> kModes = {PlaybackMode::Idle,     PlaybackMode::Stop,
                                                PlaybackMode::Forward,  PlaybackMode::FastForward,
                                                PlaybackMode::Backward, PlaybackMode::FastBackward};

enum class Step {
    IndexHeader,
    Start,
    MinuteBlock,
    FrameHeaders,
    Frame,
    Shown,
    Mode,
    GoToSecond,
    NextMinute,
    Reset,
    Continuous,
    SendPosition,
    SendBatch,
    Count
};

// The host that also queues the frame requests into a batcher, as the session does: a data
// request of size 0 asks for one byte, and the request kind comes back as its request number.
class BatchingHost : public FakePlaybackHost
{
public:
    void QueueFrameHeader(int channel, int file, qint64 offset, int size, int requestKind) override
    {
        FakePlaybackHost::QueueFrameHeader(channel, file, offset, size, requestKind);
        Queue(PlaybackRequestBatcher::Kind::FrameHeader, channel, file, offset, size, requestKind);
    }
    void QueueFrameData(int channel, int file, qint64 offset, int size, int requestKind) override
    {
        FakePlaybackHost::QueueFrameData(channel, file, offset, size, requestKind);
        Queue(PlaybackRequestBatcher::Kind::FrameData, channel, file, offset, size == 0 ? 1 : size, requestKind);
    }
    void SendBatch()
    {
        batcher.TakeBatch([] { return true; });
        batcher.ResetInFlight();
    }

private:
    void Queue(PlaybackRequestBatcher::Kind kind, int channel, int file, qint64 offset, int size, int number)
    {
        PlaybackRequestBatcher::Request request;
        request.channel = channel;
        request.frameByte = file;
        request.offset = offset;
        request.size = size;
        request.kind = int(kind);
        request.requestNumber = number;
        batcher.Queue(request);
    }

    PlaybackRequestBatcher batcher;
};

SchedulerKind KindOf(int value)
{
    return static_cast<SchedulerKind>(value % 3);
}

PlaybackMode ModeOf(int value)
{
    return value < int(kModes.size()) ? kModes[size_t(value)] : static_cast<PlaybackMode>(value);
}

void Run(CModulePlayback& scheduler, BatchingHost& host, FuzzInput& input)
{
    const auto step = static_cast<Step>(input.Byte() % int(Step::Count));
    switch (step) {
    case Step::IndexHeader: {
        const int file = qint8(input.Byte());
        const QByteArray header = input.Take(input.Word16());
        scheduler.OnSetIntraIndex(file, header.constData(), header.size());
        break;
    }
    case Step::Start: {
        const int time = int(input.Word32());
        scheduler.StartPlayback(kDate, time, KindOf(input.Byte()), -1);
        break;
    }
    case Step::MinuteBlock: {
        const int file = qint8(input.Byte());
        const QByteArray block = input.Take(input.Word16());
        scheduler.OnSetIntraHeader(file, block.size(), block.constData());
        break;
    }
    case Step::FrameHeaders:
    case Step::Frame: {
        const bool frame = step == Step::Frame;
        const quint8 flags = input.Byte();
        const QByteArray bytes = input.Take(input.Word16());
        const bool toBuffer = (flags & 0x01) != 0;
        const int streamKind = (flags >> 1) & 0x07;
        if (frame)
            scheduler.OnSetFrameData(bytes.constData(), bytes.size(), streamKind, toBuffer);
        else
            scheduler.OnSetFrameHeader(bytes.size(), streamKind, bytes.constData(), toBuffer);
        break;
    }
    case Step::Shown: scheduler.NextFrame(); break;
    case Step::Mode: scheduler.SetMode(ModeOf(input.Byte())); break;
    case Step::GoToSecond: {
        const int second = int(input.Word32());
        scheduler.OnGetFrameHeader(second, input.Byte() != 0);
        break;
    }
    case Step::NextMinute: {
        const int hour = qint8(input.Byte());
        scheduler.OnGetNextTime(hour, qint8(input.Byte()));
        break;
    }
    case Step::Reset: scheduler.ResetIndex(int(input.Word32())); break;
    case Step::Continuous: scheduler.SetContinuous(input.Byte() != 0); break;
    case Step::SendPosition: scheduler.SendFrame(qint8(input.Byte())); break;
    case Step::SendBatch: host.SendBatch(); break;
    case Step::Count: break;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzInput input(data, size);
    BatchingHost host;
    host.registered = {kRecorder};
    const quint8 binding = input.Byte();
    host.channelCount = input.Byte() % (CModulePlayback::kMaxSlot + 1);
    host.audioChannel = qint8(input.Byte());
    const quint8 pacing = input.Byte();
    host.fps = pacing & 0x1F;
    host.scrMode = pacing >> 5;
    host.speed = input.Byte();

    CModulePlayback scheduler(&host);
    scheduler.Bind(kRecorder, binding % (CModulePlayback::kMaxSlot + 1), KindOf(binding >> 5));
    while (!input.AtEnd())
        Run(scheduler, host, input);
    return 0;
}
