#pragma once
// The drill-down of the thumbnail search, free of widgets: five levels of time resolution
// (hours, ten minutes, minutes, ten seconds, seconds), the captions of each level's slots, the
// time to fetch after each thumbnail, the slot chosen per level and which level is on screen.
#include <QString>
#include <QVector>

#include <array>

class ThumbnailLevels
{
public:
    static constexpr int kLevelCount = 5;
    static constexpr int kNoLevel = -1;
    static constexpr int kPlaying = 6;
    static constexpr int kCompleted = -1;

    // What an arriving picture leads to.
    enum class Arrival { Idle, Stored, Completed };
    struct Outcome
    {
        Arrival arrival = Arrival::Idle;
        int slot = -1;         // the slot that took the picture (Stored)
        int next = kCompleted; // HHMMSS to fetch next (Stored)
    };

    ThumbnailLevels();

    static int SlotCount(int level);     // 24, 6, 10, 6, 10; 0 for any other level
    static QString LevelName(int level); // "1hour" .. "1sec"; "-" where there is none
    // The time after a thumbnail at h:m:s of the level, as HHMMSS; past hour 23 it is 23:59:59.
    static int NextTime(int level, int hour, int minute, int second);

    // The dialog was shown: nothing searched, level 0 on screen, no level done.
    void Reset();
    // A new day: level 0 is searched from the first picture on; every caption is cleared.
    void Begin();
    // Opens the level below `level` from its slot; false (and nothing changes) for a slot that
    // does not exist or has no thumbnail. NextRequest() is then the first time to fetch.
    bool OpenLevel(int level, int slot);
    // The search thread's picture with its time "hh:mm:ss".
    Outcome OnPicture(const QString& timeText);
    // A click on a slot of the level on screen; false for an empty or non-existent slot.
    bool Pick(int slot);
    // The level buttons: the level on screen one down (reopened from the chosen slot of the
    // level above) or one up (shown again without a search). False when there is none.
    bool GoDeeper();
    bool GoUp();
    void StartPlaying()
    {
        m_searching = kPlaying;
        m_slotCount = 0;
    }

    int LevelOnScreen() const { return m_onScreen; }
    int LevelSearched() const { return m_searching; }
    int SlotsReceived() const { return m_slotCount; }
    int NextRequest() const { return m_next; }
    int ChosenSlot(int level) const;
    bool IsDone(int level) const;
    QString Caption(int level, int slot) const;

private:
    void ClearCaptions(int fromLevel);

    std::array<QVector<QString>, kLevelCount> m_captions;
    std::array<int, kLevelCount> m_chosen{};
    std::array<bool, kLevelCount> m_done{};
    int m_onScreen = 0;
    int m_searching = kNoLevel;
    int m_slotCount = 0;
    int m_next = 0;
    // The time of the level's last thumbnail; a picture of that time again ends the level.
    QString m_stopText;
};
