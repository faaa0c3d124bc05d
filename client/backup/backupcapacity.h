#pragma once
// Reading of the recorder's backup capacity reply: which channels it sized and how many
// megabytes each holds, then the audio entry. Only entries inside the message are read.
#include <QVector>
#include <QtGlobal>

struct _SEND_BACKUP_CAPA;

struct CapacityEntry
{
    int channel = 0; // 0..15, or the channel count for the audio entry
    qint32 sizeMb = 0;
    bool audio = false;
};

class BackupCapacity
{
public:
    static constexpr int kHeaderBytes = 16;
    static constexpr int kMaxEntries = 17;

    // The entries of channels 0 to channelCount - 1 whose mask bit is set, then audio (index
    // channelCount), each with the next size entry; reading stops at the last entry the message
    // holds. `receivedLength` is how many bytes of the record are really there.
    static QVector<CapacityEntry> Parse(const _SEND_BACKUP_CAPA* reply, int receivedLength, int channelCount);
};
