#include "ui/viewerplayers.h"
#include "ui/viewertiles.h"

#include "playback/searchview.h"

#include <algorithm>

ViewerPlayers::ViewerPlayers(ViewerPlayersHost& host, ViewerTiles& tiles, PlayFlags& flags,
                             PlaybackFrameSink& frames, PlaybackAudioSink& audio, PreviewSink* previews)
    : m_host(host)
    , m_tiles(tiles)
    , m_flags(flags)
{
    for (int t = 0; t < 16; ++t) {
        m_group[t] = -1;
        m_visible[t] = true;
        m_players[t] = std::make_unique<CSearchView>(t, frames, *this, audio, m_clock, previews);
    }
}

ViewerPlayers::~ViewerPlayers() = default;

CSearchView* ViewerPlayers::Player(int tile) const
{
    return Valid(tile) ? m_players[tile].get() : nullptr;
}

bool ViewerPlayers::Open(int tile, const QString& folder, const QString& name)
{
    if (!Valid(tile))
        return false;
    CSearchView::OpenRequest request;
    request.folder = folder;
    request.fileName = name;
    request.tile = tile;
    return m_players[tile]->OpenFile(request);
}

void ViewerPlayers::StopAll()
{
    for (auto& player : m_players) {
        if (player->IsRunning())
            player->StopPlayback();
        player->Join();
    }
}

bool ViewerPlayers::IsOpen(int tile) const
{
    return Valid(tile) && m_players[tile]->IsOpened();
}

PlayState ViewerPlayers::State(int tile) const
{
    return Valid(tile) ? m_players[tile]->State() : PlayState::NoData;
}

int ViewerPlayers::FastSpeed(int tile) const
{
    return Valid(tile) ? m_players[tile]->FastSpeed() : 1;
}

void ViewerPlayers::SetFastSpeed(int tile, int speed)
{
    if (Valid(tile))
        m_players[tile]->SetFastSpeed(speed);
}

void ViewerPlayers::StopPlayback(int tile)
{
    if (Valid(tile))
        m_players[tile]->StopPlayback();
}

void ViewerPlayers::SetPlayGroup(int tile, int group)
{
    if (Valid(tile))
        m_group[tile] = group;
}

int ViewerPlayers::PlayGroup(int tile) const
{
    return Valid(tile) ? m_group[tile].load() : -1;
}

bool ViewerPlayers::IsPlaying(int tile) const
{
    return Valid(tile) && m_flags[tile];
}

void ViewerPlayers::Run(int tile, PlayOperation operation)
{
    if (!Valid(tile))
        return;
    CSearchView& p = *m_players[tile];
    switch (operation) {
    case PlayOperation::GoFirst: p.GoFirst(); break;
    case PlayOperation::GoLast: p.GoLast(); break;
    case PlayOperation::FastBackward: p.FastBackward(); break;
    case PlayOperation::FastForward: p.FastForward(); break;
    case PlayOperation::StepBackward: p.StepBackward(); break;
    case PlayOperation::StepForward: p.StepForward(); break;
    case PlayOperation::PlayBackward: p.PlayBackward(); break;
    case PlayOperation::PlayForward: p.PlayForward(); break;
    case PlayOperation::Pause: p.Pause(); break;
    }
}

void ViewerPlayers::StepMessageBox()
{
    QMetaObject::invokeMethod(
        this, [this] { m_host.EngineStepsWaitBox(); }, Qt::QueuedConnection);
}

void ViewerPlayers::UpdateGroupTime(int tile, const QString& timeText)
{
    if (!Valid(tile))
        return;
    QString digits;
    for (const QChar c : timeText) {
        if (c.isDigit())
            digits += c;
    }
    bool ok = false;
    const int hhmmss = digits.right(6).toInt(&ok);
    if (!ok)
        return;
    const PlayState state = m_players[tile]->State();
    const int direction = state == PlayState::Backward || state == PlayState::FastBackward
                                  || state == PlayState::StepBackward
                              ? -1
                              : 1;
    const int group = m_group[tile];
    QMetaObject::invokeMethod(
        this, [this, group, tile, hhmmss, direction] { m_host.ShowGroupTime(group, tile, hhmmss, direction); },
        Qt::QueuedConnection);
}

void ViewerPlayers::LeaveGroup(int tile)
{
    if (Valid(tile))
        m_group[tile] = -1;
}

void ViewerPlayers::SkipGroup(int tile)
{
    // From the tile's play thread: only atomic words are read and written.
    const QVector<int> targets = PlayGroups::SkipTargets(
        tile, [this](int t) { return m_group[t].load(); },
        [this](int t) { return m_players[t]->IsOpened() && m_players[t]->IsRunning(); });
    for (const int t : targets)
        m_players[t]->SetSkipFlag();
}

void ViewerPlayers::UpdatePlaySlider(int tile)
{
    QMetaObject::invokeMethod(
        this, [this, tile] { m_host.UpdatePlaySlider(tile); }, Qt::QueuedConnection);
}

void ViewerPlayers::MarkTimeBar(int tile, int firstCell, int count)
{
    if (!Valid(tile) || count <= 0)
        return;
    QMetaObject::invokeMethod(
        this, [this, tile, firstCell, count] { m_host.MarkTimeBar(tile, firstCell, count); },
        Qt::QueuedConnection);
}

int ViewerPlayers::TileFrameRate(int tile) const
{
    return Valid(tile) ? std::max(1, m_tiles.FrameRate(tile)) : 1;
}

bool ViewerPlayers::IsTileVisible(int tile) const
{
    return Valid(tile) && m_visible[tile];
}

int ViewerPlayers::SplitCount() const
{
    return m_splitCount;
}

bool ViewerPlayers::StopRequested() const
{
    return m_host.IsClosing();
}
