#pragma once
// A convert source that reads the recording's files itself, without a grid: the convert window
// uses it where the program installed no grid.
#include "backup/convertsource.h"
#include "common/media/localrecordreader.h"

class RecordingConvertSource : public ConvertSource
{
public:
    void SetConvertJob(ConvertJob*) override {}
    bool OpenLocalFile(const QString& folder, const QString& fileName) override;
    int StartTime() const override { return m_table.firstTime; }
    int EndTime() const override { return m_table.lastTime; }
    int FirstSecond() const override { return m_firstSecond; }
    bool MinutePresent(int minuteOfDay) const override;
    void ReadLocalIndex(int hour, int minute, int second, ConvertJob& job) override;

private:
    LocalRecordReader m_reader;
    LocalMinuteTable m_table;
    int m_firstSecond = -1;
};
