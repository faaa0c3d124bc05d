#include "session/support/live_records.h"

#include <memory>

std::vector<LiveFrameRecordPtr> StreamRecords(const decoder_streams::Stream& stream, int ch, int from, int count)
{
    std::vector<LiveFrameRecordPtr> out;
    for (int i = from; i < from + count; ++i) {
        const QByteArray& unit = stream.frames.at(i % stream.frames.size());
        auto r = std::make_unique<LiveFrameRecord>();
        r->channel = ch;
        r->kind = 2;
        r->frameType = (i % 10 == 0) ? 1 : 0;
        r->sequence = i % 10;
        r->delay = 1;
        r->CopyPayload(unit.constData(), unit.size());
        out.push_back(std::move(r));
    }
    return out;
}
