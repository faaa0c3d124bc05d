#pragma once
// The walk of a museum search through a time range of the day, free of widgets: the checks
// before it starts, the time to fetch after each searched picture (one second on after a miss,
// ten seconds on after a match), the end rules, the list of at most 260 matches and the progress.
#include <QString>
#include <QVector>

enum class MuseumStartCheck { Ok, BadTime, NoArea };

class MuseumSearchRun
{
public:
    static constexpr int kMaxHits = 260;
    static constexpr int kMissStepSeconds = 1;
    static constexpr int kMatchStepSeconds = 10;
    static constexpr int kFinished = -1;
    static constexpr int kNoProgress = -1;

    // What one searched picture leads to.
    struct Step
    {
        int next = kFinished;       // HHMMSS to fetch next, or kFinished
        int progress = kNoProgress; // percent, or kNoProgress
        bool hitStored = false;     // the picture was added to the hit list
        bool finishedNow = false;   // this picture ended the search
    };

    // Checks the range and the area and, when they are fine, begins a new walk. The end is cut
    // to the latest recorded time before it is compared with the start.
    MuseumStartCheck Start(int startHhmmss, int endHhmmss, int latestHhmmss, bool hasArea);

    // A searched picture at "hh:mm:ss"; match = the scheduler marked it; boxOpen = the progress
    // box is still open (closing it stops the search at the next picture).
    Step OnPicture(const QString& timeText, bool match, bool boxOpen);

    // Forgets the walk and its hits.
    void Reset();
    void Stop() { m_continue = false; }
    bool IsRunning() const { return m_running; }
    int HitCount() const { return m_hits.size(); }
    const QVector<int>& Hits() const { return m_hits; }
    int HitTime(int index) const { return index >= 0 && index < m_hits.size() ? m_hits[index] : -1; }
    QString EndText() const { return m_endText; }

    static QString ProgressText(int progress);
    // The end a new search proposes: three minutes after the start, at most 23:59:59.
    static int DefaultEnd(int startHhmmss);
    static QString TimeText(int hhmmss);
    static int SecondsOf(int hhmmss);

private:
    Step Finish();

    QString m_endText;
    int m_startSeconds = 0;
    int m_endSeconds = 0;
    int m_latest = 0;
    bool m_continue = false;
    bool m_running = false;
    QVector<int> m_hits;
};
