// libFuzzer target for the hand-over records a second start of the player sends to the running
// one. The first input byte says how the rest is cut into reads (1 to 16 bytes each, as a socket
// may deliver them); every record that comes out whole is applied. Checked promises:
//   - the receiver gives back exactly one record per whole 8 bytes fed, whatever the cuts;
//   - the pending path never grows past its limit;
//   - a path encoded and packed by the sender arrives unchanged after the fuzzed records.
// A broken promise aborts, which libFuzzer reports as a crash.
#include "fuzz/support/fuzzinput.h"
#include "ui/handover.h"

#include <cstdint>
#include <cstdlib>

namespace {

void Require(bool promise)
{
    if (!promise)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzInput input(data, size);
    const int cut = 1 + input.Byte() % 16;
    const QByteArray stream = input.Rest();

    HandOverReceiver receiver;
    int records = 0;
    for (int at = 0; at < stream.size(); at += cut) {
        for (const HandOverRecord& record : receiver.Feed(stream.mid(at, cut))) {
            ++records;
            receiver.Apply(record);
            Require(receiver.PendingPath().toUtf8().size() <= HandOverReceiver::kMaxPathBytes * 3);
        }
    }
    Require(records == stream.size() / HandOverSequence::kRecordSize);

    // A whole sequence from the sender after the noise: leftover bytes of a cut record are
    // dropped first, as a fresh connection starts clean.
    HandOverReceiver fresh;
    const QByteArray path = stream.left(64).replace('\0', 'x');
    bool opened = false;
    for (const HandOverRecord& record : HandOverSequence::Encode(path))
        for (const HandOverRecord& got : fresh.Feed(HandOverSequence::Pack(record)))
            opened = fresh.Apply(got) || opened;
    Require(opened);
    Require(fresh.PendingPath() == QString::fromUtf8(path));
    return 0;
}
