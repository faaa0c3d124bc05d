#include "museumsearchrun.h"

#include <QTime>

namespace {

struct Hms
{
    int hour = 0;
    int minute = 0;
    int second = 0;

    int Hhmmss() const { return hour * 10000 + minute * 100 + second; }
    int Seconds() const { return hour * 3600 + minute * 60 + second; }
    QString Text() const { return MuseumSearchRun::TimeText(Hhmmss()); }
};

bool ParseTime(const QString& text, Hms& time)
{
    const QTime parsed = QTime::fromString(text, QStringLiteral("hh:mm:ss"));
    time = Hms{parsed.hour(), parsed.minute(), parsed.second()};
    return parsed.isValid();
}

// Seconds carry into minutes; a minute carry into the hour starts that hour at second 0.
void Normalise(Hms& time)
{
    if (time.second >= 60) {
        time.minute += time.second / 60;
        time.second %= 60;
    }
    if (time.minute >= 60) {
        time.hour += time.minute / 60;
        time.minute %= 60;
        time.second = 0;
    }
}

} // namespace

int MuseumSearchRun::SecondsOf(int hhmmss)
{
    return hhmmss / 10000 * 3600 + hhmmss / 100 % 100 * 60 + hhmmss % 100;
}

QString MuseumSearchRun::TimeText(int hhmmss)
{
    return QString::asprintf("%02d:%02d:%02d", hhmmss / 10000, hhmmss / 100 % 100, hhmmss % 100);
}

QString MuseumSearchRun::ProgressText(int progress)
{
    return progress == kNoProgress ? QStringLiteral("Searching...")
                                   : QStringLiteral("Searching... (%1%)").arg(progress);
}

int MuseumSearchRun::DefaultEnd(int startHhmmss)
{
    Hms end{startHhmmss / 10000, startHhmmss / 100 % 100 + 3, startHhmmss % 100};
    if (end.minute >= 60) {
        end.minute -= 60;
        ++end.hour;
    }
    return end.hour >= 24 ? 235959 : end.Hhmmss();
}

void MuseumSearchRun::Reset()
{
    m_hits.clear();
    m_continue = false;
    m_running = false;
}

MuseumStartCheck MuseumSearchRun::Start(int startHhmmss, int endHhmmss, int latestHhmmss, bool hasArea)
{
    const int cutEnd = endHhmmss > latestHhmmss ? latestHhmmss : endHhmmss;
    if (cutEnd <= startHhmmss)
        return MuseumStartCheck::BadTime;
    if (!hasArea)
        return MuseumStartCheck::NoArea;
    m_startSeconds = SecondsOf(startHhmmss);
    m_endSeconds = SecondsOf(cutEnd);
    m_latest = latestHhmmss;
    m_endText = TimeText(endHhmmss);
    m_hits.clear();
    m_continue = true;
    m_running = true;
    return MuseumStartCheck::Ok;
}

MuseumSearchRun::Step MuseumSearchRun::Finish()
{
    Step step;
    step.finishedNow = m_running;
    m_running = false;
    m_continue = false;
    return step;
}

MuseumSearchRun::Step MuseumSearchRun::OnPicture(const QString& timeText, bool match, bool boxOpen)
{
    Hms time;
    // A time the recorder garbled ends the walk rather than sending it somewhere unknown.
    if (!m_running || !ParseTime(timeText, time))
        return Finish();
    if (timeText >= m_endText || !boxOpen)
        m_continue = false;
    if (!m_continue)
        return Finish();

    const int secondsBefore = time.Seconds();
    Step step;
    if (match) {
        if (m_hits.size() < kMaxHits) {
            m_hits.append(time.Hhmmss());
            step.hitStored = true;
        } else {
            m_continue = false; // the list is full: the next picture ends the search
        }
        time.second += kMatchStepSeconds;
    } else {
        time.second += kMissStepSeconds;
    }
    Normalise(time);

    if (time.hour >= 24 || m_endText < time.Text() || time.Hhmmss() >= m_latest) {
        Step last = Finish();
        last.hitStored = step.hitStored;
        return last;
    }
    const int done = secondsBefore - m_startSeconds;
    const int span = m_endSeconds - m_startSeconds;
    step.progress = done > 0 && span > 0 ? done * 100 / span : kNoProgress;
    step.next = time.Hhmmss();
    return step;
}
