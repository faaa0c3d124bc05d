#pragma once
// The playback control bar's work, without widgets: one operation on every selected tile that
// plays, with the "BUFFERING" box counting one answer per selected tile, a new play group for
// the tiles it starts, and the fast speed cycling 1..5.
#include <array>

#include <QString>
#include <QVector>

#include "playback/tilestate.h"
#include "ui/tileplayers.h"

// The parts of the main dialog that the bar drives.
class ControlBarHost
{
public:
    virtual ~ControlBarHost() = default;
    virtual QVector<int> SelectedCameos() const = 0;
    virtual bool PlayFlag(int tile) const = 0;
    virtual void ShowWaitBox(int steps, const QString& text) = 0;
    virtual void StepWaitBox() = 0;
    virtual int NewPlayGroup() = 0;
    virtual void ClearGroupSlot(int group, int tile) = 0;
    // The time search bar's current group and tile.
    virtual void SetTimeBarGroup(int group) = 0;
    virtual void SetTimeBarTile(int tile) = 0;
    virtual void EnableButtons(bool enable) = 0;
    virtual QString Text(const char* key) const = 0;
};

class ControlBarLogic
{
public:
    ControlBarLogic(ControlBarHost& host, TilePlayers& players);

    // The eight buttons that open the wait box.
    void Run(PlayOperation operation);
    // Pause: no box, no disabling.
    void Pause();
    // Stops and pauses every selected tile that plays.
    void StopAll();

    // "%02d:%02d:00" of a time-slider position in 3-minute steps.
    static QString SliderText(int position);
    // The speed a fast button gives a tile in `state` whose speed is `speed`.
    static int NextFastSpeed(PlayOperation operation, PlayState state, int speed);

private:
    bool Plays(int tile) const;
    int StopAndRegroup(int tile, int group);

    ControlBarHost& m_host;
    TilePlayers& m_players;
};
