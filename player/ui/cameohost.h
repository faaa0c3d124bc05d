#pragma once
// What the tile grid needs of the main dialog. The main dialog implements it; tests give a fake.
#include <QString>

class CameoPlayer;
struct StillRecord;

class CameoHost
{
public:
    virtual ~CameoHost() = default;

    // The tile's player; none outside 0..15.
    virtual CameoPlayer* Player(int tile) = 0;
    virtual void SetTilePlaying(int tile, bool playing) = 0;
    virtual bool IsTilePlaying(int tile) const = 0;
    // The tile now holds a playback source (a file or a recorder's recording).
    virtual void SetPlaybackTile(int tile) = 0;
    virtual void SetAudioButton(bool on) = 0;
    // The image adjust panel shows the first selected tile's values.
    virtual void ShowAdjustValues(int frameRate, int brightness, int contrast, int filter) = 0;
    // The time search bar follows the first selected tile.
    virtual void FollowTimeBar(int tile) = 0;
    virtual void OnAudioOn() = 0;
    virtual void OnAudioOff() = 0;
    virtual bool HasAudioDevice() const = 0;
    // A message box with the language texts of the two keys, OK only.
    virtual void ShowMessage(const QString& textKey, const QString& captionKey) = 0;
    // A file handed to a tile cannot be played: the user is told which and why, without
    // waiting for an answer (the other tiles play on).
    virtual void ShowOpenFailure(const QString& path, const QString& reason) = 0;
    // The language text of a key.
    virtual QString Text(const QString& key) const = 0;
    virtual bool CanOpenOsdSetup() const = 0;
    virtual void OpenOsdSetup() = 0;
    virtual bool CanOpenStillDialog() const = 0;
    virtual void OpenStillDialog(const StillRecord& still) = 0;
    virtual QString ProgramDirectory() const = 0;
    // Asks for the administrator password (its dialog also changes it).
    virtual void OpenPasswordDialog() = 0;
};
