#pragma once
// What the grid window and its display need of the main dialog and the tile engines, answered
// from the dialog's state. The display calls come from the display thread too: they read only
// the play flags and the engines' own thread-safe queries.
#include <array>
#include <memory>

#include "ui/cameodisplayhost.h"
#include "ui/cameohost.h"

class CViewerDlg;
class HPLiveControl;
class SearchViewCameoPlayer;
class ViewerPlayers;
class SystemStillDialogHost;

class ViewerCameoHost : public CameoHost, public CameoDisplayHost
{
public:
    explicit ViewerCameoHost(CViewerDlg& dialog);
    ~ViewerCameoHost() override;

    // The tile engines exist after the grid: they are attached when made.
    void AttachPlayers(ViewerPlayers* players);
    void AttachEngine(HPLiveControl* engine) { m_engine = engine; }

    // CameoHost.
    CameoPlayer* Player(int tile) override;
    void SetTilePlaying(int tile, bool playing) override;
    bool IsTilePlaying(int tile) const override;
    void SetPlaybackTile(int tile) override;
    void SetAudioButton(bool on) override;
    void ShowAdjustValues(int frameRate, int brightness, int contrast, int filter) override;
    void FollowTimeBar(int tile) override;
    void OnAudioOn() override;
    void OnAudioOff() override;
    bool HasAudioDevice() const override;
    void ShowMessage(const QString& textKey, const QString& captionKey) override;
    void ShowOpenFailure(const QString& path, const QString& reason) override;
    QString Text(const QString& key) const override;
    bool CanOpenOsdSetup() const override { return m_engine != nullptr; }
    void OpenOsdSetup() override;
    bool CanOpenStillDialog() const override { return true; }
    void OpenStillDialog(const StillRecord& still) override;
    QString ProgramDirectory() const override;
    void OpenPasswordDialog() override;

    // CameoDisplayHost.
    void SetCurrentTile(int tile) override;
    bool ShowCurrentFrame(int tile) override;
    std::optional<OsdPlayerText> PlayerText(int tile) const override;
    bool CaptureForExport(int, int, const uint8_t*, int, int, int, int, int) override { return false; }
    bool MayCaptureForExport(int, int) const override { return false; }
    bool HoldsPresenting() const override { return false; }
    bool IsDirectDraw() const override;

private:
    CViewerDlg& m_dialog;
    ViewerPlayers* m_players = nullptr;
    HPLiveControl* m_engine = nullptr;
    std::array<std::unique_ptr<SearchViewCameoPlayer>, 16> m_cameoPlayers;
    // Lives for the run: its save counter numbers the default still names.
    std::unique_ptr<SystemStillDialogHost> m_stills;
};
