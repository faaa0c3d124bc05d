#pragma once
// Search tests against the recorder simulator: its options for a recorded day of a real H.264
// stream, and a remote playback window opened on a recorder the way the main window opens it.
#include <QString>
#include <QStringList>

class RecorderSession;
class MainWindow;
class SearchView;

// One recorded day (20240205 unless `days` > 1: the days up to it) of a 352 x 240 stream from
// `start` to `end` (HHMMSS), `fps` frames per second; `extra` options follow.
QStringList RecordedDayOptions(const QString& start, const QString& end, int fps, int days = 1,
                               const QStringList& extra = {});

// Shows the hub and opens its remote playback window on the recorder at date and time (-1 for
// the start dialog); the window, or null when none shows the recorder.
SearchView* OpenRemoteSearch(MainWindow& hub, RecorderSession* device, int date, int time);
