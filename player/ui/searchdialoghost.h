#pragma once
// What the recorder search dialogs need of the main dialog: the recorder to search (none while
// the hub's map is empty), request ids from the main dialog's counter, the wait box, the
// language table, the time search bar's cells and the start of playback of a chosen day.
#include <QString>

class HPNetServer;

class SearchDialogHost
{
public:
    virtual ~SearchDialogHost() = default;
    virtual HPNetServer* SearchRecorder() = 0;
    virtual quint32 NextRequestId() = 0;
    // The wait box of the calendar search with `steps` steps and the language text of `key`.
    virtual void ShowSearchWaitBox(int steps, const char* key) = 0;
    virtual void StepSearchWaitBox() = 0;
    virtual QString Text(const char* key) const = 0;
    virtual void SetTimeBarCell(int row, int cell, int value) = 0;
    // Ok of the calendar search: plays the recorder's channels on the first tiles from the
    // chosen day and slider position, and shows the day on the control bar.
    virtual void PlayRecorderDay(HPNetServer& recorder, const QString& day, int position,
                                 const QString& timeText) = 0;
};
