#include "ui/controlbarlogic.h"

ControlBarLogic::ControlBarLogic(ControlBarHost& host, TilePlayers& players)
    : m_host(host)
    , m_players(players)
{}

bool ControlBarLogic::Plays(int tile) const
{
    return tile >= 0 && tile < 16 && m_host.PlayFlag(tile) && m_players.IsOpen(tile);
}

int ControlBarLogic::StopAndRegroup(int tile, int group)
{
    m_players.StopPlayback(tile);
    m_players.SetPlayGroup(tile, group);
    m_host.ClearGroupSlot(group, tile);
    return tile;
}

int ControlBarLogic::NextFastSpeed(PlayOperation operation, PlayState state, int speed)
{
    const PlayState same = operation == PlayOperation::FastBackward ? PlayState::FastBackward
                                                                    : PlayState::FastForward;
    if (state != same)
        return 1;
    return speed >= 5 || speed < 1 ? 1 : speed + 1;
}

void ControlBarLogic::Run(PlayOperation operation)
{
    if (operation == PlayOperation::Pause) {
        Pause();
        return;
    }
    const QVector<int> selected = m_host.SelectedCameos();
    m_host.EnableButtons(false);
    m_host.ShowWaitBox(selected.size(), m_host.Text("BUFFERING"));
    const int group = m_host.NewPlayGroup();
    m_host.SetTimeBarGroup(group);
    int last = -1;
    for (const int tile : selected) {
        if (!Plays(tile)) {
            m_host.StepWaitBox();
            continue;
        }
        const bool fast = operation == PlayOperation::FastBackward || operation == PlayOperation::FastForward;
        // The state before the stop tells whether the tile already runs this fast direction.
        const PlayState before = m_players.State(tile);
        last = StopAndRegroup(tile, group);
        if (fast)
            m_players.SetFastSpeed(tile, NextFastSpeed(operation, before, m_players.FastSpeed(tile)));
        m_players.Run(tile, operation);
        // Every tile answers once, whether its engine took the operation or refused it: a tile
        // that keeps playing would otherwise never close the box.
        m_host.StepWaitBox();
    }
    if (last >= 0)
        m_host.SetTimeBarTile(last);
    m_host.EnableButtons(true);
}

void ControlBarLogic::Pause()
{
    const QVector<int> selected = m_host.SelectedCameos();
    int last = -1;
    int group = -1;
    for (const int tile : selected) {
        if (!Plays(tile))
            continue;
        if (group < 0) {
            group = m_host.NewPlayGroup();
            m_host.SetTimeBarGroup(group);
        }
        last = StopAndRegroup(tile, group);
        m_players.Run(tile, PlayOperation::Pause);
    }
    if (last >= 0)
        m_host.SetTimeBarTile(last);
}

void ControlBarLogic::StopAll()
{
    m_host.EnableButtons(false);
    for (const int tile : m_host.SelectedCameos()) {
        if (!Plays(tile))
            continue;
        m_players.StopPlayback(tile);
        m_players.Run(tile, PlayOperation::Pause);
    }
    m_host.EnableButtons(true);
}

QString ControlBarLogic::SliderText(int position)
{
    const int minutes = position * 3;
    return QStringLiteral("%1:%2:00")
        .arg(minutes / 60, 2, 10, QLatin1Char('0'))
        .arg(minutes % 60, 2, 10, QLatin1Char('0'));
}
