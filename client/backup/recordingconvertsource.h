#pragma once
// A convert source that reads the recording's files itself, without a grid.
#include "backup/convertsource.h"
#include "backup/localrecordingreader.h"

class RecordingConvertSource : public ConvertSource
{
public:
    bool OpenLocalFile(const QString& folder, const QString& fileName) override;
    int StartTime() const override { return m_reader.StartTime(); }
    int EndTime() const override { return m_reader.EndTime(); }
    int FirstSecond() const override { return m_reader.FirstSecond(); }
    bool MinutePresent(int minuteOfDay) const override { return m_reader.MinutePresent(minuteOfDay); }
    void ReadLocalIndex(int hour, int minute, int second, ConvertJob& job) override;

private:
    LocalRecordingReader m_reader;
};
