// libFuzzer target for the session's record list and index intake: the time, event and audio
// lists and the key-frame index that a recorder sends for a day, as the engine leaves them in the
// session's buffers. They fill the session's minute maps and its playback schedulers' indexes.
// The backup capacity reply, which the session reads straight from the received message, is
// fed as well.
//
// Input:
//   byte 0        the index search's channel: 255 all channels (the day's playback), else the
//                 channel slot modulo 17
//   bytes 1-4     the search permission mask (little-endian)
//   then records until the input ends:
//     byte        what arrived (modulo 5): 0 time list, 1 event list, 2 audio list, 3 index,
//                 4 backup capacity reply
//     byte        storage slot (signed); for the backup capacity reply nothing more than this:
//                 the next 2 bytes give n and the message is a 12-byte header with its total
//                 set to 16 + n, then 4 + n body bytes (channel mask, 2 bytes, sizes); a body
//                 cut short by the end of the input is padded with zeros to the 16 bytes that
//                 the engine hands up at the least
//     byte        index only: channel slot (signed)
//     byte        index only: request kind
//     2 bytes     length n (little-endian)
//     n bytes     the list or index, copied into the buffer as the engine copies a reply; the
//                 intake is told the number of bytes that fitted
//
// One session of 16 channels, registered in the hub, is made once with the buffers and schedulers
// a login makes (a fresh one per input would spend its time building seventeen schedulers).
// Before every input it forgets what earlier lists filled, so nothing of one input reaches the
// next.
#include "fuzz/support/fuzzapplication.h"
#include "fuzz/support/fuzzinput.h"
#include "fuzz/support/quiethub.h"
#include "net/recordermessageheader.h"
#include "net/sendbackupcapa.h"
#include "session/moduledevice.h"
#include "session/slotreceivebuffers.h"
#include "session/support/moduledevice_testaccess.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

enum class Arrival { TimeList, EventList, AudioList, Index, BackupCapacity, Count };

constexpr int kAllChannels = 255;

CModuleDevice* g_device = nullptr;

// Copies what fits into the buffer; returns the number of bytes copied.
int Fill(char* buffer, int capacity, const QByteArray& bytes)
{
    if (!buffer)
        return 0;
    const int n = std::min(capacity, int(bytes.size()));
    std::memcpy(buffer, bytes.constData(), size_t(n));
    return n;
}

// The reply as the engine hands it up: a message of exactly its framed length, whose header
// total agrees with that length (the framing closes the connection otherwise), and at least 16
// bytes long (the engine drops a shorter one).
void DeliverBackupCapacity(CModuleDevice& device, const QByteArray& body)
{
    constexpr int kShortest = 16;
    std::vector<char> message(size_t(std::max(kShortest, RecorderMessageHeader::kSize + int(body.size()))));
    RecorderMessageHeader::Compose(message.data(), 0x4A, 0, int(message.size()));
    RecorderMessageHeader::WriteLength(message.data(), quint32(message.size() - 4));
    std::memcpy(message.data() + RecorderMessageHeader::kSize, body.constData(), size_t(body.size()));
    device.OnRecvBackupCapa(reinterpret_cast<_SEND_BACKUP_CAPA*>(message.data()));
}

void Deliver(CModuleDevice& device, FuzzInput& input)
{
    const auto arrival = static_cast<Arrival>(input.Byte() % int(Arrival::Count));
    const int storageSlot = qint8(input.Byte());
    if (arrival == Arrival::BackupCapacity) {
        DeliverBackupCapacity(device, input.Take(4 + input.Word16()));
        return;
    }
    if (arrival == Arrival::Index) {
        const int channel = qint8(input.Byte());
        const int kind = input.Byte();
        const QByteArray index = input.Take(input.Word16());
        const int size = Fill(CModuleDeviceTestAccess::GetIndexBuffer(device, channel),
                              SlotReceiveBuffers::kIndexBufferSize, index);
        device.OnRecvIntraIndex(storageSlot, channel, size, kind);
        return;
    }
    const QByteArray list = input.Take(input.Word16());
    const int size = Fill(CModuleDeviceTestAccess::GetListBuffer(device), SessionBuffers::kListBufferSize, list);
    switch (arrival) {
    case Arrival::TimeList: device.OnRecvTimeRecList(storageSlot, size); break;
    case Arrival::EventList: device.OnRecvEventRecList(storageSlot, size); break;
    case Arrival::AudioList: device.OnRecvAudioRecList(storageSlot, size); break;
    case Arrival::Index:
    case Arrival::BackupCapacity:
    case Arrival::Count: break;
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzzapplication::Start(fuzzapplication::Kind::Widgets);
    QuietHub::Create();
    g_device = new CModuleDevice(nullptr, 0);
    CModuleDeviceTestAccess::PrepareListIntake(*g_device, CModuleDevice::kChannels);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzInput input(data, size);
    CModuleDevice& device = *g_device;
    CModuleDeviceTestAccess::ResetListIntake(device);
    const int searchChannel = input.Byte();
    device.GetIntraIndex(searchChannel == kAllChannels ? -1 : searchChannel % CModuleDevice::kSlots);
    CModuleDeviceTestAccess::SetSearchMask(device, input.Word32());
    while (!input.AtEnd())
        Deliver(device, input);
    return 0;
}
