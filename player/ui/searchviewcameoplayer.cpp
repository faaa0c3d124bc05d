#include "ui/searchviewcameoplayer.h"

#include "playback/searchview.h"

int SearchViewCameoPlayer::PlayState() const
{
    return m_view.IsOpened() ? static_cast<int>(m_view.State()) : kNoData;
}

int SearchViewCameoPlayer::AudioState() const
{
    return m_view.AudioOn();
}

bool SearchViewCameoPlayer::CanOpen(const QString&, const QString& fileName) const
{
    const QString name = fileName.toLower();
    for (const char* prefix : {"stream_000.", "intra_idx.", "hd_idx.", "h", "i", "x", "s"}) {
        if (name.startsWith(QLatin1String(prefix)))
            return true;
    }
    return false;
}

int SearchViewCameoPlayer::OpenRecording(const QString& folder, const QString& fileName, int tile)
{
    CSearchView::OpenRequest request;
    request.folder = folder;
    request.fileName = fileName;
    request.tile = tile;
    return m_view.OpenFile(request) ? 1 : 0;
}

QString SearchViewCameoPlayer::LastOpenError() const
{
    return m_view.LastError();
}

void SearchViewCameoPlayer::Bind(int, int, int)
{
    // Recorder playback needs a recorder connection, which the player never opens.
}

void SearchViewCameoPlayer::StartSearch() {}

void SearchViewCameoPlayer::Stop()
{
    m_view.StopPlayback();
}

void SearchViewCameoPlayer::Close()
{
    m_view.CloseSearch();
}

void SearchViewCameoPlayer::ShowCurrentFrame()
{
    m_view.ShowCurrentFrame();
}

void SearchViewCameoPlayer::PlayForward()
{
    m_view.PlayForward();
}

void SearchViewCameoPlayer::SetFrozen(bool frozen)
{
    m_view.SetFrozen(frozen);
}

void SearchViewCameoPlayer::ResetFramesPerStep()
{
    // The tile engine measures its frames per step again at its next step.
}

QString SearchViewCameoPlayer::RecorderName() const
{
    return m_view.RecorderName();
}

QString SearchViewCameoPlayer::RecorderAddress() const
{
    return m_view.RecorderAddress();
}

QString SearchViewCameoPlayer::CameraTitle() const
{
    return m_view.CameraTitle();
}

int SearchViewCameoPlayer::Channel() const
{
    return m_view.Channel();
}
