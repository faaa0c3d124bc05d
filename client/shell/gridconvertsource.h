#pragma once
// The convert window's reader in the program: a hidden one-cell grid of the local-file kind that
// reads each recording second by second in convert mode, handing every frame to the job.
#include "backup/convertsource.h"

#include <memory>

class CCameo;

class GridConvertSource : public ConvertSource
{
public:
    // The grid is made here, on the user-interface thread, with the window as its owner.
    explicit GridConvertSource(QWidget* owner);
    ~GridConvertSource() override;

    void SetConvertJob(ConvertJob* job) override;
    bool OpenLocalFile(const QString& folder, const QString& fileName) override;
    int StartTime() const override;
    int EndTime() const override;
    int FirstSecond() const override;
    bool MinutePresent(int minuteOfDay) const override;
    void ReadLocalIndex(int hour, int minute, int second, ConvertJob& job) override;

    CCameo* Grid() const { return m_grid.get(); }

private:
    std::unique_ptr<CCameo> m_grid;
    int m_firstSecond = -1;
};
