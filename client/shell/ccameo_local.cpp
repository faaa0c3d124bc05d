// Playback of local recordings in a local-file grid: the grid's face over the per-cell playback
// state (LocalPlaybackCell) and the layout reader (LocalRecordReader).
#include "shell/ccameo.h"

#include <QDebug>

#include "backup/convertjob.h"
#include "common/media/moduledecoder.h"
#include "shell/shelllog.h"

namespace {

// A result of the decoder from this size code on is a picture (a width of at least 1).
constexpr int kFirstPictureCode = 1001;
// Recorded frames are the recorder's frame payload as received.
constexpr int kRecordedFrameMode = 0;

} // namespace

LocalPlaybackCell* CCameo::LocalCell(int cell) const
{
    if (cell < 0 || cell >= kLocalDecoders || cell >= m_cellCount || m_kind != CameoKind::Local)
        return nullptr;
    return m_local[cell].get();
}

const LocalPlaybackCell* CCameo::GetLocalPlayback(int cell) const
{
    return LocalCell(cell);
}

void CCameo::MirrorLocalCellLocked(int cell)
{
    const LocalPlaybackCell* local = LocalCell(cell);
    if (!local)
        return;
    CameoCell& c = m_cells[cell];
    c.playbackControl = local->GetControl();
    c.speed = local->GetSpeed();
    c.localDate = local->GetLocalDate();
    c.localTime = local->GetLocalTime();
}

void CCameo::StopLocalPlayback()
{
    for (auto& local : m_local) {
        if (local)
            local->Stop();
    }
}

void CCameo::OpenLocalFile(const QString& folder, const QString& fileName)
{
    if (m_closing)
        return;
    const int cell = m_selectedCell;
    LocalPlaybackCell* local = LocalCell(cell);
    if (!local) {
        qCDebug(lcShell) << "CCameo::OpenLocalFile: no local cell" << cell;
        return;
    }
    const int channel = LocalRecordReader::ChannelOfDataFile(fileName);
    if (channel < 0) {
        qCDebug(lcShell) << "CCameo::OpenLocalFile: not a recorded data file" << fileName;
        return;
    }
    {
        QMutexLocker lock(&m_cellsLock);
        CameoCell& c = m_cells[cell];
        c.channel = channel;
        c.recorder = kLocalRecorder;
        c.localFolder = folder;
        c.localDataFile = fileName;
        c.localIndexFile = LocalRecordReader::IndexFileName(fileName);
    }
    local->SetFiles(folder, fileName);
    ReadLocalHeader(kLocalRecorder, cell);
}

void CCameo::ReadLocalHeader(int recorder, int cell)
{
    LocalPlaybackCell* local = LocalCell(cell);
    if (recorder != kLocalRecorder || !local)
        return;
    QByteArray header;
    if (!local->LoadIndex(header)) {
        qCDebug(lcShell) << "CCameo::ReadLocalHeader: no index in" << local->Reader().IndexPath();
        return;
    }
    OnSetIntraIndex(cell, header.constData(), header.size(), -1);
}

void CCameo::OnSetIntraIndex(int cell, const char* header, int length, int tag)
{
    LocalPlaybackCell* local = LocalCell(cell);
    if (!local || !header || length != LocalRecordReader::kHeaderSize)
        return;
    const bool hasData = local->SetIndex(QByteArray(header, length), tag);
    bool localCell = false;
    {
        QMutexLocker lock(&m_cellsLock);
        localCell = m_cells[cell].recorder == kLocalRecorder;
    }
    if (!localCell || !hasData)
        return;
    // A thread that still runs keeps going and reads the new recording from its next second. A
    // conversion reads the seconds itself.
    if (!local->IsRunning() && !IsConvertMode())
        local->Start(&CCameo::THREAD_LOCAL_FILE, this, cell);
}

void CCameo::THREAD_LOCAL_FILE(void* arg, int cell)
{
    auto* grid = static_cast<CCameo*>(arg);
    LocalPlaybackCell* local = grid->LocalCell(cell);
    if (!local)
        return;
    local->Run(grid->m_closing, cell, [grid, cell](int hour, int minute, int second) {
        grid->ReadLocalIndex(cell, hour, minute, second);
    });
    {
        QMutexLocker lock(&grid->m_cellsLock);
        grid->MirrorLocalCellLocked(cell);
    }
    // A request that only raised the flag would leave a sleeping redraw thread asleep for good:
    // later pictures find the flag raised and wake nobody.
    grid->RequestRedraw();
}

void CCameo::ReadLocalIndex(int cell, int hour, int minute, int second)
{
    const LocalPlaybackCell* local = LocalCell(cell);
    if (!local)
        return;
    const qint64 offset = local->ReadEntry(hour, minute, second);
    if (offset >= 0)
        ReadLocalSecond(cell, offset);
}

void CCameo::ReadLocalSecond(int cell, qint64 offset)
{
    const LocalPlaybackCell* local = LocalCell(cell);
    if (!local)
        return;
    const QByteArray records = local->ReadRecords(offset);
    if (!records.isEmpty())
        PlayLocalSecond(cell, offset, records.constData(), records.size());
}

void CCameo::PlayLocalSecond(int cell, qint64 /*offset*/, const char* records, int length)
{
    LocalPlaybackCell* local = LocalCell(cell);
    if (!local || !records || length < LocalRecordReader::kRecordSize)
        return;
    QVector<LocalFrameEntry>& frames = local->SecondFrames();
    frames = LocalRecordReader::ParseRecords(QByteArray::fromRawData(records, length));
    if (frames.isEmpty())
        return;
    int keyIndex = -1;
    for (int i = 0; i < frames.size(); ++i) {
        if (frames[i].key)
            keyIndex = i;
    }
    local->SetLocalDateTime(frames.last().date, frames.last().time);

    if (IsConvertMode()) {
        // Every frame, as fast as it can be read and converted.
        for (int i = 0; i < frames.size() && !m_closing; ++i)
            ShowLocalFrame(cell, i, i == keyIndex);
        return;
    }
    const bool keyOnly = local->IsKeyFramesOnly();
    const int interval = LocalPlaybackCell::FrameInterval(frames.size(), keyOnly, local->GetSpeed());
    for (int i = 0; i < frames.size() && !m_closing; ++i) {
        if (!LocalPlaybackCell::IsFrameShown(i, keyOnly, keyIndex))
            continue;
        ShowLocalFrame(cell, i, i == keyIndex);
        local->PaceFrame(interval, m_closing);
    }
}

void CCameo::ShowLocalFrame(int cell, int index, bool key)
{
    LocalPlaybackCell* local = LocalCell(cell);
    if (!local || index < 0 || index >= local->SecondFrames().size())
        return;
    const LocalFrameEntry& entry = local->SecondFrames().at(index);
    // The one place a frame leaves the recording: a conversion takes it instead of the decoder.
    // Only the cell's playing thread reads through the data file the cell keeps open.
    ConvertJob* job = m_convertJob.load();
    QByteArray frame = job ? local->Reader().ReadFrame(entry) : local->ReadFrame(entry);
    if (frame.isEmpty())
        return;
    if (job) {
        job->ConvertFrame(ConvertJob::Picture{frame, key, entry.timeStamp, entry.date, entry.time},
                          local->SecondFrames().size());
        return;
    }
    DecodeLocalFrame(cell, frame);
}

void CCameo::DecodeLocalFrame(int cell, QByteArray& frame)
{
    if (!LocalCell(cell) || frame.isEmpty() || !m_decoders[cell])
        return;
    // The decoder repairs the frame in place: the frame read for it is its own to change.
    const int result = m_decoders[cell]->OnDecode(reinterpret_cast<unsigned char*>(frame.data()), frame.size(),
                                                  kRecordedFrameMode, 0, 0, false);
    const bool newPicture = result >= kFirstPictureCode;
    if (newPicture)
        ++m_localDecoded;
    if (m_closing || m_kind == CameoKind::Playback)
        return;
    if (!m_cellsLock.tryLock())
        return; // the next frame shows
    MirrorLocalCellLocked(cell);
    if (m_kind == CameoKind::Local)
        RefreshCellPicture(cell, !newPicture, false);
    m_cellsLock.unlock();
}

void CCameo::OnPlaybackCtrl(int control)
{
    if (m_closing || m_kind != CameoKind::Local)
        return;
    QVector<LocalPlaybackCell*> cells;
    for (int i = 0; i < m_cellCount && i < kLocalDecoders; ++i) {
        if (m_local[i])
            cells.append(m_local[i].get());
    }
    if (cells.isEmpty())
        return;
    qCDebug(lcShell) << "CCameo : OnPlaybackCtrl nControl =" << control << "speed" << cells.first()->GetSpeed();
    LocalPlaybackCell::ApplyControl(cells, control);
    qCDebug(lcShell) << "CCameo : OnPlaybackCtrl nControl =" << control << "speed" << cells.first()->GetSpeed();
    {
        QMutexLocker lock(&m_cellsLock);
        for (int i = 0; i < cells.size(); ++i)
            MirrorLocalCellLocked(i);
    }
    RequestRedraw();
}
