#include "backup/recordingconvertsource.h"

#include "backup/convertjob.h"

bool RecordingConvertSource::OpenLocalFile(const QString& folder, const QString& fileName)
{
    m_reader = LocalRecordingReader();
    return m_reader.Open(folder, fileName);
}

void RecordingConvertSource::ReadLocalIndex(int hour, int minute, int second, ConvertJob& job)
{
    const QVector<LocalRecordingReader::Frame> frames = m_reader.ReadSecond((hour * 60 + minute) * 60 + second);
    for (const LocalRecordingReader::Frame& frame : frames)
        job.ConvertFrame(ConvertJob::Picture{frame.data, frame.key, frame.timestamp, frame.date, frame.time},
                         frames.size());
}
