#pragma once
// The grid's view of a tile's playback engine.
#include "ui/cameoplayer.h"

class CSearchView;

class SearchViewCameoPlayer : public CameoPlayer
{
public:
    explicit SearchViewCameoPlayer(CSearchView& view)
        : m_view(view)
    {}

    int PlayState() const override;
    int AudioState() const override;
    // Recording names the player reads: client data and index files, recorder media files.
    bool CanOpen(const QString& folder, const QString& fileName) const override;
    int OpenRecording(const QString& folder, const QString& fileName, int tile) override;
    QString LastOpenError() const override;
    void Bind(int sourceId, int channel, int tile) override;
    void StartSearch() override;
    void Stop() override;
    void Close() override;
    void ShowCurrentFrame() override;
    void PlayForward() override;
    void SetFrozen(bool frozen) override;
    void ResetFramesPerStep() override;
    QString RecorderName() const override;
    QString RecorderAddress() const override;
    QString CameraTitle() const override;
    int Channel() const override;

private:
    CSearchView& m_view;
};
