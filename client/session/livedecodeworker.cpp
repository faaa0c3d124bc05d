#include "session/livedecodeworker.h"

#include <QMutexLocker>

#include "common/media/moduledecoder.h"
#include "session/cameoroute.h"
#include "session/lastpictures.h"
#include "session/liveframerecord.h"
#include "session/sessionhub.h"

namespace {
constexpr int kNoSequence = -999;
constexpr int kPictureResult = 1000; // the decoder's results above this carry a picture
} // namespace

LiveDecodeWorker::LiveDecodeWorker(int channel, const CameoRoute& route, LastPictures& pictures)
    : m_channel(channel)
    , m_route(route)
    , m_pictures(pictures)
    , m_lastSequence(kNoSequence)
{}

void LiveDecodeWorker::Restart()
{
    m_lastSequence = kNoSequence;
    m_overload = false;
}

bool LiveDecodeWorker::PassesSequence(const LiveFrameRecord& record)
{
    if (record.kind != 2 && record.kind != 3)
        return true;
    if (record.frameType == 1 || record.sequence == m_lastSequence + 1 || record.sequence == 0) {
        m_lastSequence = record.sequence;
        return true;
    }
    if (record.sequence > 0) {
        m_lastSequence = kNoSequence;
        return false;
    }
    return true;
}

bool LiveDecodeWorker::SkipsForLoad(const LiveFrameRecord& record, int processorLoad)
{
    if (record.frameType == 1)
        return false;
    if (processorLoad > kLoadHigh)
        m_overload = true;
    if (!m_overload)
        return false;
    m_lastSequence = kNoSequence;
    ++m_skipped;
    return true;
}

LiveDecodeWorker::Outcome LiveDecodeWorker::Decode(LiveFrameRecord& record, CModuleDecoder& decoder,
                                                   int processorLoad, int recorder, bool mayShow)
{
    const int result = decoder.OnDecode(reinterpret_cast<unsigned char*>(record.payload.get()), record.size,
                                        record.kind, 0, 0, record.decodeOnly != 0);
    if (record.frameType == 1 && processorLoad < kLoadLow)
        m_overload = false;
    if (result <= kPictureResult) {
        if (result != CModuleDecoder::ErrSameFrame)
            m_lastSequence = kNoSequence;
        return Outcome::NoPicture;
    }
    ++m_decoded;
    if (m_pictures.AwaitsFirst(m_channel)) {
        // A decoder that converts on demand keeps its last frame: the slot reads it from there
        // when asked, and no picture is converted or kept for it now.
        if (decoder.ConvertsOnDemand()) {
            m_pictures.KeepInDecoder(m_channel, &decoder);
        } else {
            QImage picture;
            {
                QMutexLocker lock(decoder.GetPictureLock());
                picture = decoder.GetImage(); // shallow: the decoder never writes into it again
            }
            m_pictures.Store(m_channel, picture);
        }
        return Outcome::FirstPicture;
    }
    Deliver(record, recorder, mayShow);
    return Outcome::Delivered;
}

void LiveDecodeWorker::Deliver(const LiveFrameRecord& record, int recorder, bool mayShow) const
{
    if (record.decodeOnly || !mayShow)
        return;
    SessionHub* hub = SessionHub::Instance();
    if (!hub)
        return;
    const int marked = record.marked != 0 ? 1 : 0;
    hub->CountCameoFrame(recorder, m_channel, m_route.liveGrid.load(), m_route.liveCell.load(), 0, marked);
    hub->CountCameoFrame(recorder, m_channel, m_route.emapGrid.load(), m_route.emapCell.load(), 0, marked);
}
