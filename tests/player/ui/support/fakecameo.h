#pragma once
// Fakes of the grid's main dialog, players and engine that record what the grid asked of them.
#include "ui/cameoengine.h"
#include "ui/cameohost.h"
#include "ui/cameoplayer.h"
#include "ui/stillrecord.h"

#include <QStringList>
#include <array>
#include <map>
#include <set>
#include <vector>

class FakeCameoPlayer : public CameoPlayer
{
public:
    int PlayState() const override { return playState; }
    int AudioState() const override { return audioState; }
    bool CanOpen(const QString&, const QString& fileName) const override { return !fileName.endsWith(".txt"); }
    int OpenRecording(const QString& folder, const QString& fileName, int tile) override
    {
        calls << QStringLiteral("open %1%2 %3").arg(folder, fileName).arg(tile);
        return openResult;
    }
    QString LastOpenError() const override { return openError; }
    void Bind(int sourceId, int channel, int tile) override
    {
        calls << QStringLiteral("bind %1 %2 %3").arg(sourceId).arg(channel).arg(tile);
    }
    void StartSearch() override { calls << QStringLiteral("search"); }
    void Stop() override { calls << QStringLiteral("stop"); }
    void Close() override { calls << QStringLiteral("close"); }
    void ShowCurrentFrame() override { calls << QStringLiteral("show"); }
    void PlayForward() override
    {
        calls << QStringLiteral("forward");
        playState = 5;
    }
    void SetFrozen(bool frozen) override { calls << (frozen ? QStringLiteral("freeze") : QStringLiteral("thaw")); }
    void ResetFramesPerStep() override { calls << QStringLiteral("reset-steps"); }
    QString RecorderName() const override { return recorderName; }
    QString RecorderAddress() const override { return QString(); }
    QString CameraTitle() const override { return QStringLiteral("Gate"); }
    int Channel() const override { return 2; }

    int playState = 4;
    int audioState = 0;
    int openResult = 1; // 1 opened, 0 not
    QString openError;
    QString recorderName;
    QStringList calls;
};

class FakeCameoHost : public CameoHost
{
public:
    CameoPlayer* Player(int tile) override { return tile >= 0 && tile < 16 ? &players[tile] : nullptr; }
    void SetTilePlaying(int tile, bool on) override
    {
        if (on) {
            playing.insert(tile);
        } else {
            playing.erase(tile);
        }
    }
    bool IsTilePlaying(int tile) const override { return playing.count(tile) != 0; }
    void SetPlaybackTile(int tile) override { playbackTiles.push_back(tile); }
    void SetAudioButton(bool on) override { audioButton = on; }
    void ShowAdjustValues(int frameRate, int brightness, int contrast, int filter) override
    {
        adjustShown = {frameRate, brightness, contrast, filter};
    }
    void FollowTimeBar(int tile) override { timeBarTile = tile; }
    void OnAudioOn() override { events << QStringLiteral("audio on"); }
    void OnAudioOff() override { events << QStringLiteral("audio off"); }
    bool HasAudioDevice() const override { return audioDevice; }
    void ShowMessage(const QString& text, const QString& caption) override { events << caption + ":" + text; }
    void ShowOpenFailure(const QString& path, const QString&) override { events << "open failure:" + path; }
    QString Text(const QString& key) const override { return key; }
    bool CanOpenOsdSetup() const override { return false; }
    void OpenOsdSetup() override {}
    bool CanOpenStillDialog() const override { return true; }
    void OpenStillDialog(const StillRecord& record) override { still = record; }
    QString ProgramDirectory() const override { return QStringLiteral("/opt/orvane"); }
    void OpenPasswordDialog() override { events << QStringLiteral("password"); }

    std::array<FakeCameoPlayer, 16> players;
    std::set<int> playing;
    std::vector<int> playbackTiles;
    bool audioButton = false;
    std::array<int, 4> adjustShown{};
    int timeBarTile = -1;
    bool audioDevice = true;
    QStringList events;
    StillRecord still;
};

class FakeCameoEngine : public CameoEngine
{
public:
    void ClearFrameBuffer(int tile) override { cleared.insert(tile); }
    void ClearLastFrame(int tile) override { lastCleared.insert(tile); }
    void DemoteQueuedFrames() override { ++demoted; }
    void RedrawAll() override { ++redrawAll; }
    void RedrawCameos(const std::vector<int>& tiles) override { redrawn.push_back(tiles); }
    void RedrawCameo(int tile) override { redrawn.push_back({tile}); }
    void SetOwnDecoderSetting(int tile, int kind, int value) override { settings[{tile, kind}] = value; }
    void SetFilter(int tile, int value) override { filters[tile] = value; }
    void RedecodeLastFrame(int tile) override { redecoded.push_back(tile); }
    bool DirectDrawFailed() const override { return directDrawFailed; }
    bool IsDirectDrawUsed() const override { return directDraw; }
    void SetDirectXWanted(bool wanted) override { directDraw = wanted; }
    bool LastPicture(int, QImage* picture, int* date, int* time) const override
    {
        if (lastPicture.isNull()) {
            return false;
        }
        *picture = lastPicture;
        *date = 20261210;
        *time = 81502;
        return true;
    }

    std::set<int> cleared;
    std::set<int> lastCleared;
    int demoted = 0;
    int redrawAll = 0;
    std::vector<std::vector<int>> redrawn;
    std::map<std::pair<int, int>, int> settings;
    std::map<int, int> filters;
    std::vector<int> redecoded;
    bool directDrawFailed = false;
    bool directDraw = true;
    QImage lastPicture;
};
