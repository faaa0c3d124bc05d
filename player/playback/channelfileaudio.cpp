#include "playback/channelfileaudio.h"
#include "playback/framerecord.h"
#include "playback/indexlayout.h"

#include <QFile>

#include <algorithm>
#include <utility>
#include <vector>

namespace {

QByteArray ReadAt(QFile& file, qint64 pos, qint64 size)
{
    if (pos < 0 || size <= 0 || pos > file.size() - size || !file.seek(pos))
        return {};
    QByteArray bytes = file.read(size);
    return bytes.size() == size ? bytes : QByteArray();
}

} // namespace

qint64 ChannelFileAudio::MinuteStart(const QString& indexPath, const QString& dataPath, int secondOfDay)
{
    if (secondOfDay < 0 || secondOfDay >= IndexLayout::kSecondsPerDay)
        return -1;
    QFile index(indexPath);
    QFile data(dataPath);
    if (!index.open(QIODevice::ReadOnly) || !data.open(QIODevice::ReadOnly))
        return -1;
    const qint64 minuteAt = IndexLayout::kHeader224 + qint64(secondOfDay / 60) * 60 * IndexLayout::kEntry224;
    for (int i = 0; i < 60; ++i) {
        const IndexEntry entry = IndexLayout::ParseEntry36(
            ReadAt(index, minuteAt + qint64(i) * IndexLayout::kEntry224, IndexLayout::kEntry224));
        if (!entry.hasData)
            continue;
        return entry.offset + FrameRecord::kSize <= data.size() ? entry.offset : -1;
    }
    return -1;
}

QByteArray ChannelFileAudio::CollectSecond(const QString& dataPath, qint64 offset, int secondOfDay,
                                           int audioChannel)
{
    QFile data(dataPath);
    if (offset < 0 || audioChannel < 0 || audioChannel > 3 || !data.open(QIODevice::ReadOnly))
        return {};
    std::vector<std::pair<qint64, QByteArray>> pieces;
    qint64 at = offset;
    for (int n = 0; n < kMaxRecords && at >= 0; ++n) {
        FrameRecord record;
        if (!FrameRecord::Parse(ReadAt(data, at, FrameRecord::kSize), record))
            break;
        const int second = record.SecondOfDay();
        if (second > secondOfDay)
            break;
        if (second == secondOfDay && record.lengthWord > 0xFFFFFu) {
            const qint64 pieceAt = at + FrameRecord::kSize + qint64(3 - audioChannel) * kPiece
                                   + record.PayloadLength();
            const QByteArray piece = ReadAt(data, pieceAt, kPiece);
            if (!piece.isEmpty())
                pieces.emplace_back(record.dayTime & 0xFFF, piece);
        }
        if (record.more < 0 || record.next <= at)
            break;
        at = record.next;
    }
    std::stable_sort(pieces.begin(), pieces.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    QByteArray second;
    for (const auto& p : pieces)
        second += p.second;
    return second;
}
