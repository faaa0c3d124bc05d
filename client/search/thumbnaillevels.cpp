#include "thumbnaillevels.h"

#include <QTime>

#include <algorithm>

namespace {

constexpr int kSlots[ThumbnailLevels::kLevelCount] = {24, 6, 10, 6, 10};
const char* const kNames[ThumbnailLevels::kLevelCount] = {"1hour", "10min", "1min", "10sec", "1sec"};

bool ParseCaption(const QString& text, int& hour, int& minute, int& second)
{
    const QTime parsed = QTime::fromString(text, QStringLiteral("hh:mm:ss"));
    hour = parsed.hour();
    minute = parsed.minute();
    second = parsed.second();
    return parsed.isValid();
}

int Hhmmss(int hour, int minute, int second)
{
    return hour * 10000 + minute * 100 + second;
}

} // namespace

ThumbnailLevels::ThumbnailLevels()
{
    for (int level = 0; level < kLevelCount; ++level)
        m_captions[size_t(level)] = QVector<QString>(kSlots[level]);
    Reset();
}

int ThumbnailLevels::SlotCount(int level)
{
    return level >= 0 && level < kLevelCount ? kSlots[level] : 0;
}

QString ThumbnailLevels::LevelName(int level)
{
    return level >= 0 && level < kLevelCount ? QString::fromLatin1(kNames[level]) : QStringLiteral("-");
}

int ThumbnailLevels::NextTime(int level, int hour, int minute, int second)
{
    auto carrySecond = [&]() {
        if (second > 59) {
            second = 0;
            ++minute;
        }
        if (minute > 59) {
            minute = 0;
            ++hour;
        }
    };
    switch (level) {
    case 0:
        ++hour;
        minute = 0;
        second = 0;
        break;
    case 1:
        minute += 10;
        if (minute > 50) {
            ++hour;
            minute = 0;
        }
        second = 0;
        break;
    case 2:
        ++minute;
        if (minute > 59) {
            ++hour;
            minute = 0;
        }
        second = 0;
        break;
    case 3:
        second += 10;
        if (second > 50)
            second = 60;
        carrySecond();
        break;
    default:
        ++second;
        carrySecond();
        break;
    }
    if (hour > 23)
        return Hhmmss(23, 59, 59);
    return Hhmmss(hour, minute, second);
}

void ThumbnailLevels::Reset()
{
    m_next = 0;
    m_searching = kNoLevel;
    m_slotCount = 0;
    m_onScreen = 0;
    m_done.fill(false);
}

void ThumbnailLevels::Begin()
{
    m_searching = 0;
    m_slotCount = 0;
    m_stopText.clear();
    ClearCaptions(0);
}

void ThumbnailLevels::ClearCaptions(int fromLevel)
{
    for (int level = fromLevel; level < kLevelCount; ++level)
        m_captions[size_t(level)].fill(QString());
}

bool ThumbnailLevels::OpenLevel(int level, int slot)
{
    const QString caption = Caption(level, slot);
    int hour = 0, minute = 0, second = 0;
    if (caption.isEmpty() || !ParseCaption(caption, hour, minute, second))
        return false;
    ClearCaptions(level + 1);
    m_searching = level + 1;
    m_next = Hhmmss(hour, minute, second);
    m_chosen[size_t(level)] = slot;
    m_stopText.clear();
    // The seconds level has nothing below it: the search of "level 5" only completes.
    m_onScreen = std::min(level + 1, kLevelCount - 1);
    m_slotCount = 0;
    return true;
}

ThumbnailLevels::Outcome ThumbnailLevels::OnPicture(const QString& timeText)
{
    Outcome outcome;
    if (m_searching == kNoLevel || m_searching == kPlaying)
        return outcome;
    const int level = m_searching;
    int hour = 0, minute = 0, second = 0;
    // A recorder answers a time past its recording with its last picture again: the same
    // picture twice ends the level instead of filling it with copies.
    if (level >= kLevelCount || m_slotCount >= SlotCount(level) || timeText == m_stopText
        || !ParseCaption(timeText, hour, minute, second)) {
        if (level < kLevelCount)
            m_done[size_t(level)] = true;
        outcome.arrival = Arrival::Completed;
        return outcome;
    }
    outcome.arrival = Arrival::Stored;
    outcome.slot = m_slotCount;
    m_captions[size_t(level)][m_slotCount] = timeText;
    m_stopText = timeText;
    m_next = NextTime(level, hour, minute, second);
    outcome.next = m_next;
    ++m_slotCount;
    return outcome;
}

bool ThumbnailLevels::Pick(int slot)
{
    if (Caption(m_onScreen, slot).isEmpty())
        return false;
    m_chosen[size_t(m_onScreen)] = slot;
    m_done[size_t(m_onScreen)] = false;
    return true;
}

bool ThumbnailLevels::GoDeeper()
{
    if (m_onScreen + 1 >= kLevelCount)
        return false;
    const int above = m_onScreen;
    return OpenLevel(above, ChosenSlot(above));
}

bool ThumbnailLevels::GoUp()
{
    if (m_onScreen <= 0)
        return false;
    --m_onScreen;
    return true;
}

int ThumbnailLevels::ChosenSlot(int level) const
{
    return level >= 0 && level < kLevelCount ? m_chosen[size_t(level)] : 0;
}

bool ThumbnailLevels::IsDone(int level) const
{
    return level >= 0 && level < kLevelCount && m_done[size_t(level)];
}

QString ThumbnailLevels::Caption(int level, int slot) const
{
    if (level < 0 || level >= kLevelCount || slot < 0 || slot >= SlotCount(level))
        return QString();
    return m_captions[size_t(level)][slot];
}
