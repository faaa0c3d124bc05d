#include "playback/mediareader.h"
#include "playback/framehandoff.h"
#include "playback/playbackhost.h"
#include "playback/playbacklog.h"
#include "playback/recordermedia.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <cstring>

namespace {

QByteArray ReadAt(QFile& file, qint64 pos, qint64 size)
{
    if (pos < 0 || size <= 0 || pos > file.size() - size || !file.seek(pos))
        return {};
    QByteArray bytes = file.read(size);
    return bytes.size() == size ? bytes : QByteArray();
}

} // namespace

MediaReader::MediaReader(TileState& tile, FrameHandOff& handOff, PlaybackHost& host)
    : m_tile(tile)
    , m_handOff(handOff)
    , m_host(host)
{}

bool MediaReader::Backward() const
{
    const PlayDirection d = m_tile.Direction();
    return d == PlayDirection::Backward || d == PlayDirection::FastBackward;
}

void MediaReader::Finish(int result)
{
    m_tile.readResult = result;
}

void MediaReader::SetEnd(PlayState state)
{
    if (m_tile.Direction() != PlayDirection::Still || m_tile.State() == PlayState::StepForward
        || m_tile.State() == PlayState::StepBackward)
        m_tile.SetState(state);
}

bool MediaReader::LoadIndex()
{
    m_tile.indexLoaded = false;
    QFile index(m_tile.paths.indexPath);
    if (!index.open(QIODevice::ReadOnly)) {
        qCDebug(lcPlayerPlayback) << "cannot open index" << index.fileName() << index.errorString();
        return false;
    }
    QByteArray header = index.read(IndexLayout::kHeader512);
    IndexInfo info;
    if (!IndexLayout::Parse(header, index.size(), info)) {
        qCWarning(lcPlayerPlayback) << "index too short or damaged:" << index.fileName();
        return false;
    }
    m_tile.index = info;
    m_tile.fieldFlag = info.FieldFlag();
    m_tile.indexLoaded = true;
    m_tile.indexPos = info.firstDataPos;
    m_tile.block = FrameBlock();
    m_tile.headerIndex = -1;
    m_tile.keyListPos = -1;
    m_tile.lastKeyOffset = -1;
    m_tile.recordOffset = -1;
    return true;
}

std::vector<bool> MediaReader::PresentMinutes() const
{
    std::vector<bool> present(MinuteTable::kMinutes);
    for (int i = 0; i < MinuteTable::kMinutes; ++i)
        present[size_t(i)] = m_tile.index.minutes.minuteSlots[size_t(i)].present;
    return present;
}

int MediaReader::NearestMinute(const std::vector<bool>& present, int minute)
{
    const int last = int(present.size()) - 1;
    for (int d = 1; d <= last + 1; ++d) {
        const int back = minute - d;
        const int forward = minute + d;
        if (back >= 0 && back <= last && present[size_t(back)])
            return back;
        if (forward >= 0 && forward <= last && present[size_t(forward)])
            return forward;
        if (back < 0 && forward > last)
            break;
    }
    return -1;
}

int MediaReader::FollowingMinute(const std::vector<bool>& present, int minute)
{
    for (int m = minute + 1; m < int(present.size()); ++m) {
        if (present[size_t(m)])
            return m;
    }
    for (int m = std::min(minute - 1, int(present.size()) - 1); m >= 0; --m) {
        if (present[size_t(m)])
            return m;
    }
    return -1;
}

int MediaReader::SeekToTime(const QString& timeText)
{
    if (!m_tile.indexLoaded)
        return 0;
    const int second = IndexLayout::SecondOfText(timeText);
    if (second < 0)
        return 0;
    int minute = second / 60;
    const auto& minuteSlots = m_tile.index.minutes.minuteSlots;
    if (!minuteSlots[size_t(minute)].present)
        return 0;
    qint64 position = -1;
    const int headerSize = m_tile.Layout512() ? IndexLayout::kHeader512 : IndexLayout::kHeader224;
    const int entrySize = m_tile.Layout512() ? IndexLayout::kEntry512 : IndexLayout::kEntry224;
    if (minuteSlots[size_t(minute)].offset >= 0) {
        position = std::max<qint64>(headerSize + qint64(entrySize) * second, minuteSlots[size_t(minute)].offset);
    } else {
        // A minute marked without a position: the next later minute with data, else an earlier.
        int found = -1;
        for (int m = minute + 1; m < MinuteTable::kMinutes && found < 0; ++m) {
            if (minuteSlots[size_t(m)].present && minuteSlots[size_t(m)].offset >= 0)
                found = m;
        }
        for (int m = minute - 1; m >= 0 && found < 0; --m) {
            if (minuteSlots[size_t(m)].present && minuteSlots[size_t(m)].offset >= 0)
                found = m;
        }
        if (found < 0)
            return 0;
        position = minuteSlots[size_t(found)].offset;
    }
    position = std::max(position, m_tile.index.firstDataPos);
    if (m_tile.Direction() == PlayDirection::Still)
        m_tile.SetState(PlayState::Paused);
    ReadIndexEntry(position);
    return 1;
}

void MediaReader::GoToTime(const QString& timeText)
{
    // After a seek the decoder holds no picture of the new place: its key frame comes first.
    m_tile.lastKeyOffset = -1;
    if (!m_tile.indexLoaded) {
        Finish(int(ReadResult::End));
        return;
    }
    QString digits = timeText;
    digits.remove(QLatin1Char(':'));
    if (digits == QLatin1String("240000")) {
        ReadLastEntry();
        return;
    }
    if (m_tile.Layout512() && digits == QLatin1String("000000")) {
        ReadFirstEntry();
        return;
    }
    if (SeekToTime(digits))
        return;
    const int second = IndexLayout::SecondOfText(digits);
    if (second < 0) {
        Finish(int(ReadResult::End));
        return;
    }
    const int minute = m_tile.Layout512() ? NearestMinute(PresentMinutes(), second / 60)
                                          : FollowingMinute(PresentMinutes(), second / 60);
    if (minute < 0) {
        if (!m_tile.Layout512())
            ReadLastEntry();
        return;
    }
    SeekToTime(
        QStringLiteral("%1%2").arg(minute / 60, 2, 10, QLatin1Char('0')).arg(minute % 60, 2, 10, QLatin1Char('0'))
        + QStringLiteral("00"));
}

int MediaReader::ReadIndexEntry(qint64 position)
{
    return WalkEntries(position, Backward() || m_tile.State() == PlayState::StepBackward);
}

int MediaReader::ReadLastEntry()
{
    return WalkEntries(m_tile.index.lastEntryPos, true);
}

int MediaReader::ReadFirstEntry()
{
    return WalkEntries(m_tile.index.firstDataPos, false);
}

int MediaReader::WalkEntries(qint64 position, bool backward)
{
    Finish(int(ReadResult::Pending));
    QFile index(m_tile.paths.indexPath);
    if (!m_tile.indexLoaded || !index.open(QIODevice::ReadOnly)) {
        qCDebug(lcPlayerPlayback) << "tile" << m_tile.tile << "cannot open index" << index.fileName();
        Finish(int(ReadResult::End));
        return int(ReadResult::End);
    }
    const bool layout512 = m_tile.Layout512();
    const int entrySize = layout512 ? IndexLayout::kEntry512 : IndexLayout::kEntry224;
    // The 36-byte layout walks over empty seconds forwards only.
    const qint64 delta = (layout512 && backward) ? -entrySize : entrySize;
    const qint64 first = layout512 ? m_tile.index.firstDataPos : IndexLayout::kHeader224;
    const qint64 last = m_tile.index.lastEntryPos;
    for (qint64 pos = position; pos >= first && pos <= last; pos += delta) {
        const QByteArray bytes = ReadAt(index, pos, entrySize);
        if (bytes.isEmpty())
            break;
        if (!layout512) {
            const IndexEntry entry = IndexLayout::ParseEntry36(bytes);
            if (!entry.hasData)
                continue;
            m_tile.indexPos = pos;
            index.close();
            ReadRecordAt(entry.offset);
            return m_tile.readResult;
        }
        m_tile.indexPos = pos;
        bool fileMissing = false;
        if (TakeEntry16(bytes, backward, fileMissing))
            return m_tile.readResult;
        if (fileMissing) {
            Finish(int(ReadResult::End));
            return int(ReadResult::End);
        }
    }
    SetEnd(delta < 0 ? PlayState::Start : PlayState::End);
    Finish(int(ReadResult::End));
    return int(ReadResult::End);
}

bool MediaReader::TakeEntry16(const QByteArray& bytes, bool backward, bool& fileMissing)
{
    const IndexEntry entry = IndexLayout::ParseEntry16(bytes, m_tile.ClientLayout());
    if (!entry.hasData)
        return false;
    if (!ReadBlock(entry.offset, entry.fileNumber)) {
        fileMissing = m_blockPath.isEmpty();
        return false;
    }
    const FrameBlock& block = m_tile.block;
    if (backward) {
        // Going back, a second starts at its last key frame; a second without one cannot be
        // shown on its own and is passed over.
        if (block.KeyCount() == 0)
            return false;
        m_tile.headerIndex = block.KeyList().back();
    } else {
        m_tile.headerIndex = 0;
    }
    m_tile.keyListPos = block.KeyListPosition(m_tile.headerIndex);
    ReadMediaFrame();
    return true;
}

bool MediaReader::OpenBlockFile(int fileNumber, QFile& file) const
{
    const QString dataPath = m_tile.paths.dataPath;
    const QString name = QFileInfo(dataPath).fileName();
    const QString streams = QFileInfo(dataPath).path();
    QString three, six;
    if (!m_tile.ClientLayout() && fileNumber >= 0) {
        if (name.endsWith(QLatin1String("_hd"), Qt::CaseInsensitive) && name.size() >= 7) {
            three = RecorderMedia::StreamName3(fileNumber, name.right(7));
            six = RecorderMedia::StreamName6(fileNumber, name.right(7));
        } else if (name.right(14).startsWith(QLatin1String("stream_"), Qt::CaseInsensitive)) {
            three = RecorderMedia::StreamName3(fileNumber, name.right(4));
            six = RecorderMedia::StreamName6(fileNumber, name.right(4));
        } else if (name.right(17).startsWith(QLatin1String("stream_"), Qt::CaseInsensitive)) {
            six = RecorderMedia::StreamName6(fileNumber, name.right(4));
        }
    }
    if (three.isEmpty() && six.isEmpty()) {
        file.setFileName(dataPath);
        return file.open(QIODevice::ReadOnly);
    }
    if (!three.isEmpty()) {
        file.setFileName(QDir(streams).filePath(three));
        if (file.open(QIODevice::ReadOnly))
            return true;
    }
    file.setFileName(QDir(streams).filePath(six));
    return file.open(QIODevice::ReadOnly);
}

bool MediaReader::ReadBlock(qint64 offset, int fileNumber)
{
    QFile data;
    m_blockPath.clear();
    if (!OpenBlockFile(fileNumber, data)) {
        qCDebug(lcPlayerPlayback) << "tile" << m_tile.tile << "cannot open data file" << data.fileName();
        return false;
    }
    m_blockPath = data.fileName();
    if (offset < 0 || offset >= data.size()) {
        qCDebug(lcPlayerPlayback) << "tile" << m_tile.tile << "block offset outside the data file" << offset;
        return false;
    }
    const QByteArray bytes = ReadAt(data, offset, std::min<qint64>(FrameBlock::kReadSize, data.size() - offset));
    FrameBlock block = FrameBlock::Parse(bytes, m_tile.ClientLayout());
    if (block.Count() == 0) {
        qCDebug(lcPlayerPlayback) << "tile" << m_tile.tile << "no frame headers at" << offset;
        return false;
    }
    m_tile.block = block;
    m_tile.blockFileNumber = fileNumber;
    if (block.FieldMarked())
        m_tile.fieldFlag = true;
    return true;
}

int MediaReader::ReadFrameData(qint64 offset, int length, int prefix)
{
    QFile data(m_blockPath.isEmpty() ? m_tile.paths.dataPath : m_blockPath);
    if (!data.open(QIODevice::ReadOnly))
        return -1;
    if (offset < 0 || length < 0 || length > FrameBlock::kMaxFrameLength || offset > data.size() - length)
        return 0;
    m_frame.resize(size_t(prefix + length));
    if (length == 0)
        return 1;
    if (!data.seek(offset) || data.read(reinterpret_cast<char*>(m_frame.data()) + prefix, length) != length)
        return 0;
    return 1;
}

void MediaReader::ReadMediaFrame()
{
    const FrameBlock& block = m_tile.block;
    if (m_tile.headerIndex < 0 || m_tile.headerIndex >= block.Count())
        return;
    if (m_tile.fieldFlag) {
        // Fields decode from their key frame: take the next key frame of the block.
        int key = -1;
        for (int i = Backward() ? 0 : m_tile.headerIndex; i < block.Count() && key < 0; ++i) {
            if (block.Header(i).key)
                key = i;
        }
        if (key < 0) {
            ReadIndexEntry(m_tile.indexPos + (Backward() ? -IndexLayout::kEntry512 : IndexLayout::kEntry512));
            return;
        }
        m_tile.headerIndex = key;
        m_tile.keyListPos = block.KeyListPosition(key);
    }
    const FrameHeader& h = block.Header(m_tile.headerIndex);
    m_tile.SetCurrent(h.date, h.time);

    if (!m_tile.fieldFlag && block.Mark() == FrameBlock::kOrdinary && h.keyOffset >= 0
        && h.keyOffset != m_tile.lastKeyOffset && h.dataOffset != h.keyOffset && h.keyLength > 0) {
        // The decoder needs the picture's key frame before a frame within its group. When the
        // group began in an earlier second, its frames there are decoded too.
        bool keyInBlock = false;
        for (int i = 0; i < block.Count() && !keyInBlock; ++i)
            keyInBlock = block.Header(i).dataOffset == h.keyOffset;
        if (keyInBlock || !DecodeEarlierPartOfGroup(h.keyOffset)) {
            const int read = ReadFrameData(h.keyOffset, h.keyLength);
            if (read < 0) {
                Finish(int(ReadResult::End));
                return;
            }
            if (read > 0)
                m_handOff.PutFrame(m_frame.data(), int(m_frame.size()), true, true, 1);
        }
        m_tile.lastKeyOffset = h.keyOffset;
        // Each predicted frame refers to the one before it: the frames of the group between the
        // key frame and this one are decoded (not shown) first, or this frame would be decoded
        // against the key frame and show broken blocks.
        for (int i = 0; i < m_tile.headerIndex; ++i) {
            const FrameHeader& between = block.Header(i);
            if (between.key || between.keyOffset != h.keyOffset || between.dataOffset == h.keyOffset
                || between.dataLength <= 0)
                continue;
            const int got = ReadFrameData(between.dataOffset, between.dataLength);
            if (got < 0) {
                Finish(int(ReadResult::End));
                return;
            }
            if (got > 0)
                m_handOff.PutFrame(m_frame.data(), int(m_frame.size()), true, true, int((between.kind >> 1) & 3));
        }
    }
    const int read = ReadFrameData(h.dataOffset, h.dataLength);
    if (read < 0) {
        Finish(int(ReadResult::End));
        return;
    }
    m_tile.currentSecond = h.secondOfDay;
    if (read > 0 && h.dataLength > 0) {
        m_handOff.PutFrame(m_frame.data(), int(m_frame.size()), false, true, int((h.kind >> 1) & 3));
        if (h.key)
            m_tile.lastKeyOffset = h.dataOffset;
    } else {
        qCDebug(lcPlayerPlayback) << "tile" << m_tile.tile << "frame outside its file skipped" << h.dataOffset
                                  << h.dataLength;
    }
    m_host.StepMessageBox();
    Finish(int(ReadResult::Frame));
}

FrameBlock MediaReader::PeekBlock(const IndexEntry& entry, QString& path) const
{
    QFile data;
    if (!entry.hasData || !OpenBlockFile(entry.fileNumber, data) || entry.offset < 0
        || entry.offset >= data.size())
        return FrameBlock();
    path = data.fileName();
    const QByteArray bytes = ReadAt(data, entry.offset,
                                    std::min<qint64>(FrameBlock::kReadSize, data.size() - entry.offset));
    return FrameBlock::Parse(bytes, m_tile.ClientLayout());
}

bool MediaReader::DecodeEarlierPartOfGroup(qint64 keyOffset)
{
    // A group spans a few seconds; a recorder starts a new one at least every few dozen.
    constexpr int kSecondsBack = 120;
    QFile index(m_tile.paths.indexPath);
    if (!m_tile.Layout512() || !index.open(QIODevice::ReadOnly))
        return false;
    struct Earlier
    {
        FrameBlock block;
        QString path;
    };
    std::vector<Earlier> blocks; // newest first
    bool found = false;
    qint64 pos = m_tile.indexPos - IndexLayout::kEntry512;
    for (int n = 0; n < kSecondsBack && !found && pos >= m_tile.index.firstDataPos;
         ++n, pos -= IndexLayout::kEntry512) {
        const IndexEntry entry = IndexLayout::ParseEntry16(ReadAt(index, pos, IndexLayout::kEntry512),
                                                           m_tile.ClientLayout());
        if (!entry.hasData)
            continue;
        Earlier earlier;
        earlier.block = PeekBlock(entry, earlier.path);
        if (earlier.block.Count() == 0)
            return false;
        for (int i = 0; i < earlier.block.Count() && !found; ++i)
            found = earlier.block.Header(i).dataOffset == keyOffset;
        blocks.push_back(std::move(earlier));
    }
    if (!found)
        return false;
    const QString current = m_blockPath;
    for (auto it = blocks.rbegin(); it != blocks.rend(); ++it) {
        m_blockPath = it->path;
        for (int i = 0; i < it->block.Count(); ++i) {
            const FrameHeader& f = it->block.Header(i);
            const bool isKey = f.dataOffset == keyOffset;
            if ((!isKey && f.keyOffset != keyOffset) || f.dataLength <= 0)
                continue;
            if (ReadFrameData(f.dataOffset, f.dataLength) > 0)
                m_handOff.PutFrame(m_frame.data(), int(m_frame.size()), true, true,
                                   isKey ? 1 : int((f.kind >> 1) & 3));
        }
    }
    m_blockPath = current;
    return true;
}

void MediaReader::ReadRecordAt(qint64 offset)
{
    QFile data(m_tile.paths.dataPath);
    if (!data.open(QIODevice::ReadOnly)) {
        m_host.StepMessageBox();
        Finish(int(ReadResult::End));
        return;
    }
    const QByteArray bytes = ReadAt(data, offset, FrameRecord::kSize);
    FrameRecord record;
    if (!FrameRecord::Parse(bytes, record)) {
        qCDebug(lcPlayerPlayback) << "tile" << m_tile.tile << "no frame record at" << offset;
        SetEnd(Backward() ? PlayState::Start : PlayState::End);
        Finish(int(ReadResult::End));
        return;
    }
    m_tile.record = record;
    m_tile.recordOffset = offset;
    m_recordBytes = bytes;
    m_blockPath.clear();
    ReadClientFrame(offset + FrameRecord::kSize, record.HeaderOnly() ? 0 : record.PayloadLength());
}

void MediaReader::ReadClientFrame(qint64 offset, int length)
{
    const int read = ReadFrameData(offset, length, FrameRecord::kSize);
    if (read < 0) {
        m_host.StepMessageBox();
        Finish(int(ReadResult::End));
        return;
    }
    const FrameRecord& r = m_tile.record;
    const int second = r.SecondOfDay();
    const int time = second < 0 ? 0 : second / 3600 * 10000 + second / 60 % 60 * 100 + second % 60;
    m_tile.SetCurrent(r.Date(), time);
    m_tile.currentSecond = std::max(second, 0);
    if (read > 0 && m_recordBytes.size() == FrameRecord::kSize) {
        std::memcpy(m_frame.data(), m_recordBytes.constData(), FrameRecord::kSize);
        m_handOff.PutFrame(m_frame.data(), int(m_frame.size()), false, false, r.FrameType());
    } else {
        qCDebug(lcPlayerPlayback) << "tile" << m_tile.tile << "frame record payload outside the file" << offset;
    }
    m_tile.opened = true;
    m_host.StepMessageBox();
    Finish(int(ReadResult::Frame));
}

int MediaReader::FrameBudget() const
{
    const int rate = std::max(1, m_host.TileFrameRate(m_tile.tile));
    const int split = std::max(1, m_host.SplitCount());
    if (!m_host.IsTileVisible(m_tile.tile))
        return 1;
    const int base = split == 1 ? rate : (m_tile.index.LargeBlock() ? 8 : 64);
    int budget = base / split;
    const int estimate = m_tile.stepEstimate.load();
    if (estimate > 0)
        budget = std::min(budget, estimate);
    return std::clamp(budget, 1, rate);
}

void MediaReader::NextFrame(bool singleStep)
{
    if (!m_tile.Layout512()) {
        const FrameRecord& r = m_tile.record;
        // A chain that does not move forward would play the same records for ever.
        if (m_tile.recordOffset < 0 || r.more < 0 || r.next < 0 || r.next <= m_tile.recordOffset) {
            SetEnd(PlayState::End);
            Finish(int(ReadResult::End));
            return;
        }
        ReadRecordAt(r.next);
        return;
    }
    if (m_tile.skip.exchange(false)) {
        m_tile.step = TileState::kImmediateStep;
        m_tile.lastKeyOffset = -1;
        ReadIndexEntry(m_tile.indexPos + IndexLayout::kEntry512);
        return;
    }
    const FrameBlock& block = m_tile.block;
    const int count = block.Count();
    const int previous = m_tile.headerIndex;
    const bool visible = m_host.IsTileVisible(m_tile.tile);
    const bool single = m_host.SplitCount() == 1;
    int next = previous + 1;
    int keyPos = -2; // -2: follows the new header
    bool usedUp = false;

    if (m_tile.index.KeyStep()) {
        if (!visible) {
            usedUp = true;
        } else if (!single) {
            const int kp = m_tile.keyListPos + 1;
            if (kp >= block.KeyCount())
                usedUp = true;
            else
                next = block.KeyList()[size_t(kp)], keyPos = kp;
        }
    } else if (!(singleStep || m_tile.State() == PlayState::StepForward || block.Stepped())) {
        int budget = FrameBudget();
        if (m_tile.fieldFlag)
            budget = single ? count : 1;
        // Skipping lands on key frames only, so it needs two of them in the block; a second
        // with one key frame or none (common in client recordings) plays every frame.
        if (budget < count && block.KeyCount() >= 2) {
            const int n = std::max(1, block.KeyCount() / budget);
            const int kp = std::max(m_tile.keyListPos, -1) + n;
            if (kp >= block.KeyCount() || kp >= FrameBlock::kMaxHeaders) {
                usedUp = true;
            } else {
                next = block.KeyList()[size_t(kp)];
                keyPos = kp;
            }
        }
    }
    if (usedUp || next >= count) {
        // Frames advanced up to the next block's first one.
        m_tile.step = std::max(1, count - previous);
        ReadIndexEntry(m_tile.indexPos + IndexLayout::kEntry512);
        return;
    }
    // The pause before the next frame covers every frame passed over, key frames evenly spaced
    // or not: a jump from key frame to key frame paced as one frame would play too fast.
    m_tile.step = std::max(1, next - previous);
    m_tile.headerIndex = next;
    m_tile.keyListPos = keyPos == -2 ? block.KeyListPosition(next) : keyPos;
    ReadMediaFrame();
}

void MediaReader::StepBackMedia()
{
    if (!m_tile.Layout512()) {
        PreviousRecord();
        return;
    }
    const FrameBlock& block = m_tile.block;
    const int current = m_tile.headerIndex;
    if (current > 0 && block.KeyCount() > 0 && m_tile.keyListPos >= 0) {
        const PlayState state = m_tile.State();
        int n = 1;
        if (!((state == PlayState::StepForward || state == PlayState::StepBackward) && !m_tile.fieldFlag)) {
            int estimate = m_tile.stepEstimate.load();
            const int split = std::max(1, m_host.SplitCount());
            if (estimate == 0) {
                const int base = split == 1 ? 30 : (m_tile.index.LargeBlock() ? 8 : 64);
                estimate = std::clamp(base / split, 0, 30);
                m_tile.stepEstimate = estimate;
            }
            const int rate = std::max(1, m_host.TileFrameRate(m_tile.tile));
            const int divisor = m_tile.fieldFlag ? 1 : std::clamp(estimate, 1, rate);
            const int total = (block.Stepped() || m_tile.fieldFlag) ? block.Count() : block.KeyCount();
            n = std::max(1, total / divisor);
        }
        if (m_tile.index.KeyStep())
            n = 1;
        // A frame after its key frame steps back to that key frame first.
        const int atKey = block.KeyList()[size_t(m_tile.keyListPos)];
        const int kp = atKey < current ? m_tile.keyListPos - (n - 1) : m_tile.keyListPos - n;
        if (kp >= 0) {
            const int target = block.KeyList()[size_t(kp)];
            m_tile.step = current - target;
            m_tile.headerIndex = target;
            m_tile.keyListPos = kp;
            ReadMediaFrame();
            return;
        }
    }
    if (m_tile.indexPos - IndexLayout::kEntry512 < m_tile.index.firstDataPos) {
        m_tile.SetState(PlayState::Start);
        Finish(int(ReadResult::End));
        return;
    }
    WalkEntries(m_tile.indexPos - IndexLayout::kEntry512, true);
}

void MediaReader::NextSecond()
{
    if (!m_tile.Layout512()) {
        const FrameRecord& r = m_tile.record;
        if (m_tile.recordOffset < 0 || r.nextKey < 0 || r.nextKey <= m_tile.recordOffset) {
            SetEnd(PlayState::End);
            Finish(int(ReadResult::End));
            return;
        }
        ReadRecordAt(r.nextKey);
        return;
    }
    ReadIndexEntry(m_tile.indexPos + IndexLayout::kEntry512);
}

void MediaReader::PreviousSecond()
{
    if (!m_tile.Layout512()) {
        PreviousRecord();
        return;
    }
    if (m_tile.indexPos <= m_tile.index.firstDataPos) {
        m_tile.headerIndex = 0;
        m_tile.keyListPos = m_tile.block.KeyListPosition(0);
        ReadMediaFrame();
        m_tile.SetState(PlayState::Start);
        return;
    }
    WalkEntries(m_tile.indexPos - IndexLayout::kEntry512, true);
}

void MediaReader::PreviousRecord()
{
    const FrameRecord& r = m_tile.record;
    if (m_tile.recordOffset < 0 || r.previous < 0 || r.previous >= m_tile.recordOffset) {
        m_tile.SetState(PlayState::Start);
        Finish(int(ReadResult::End));
        return;
    }
    ReadRecordAt(r.previous);
}
