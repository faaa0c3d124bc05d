#pragma once
// What the tile grid needs of a tile's player (the per-tile playback engine that the main dialog
// owns, one per tile). The playback side implements it; tests give a fake.
#include <QString>

class CameoPlayer
{
public:
    // Play state of a player with no data.
    static constexpr int kNoData = 99;

    virtual ~CameoPlayer() = default;

    // 0 start, 1 step forward, 2 end, 3 backward, 4 paused, 5 forward, 6 fast backward,
    // 7 step backward, 8 fast forward, 9 stopping, 99 no data.
    virtual int PlayState() const = 0;
    // 0 no audio, 1 audio available, 2 audio on.
    virtual int AudioState() const = 0;
    // Whether the file is a recording this player reads (by its name and layout).
    virtual bool CanOpen(const QString& folder, const QString& fileName) const = 0;
    // 1 opened, 0 not (LastOpenError() then says why, or is empty when nothing is to be said).
    virtual int OpenRecording(const QString& folder, const QString& fileName, int tile) = 0;
    virtual QString LastOpenError() const { return QString(); }
    virtual void Bind(int sourceId, int channel, int tile) = 0;
    virtual void StartSearch() = 0;
    virtual void Stop() = 0;
    virtual void Close() = 0;
    virtual void ShowCurrentFrame() = 0;
    virtual void PlayForward() = 0;
    virtual void SetFrozen(bool frozen) = 0;
    // Forgets the frames-per-step estimate (the tile's frame rate changed).
    virtual void ResetFramesPerStep() = 0;
    virtual QString RecorderName() const = 0;
    virtual QString RecorderAddress() const = 0;
    virtual QString CameraTitle() const = 0;
    virtual int Channel() const = 0;
};
