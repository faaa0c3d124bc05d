#include "shell/gridconvertsource.h"

#include "common/media/localrecordreader.h"
#include "shell/cameokind.h"
#include "shell/ccameo.h"
#include "shell/localplaybackcell.h"
#include "shell/shelllog.h"

namespace {

constexpr int kCell = 0;

// The grid keeps a cell's recording when the next one cannot be opened; what it would not take
// is refused here first: a data file name, an index longer than its header, a recorded minute.
bool IsReadableRecording(const QString& folder, const QString& fileName)
{
    if (LocalRecordReader::ChannelOfDataFile(fileName) < 0)
        return false;
    LocalRecordReader reader;
    reader.SetFiles(folder, fileName);
    QByteArray header;
    LocalMinuteTable table;
    int hour = 0;
    int minute = 0;
    return reader.ReadHeader(header) && LocalRecordReader::BuildMinuteTable(header, -1, table)
           && table.FirstPresent(hour, minute);
}

} // namespace

GridConvertSource::GridConvertSource(QWidget* owner)
    : m_grid(std::make_unique<CCameo>(owner))
{
    m_grid->InitCameo(int(CameoKind::Local), 1, -1);
    m_grid->OnSplitMode(0, 1, false);
    m_grid->setGeometry(0, 500, 20, 20);
    m_grid->hide();
}

GridConvertSource::~GridConvertSource() = default;

void GridConvertSource::SetConvertJob(ConvertJob* job)
{
    m_grid->SetConvertJob(job);
}

bool GridConvertSource::OpenLocalFile(const QString& folder, const QString& fileName)
{
    m_firstSecond = -1;
    if (!IsReadableRecording(folder, fileName)) {
        qCDebug(lcShell) << "GridConvertSource: not a recording" << folder + fileName;
        return false;
    }
    m_grid->OpenLocalFile(folder, fileName);
    const LocalPlaybackCell* local = m_grid->GetLocalPlayback(kCell);
    if (!local || local->GetFirstTime() < 0)
        return false;
    m_firstSecond = local->GetPosition();
    return true;
}

int GridConvertSource::StartTime() const
{
    const LocalPlaybackCell* local = m_grid->GetLocalPlayback(kCell);
    return local ? local->GetFirstTime() : -1;
}

int GridConvertSource::EndTime() const
{
    const LocalPlaybackCell* local = m_grid->GetLocalPlayback(kCell);
    return local ? local->GetLastTime() : -1;
}

int GridConvertSource::FirstSecond() const
{
    return m_firstSecond;
}

bool GridConvertSource::MinutePresent(int minuteOfDay) const
{
    const LocalPlaybackCell* local = m_grid->GetLocalPlayback(kCell);
    return local && local->IsMinutePresent(minuteOfDay / 60, minuteOfDay % 60);
}

void GridConvertSource::ReadLocalIndex(int hour, int minute, int second, ConvertJob&)
{
    // The grid hands the second's frames to the job it was given (SetConvertJob).
    m_grid->ReadLocalIndex(kCell, hour, minute, second);
}
