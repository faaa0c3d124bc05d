#pragma once
// The decode and hand-off step of one live channel, run by the channel's live thread: it keeps
// the frame chain whole (stream kinds 2 and 3 carry a sequence number), decodes under the
// processor-load rule (above 70 % only key frames are decoded, until the load falls below 50 %),
// and hands each picture through the channel's route to the hub's grid cells. The first picture
// after connecting only fills the channel's last-picture slot.
#include <atomic>

class CModuleDecoder;
class LastPictures;
struct CameoRoute;
struct LiveFrameRecord;

class LiveDecodeWorker
{
public:
    static constexpr int kLoadHigh = 70;
    static constexpr int kLoadLow = 50;

    enum class Outcome { NoPicture, FirstPicture, Delivered };

    LiveDecodeWorker(int channel, const CameoRoute& route, LastPictures& pictures);

    // A new run of the channel's thread: no chain, no overload.
    void Restart();
    // False when the frame breaks the chain of its stream and must not be decoded.
    bool PassesSequence(const LiveFrameRecord& record);
    // True when the processor load says the frame is not to be decoded (counted as skipped).
    bool SkipsForLoad(const LiveFrameRecord& record, int processorLoad);
    // Decodes the frame; a picture goes to the last-picture slot (the first one) or through the
    // route to the hub under recorder index `recorder`, unless decode-only or `mayShow` is false.
    Outcome Decode(LiveFrameRecord& record, CModuleDecoder& decoder, int processorLoad, int recorder,
                   bool mayShow);

    int DecodedFrames() const { return m_decoded.load(); }
    int SkippedForLoad() const { return m_skipped.load(); }

private:
    void Deliver(const LiveFrameRecord& record, int recorder, bool mayShow) const;

    const int m_channel;
    const CameoRoute& m_route;
    LastPictures& m_pictures;
    int m_lastSequence;
    bool m_overload = false;
    std::atomic<int> m_decoded{0};
    std::atomic<int> m_skipped{0};
};
