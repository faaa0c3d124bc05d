// A grid's favorites: a saved layout whose recorders connect one after another, each placing
// its channel into the cell of its position.
#include <QDebug>
#include <QMutexLocker>

#include "session/recordersession.h"
#include "shell/ccameo.h"
#include "shell/gridhost.h"
#include "shell/shelllog.h"

void CCameo::OpenFavorite(int layout, const QString& names, const QString& channels, bool automatic)
{
    if (m_closing)
        return;
    const int count = m_cellCount;
    const int split = layout / 100;
    const int first = layout % 100;
    if (layout < 0 || split < 1 || split > count || first >= count) {
        qCWarning(lcShell) << "CCameo::OpenFavorite: layout code" << layout << "does not fit" << count << "cells";
        return;
    }
    CloseAllCameo();
    m_selectedCell = first;
    ApplySplitMode(first, split, false, true);
    // The page starts at a multiple of the split; the favorite's own first cell is selected.
    {
        QMutexLocker lock(&m_cellsLock);
        m_cells.SelectOnly(first);
    }
    m_selectedCell = first;
    OnDrawCameo(-1);
    StartFavorite(names, channels, automatic);
}

void CCameo::StartFavorite(const QString& names, const QString& channels, bool automatic)
{
    if (m_closing)
        return;
    m_favoriteAutomatic = automatic;
    if (m_host && !automatic)
        m_host->ShowMessageBox(QStringLiteral("Favorites"), QStringLiteral("Network Connecting..."), QString());
    m_favoriteCursor = 0;
    m_favoriteNames = names.split(QLatin1Char(';'), Qt::KeepEmptyParts);
    m_favoriteChannels = channels.split(QLatin1Char(';'), Qt::KeepEmptyParts);
    if (!ConnectNextFavorite(0))
        FinishFavorite(true);
}

bool CCameo::ConnectNextFavorite(int from)
{
    for (int i = from; i < kFavoritePositions; ++i) {
        m_favoriteCursor = i;
        if (i >= m_favoriteNames.size() || i >= m_favoriteChannels.size())
            continue;
        const QString name = m_favoriteNames.at(i);
        const QString channelText = m_favoriteChannels.at(i).trimmed();
        if (name.isEmpty() || channelText == QLatin1String("-1"))
            continue;
        bool ok = false;
        const int channel = channelText.toInt(&ok);
        if (!ok || channel < 0 || channel >= kRoutedChannels) {
            qCWarning(lcShell) << "CCameo: favorite position" << i << "has a bad channel" << channelText;
            continue;
        }
        if (i >= m_cellCount) {
            qCWarning(lcShell) << "CCameo: favorite position" << i << "has no cell in a grid of" << m_cellCount;
            continue;
        }
        const int recorder = m_host ? m_host->FindDeviceByName(name) : -1;
        RecorderSession* device = DeviceOf(recorder);
        if (!device)
            continue;
        if (m_host)
            m_host->SetFavoriteCameoIndex(m_cameoIndex);
        // The session calls OnFavoriteNext once the login completes or the connect fails; for a
        // recorder already logged in that may happen inside this call, so nothing follows it.
        device->StartConnect(ConnectPurpose::Favorite);
        return true;
    }
    m_favoriteCursor = kFavoritePositions;
    return false;
}

void CCameo::FinishFavorite(bool relayout)
{
    if (relayout)
        ApplySplitMode(m_selectedCell, m_split, false, true);
    // The box closes by itself; empty title and text keep what it shows.
    if (m_host && !m_favoriteAutomatic)
        m_host->ShowMessageBox(QString(), QString(), QStringLiteral("auto"));
}

void CCameo::OnFavoriteNext()
{
    if (m_closing)
        return;
    const int cursor = m_favoriteCursor;
    if (cursor < 0 || cursor >= kFavoritePositions) {
        qCDebug(lcShell) << "CCameo::OnFavoriteNext: no favorite position is being opened";
        return;
    }
    // Position i always lands in cell i.
    const int recorder = m_host ? m_host->FindDeviceByName(m_favoriteNames.value(cursor)) : -1;
    bool ok = false;
    const int channel = m_favoriteChannels.value(cursor).trimmed().toInt(&ok);
    if (recorder >= 0 && ok)
        SetCameoChannel(channel, recorder, cursor);
    else
        qCWarning(lcShell) << "CCameo::OnFavoriteNext: the recorder of position" << cursor << "is gone";

    const int next = cursor + 1;
    if (next >= kFavoritePositions) {
        m_favoriteCursor = kFavoritePositions;
        FinishFavorite(false);
        return;
    }
    if (!ConnectNextFavorite(next))
        FinishFavorite(true);
}

// ---------------------------------------------------------------------------------------------
// Context-menu actions and the actions on the selected cell
