#include "backup/recordingconvertsource.h"

#include "backup/convertjob.h"

bool RecordingConvertSource::OpenLocalFile(const QString& folder, const QString& fileName)
{
    m_table = LocalMinuteTable();
    m_firstSecond = -1;
    if (LocalRecordReader::ChannelOfDataFile(fileName) < 0)
        return false;
    m_reader.SetFiles(folder, fileName);
    QByteArray header;
    int hour = 0;
    int minute = 0;
    if (!m_reader.ReadHeader(header) || !LocalRecordReader::BuildMinuteTable(header, -1, m_table)
        || !m_table.FirstPresent(hour, minute))
        return false;
    m_firstSecond = (hour * 60 + minute) * 60;
    return true;
}

bool RecordingConvertSource::MinutePresent(int minuteOfDay) const
{
    return m_table.IsPresent(minuteOfDay / 60, minuteOfDay % 60);
}

void RecordingConvertSource::ReadLocalIndex(int hour, int minute, int second, ConvertJob& job)
{
    const qint64 offset = m_reader.ReadEntry(m_table, hour, minute, second);
    if (offset < 0)
        return;
    const QVector<LocalFrameEntry> records = LocalRecordReader::ParseRecords(m_reader.ReadRecords(offset));
    int keyIndex = -1;
    for (int i = 0; i < records.size(); ++i) {
        if (records[i].key)
            keyIndex = i;
    }
    for (int i = 0; i < records.size(); ++i) {
        const QByteArray frame = m_reader.ReadFrame(records[i]);
        if (!frame.isEmpty())
            job.ConvertFrame(
                ConvertJob::Picture{frame, i == keyIndex, records[i].timeStamp, records[i].date, records[i].time},
                records.size());
    }
}
