#pragma once
// What the convert job reads a recording through, one second at a time: in the program a
// hidden one-cell local-file grid, else a plain reader of the recording's files. The source
// hands each picture of the second it reads to the job.
#include <QString>

#include <functional>
#include <memory>

class ConvertJob;
class QWidget;

class ConvertSource
{
public:
    virtual ~ConvertSource() = default;

    // The job that gets the pictures from now on (null: no conversion; a grid plays again).
    virtual void SetConvertJob(ConvertJob* job) = 0;

    // Opens folder + fileName; false when it is not a recording that can be read.
    virtual bool OpenLocalFile(const QString& folder, const QString& fileName) = 0;
    // HHMMSS of the first and last recorded minute, -1 when none.
    virtual int StartTime() const = 0;
    virtual int EndTime() const = 0;
    // Second of the day where reading starts (the first recorded minute), -1 when none.
    virtual int FirstSecond() const = 0;
    virtual bool MinutePresent(int minuteOfDay) const = 0;
    // Reads one second of the day and hands its pictures, in order, to ConvertJob::ConvertFrame.
    virtual void ReadLocalIndex(int hour, int minute, int second, ConvertJob& job) = 0;

    // Makes the source a convert window uses (its parent widget given); the program installs
    // one that builds the hidden grid. Without one, the files are read directly.
    using Factory = std::function<std::unique_ptr<ConvertSource>(QWidget* parent)>;
    static void InstallFactory(Factory factory);
    static std::unique_ptr<ConvertSource> Create(QWidget* parent);
};
