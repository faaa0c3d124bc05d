// The search pop-ups' side of the session: the museum, thumbnail and quick searches, the search
// area, leaving a search, and where a search recording starts.
#include "session/moduledevice.h"
#include "session/playbackview.h"
#include "session/recordlistintake.h"
#include "session/searchcontrol.h"

#include <QDateTime>
#include <QDebug>
#include <QSettings>
#include <QTime>

#include <algorithm>
#include <climits>
#include <cstring>

#include "common/media/moduledecoder.h"
#include "common/media/modulerecord.h"
#include "net/modulenetwork.h"
#include "net/recordermessageheader.h"
#include "session/backuphosts.h"
#include "session/moduleplayback.h"
#include "session/museumsearchpopup.h"
#include "session/quicksearchpopup.h"
#include "session/recorderwait.h"
#include "session/remoteconsole.h"
#include "session/sessiondefaults.h"
#include "session/sessionhub.h"
#include "session/sessionlog.h"
#include "session/sitebook.h"
#include "session/slotreceivebuffers.h"
#include "session/thumbnailsearchpopup.h"

// =============================================================================================
// Searches

void CModuleDevice::SetMuseumSearch(int channel, int date, int time)
{
    MuseumSearchPopup* popup = MuseumSearchPopup::Instance();
    if (!popup || !m_searches.MakeSearchScheduler(SearchState::Popup::Museum) || !ValidChannel(channel)) {
        qCDebug(lcSession) << "SetMuseumSearch: no museum search pop-up" << channel << date << time;
        return;
    }
    m_searches.RememberSearchStart(channel, date, time);
    m_search.museumMode = 1;
    m_search.thumbnailMode = 0;
    m_search.quickMode = 0;
    const QSize picture = m_searches.ChannelPictureSize(channel);
    const int resolutionClass = picture.width() >= 1901 ? 2 : picture.width() >= 1201 ? 1 : 0;
    const int gridFamily = m_link.liveNetwork ? m_link.liveNetwork->GetModelGroup() : -1;
    // 576-line (and 288-line) pictures carry more grid rows than 480-line ones.
    const int videoFormatBit = picture.height() % 288 == 0 && picture.height() > 0 ? 1 : 0;
    popup->SetSearchInfo(m_deviceIndex, channel, date, time, resolutionClass, gridFamily, videoFormatBit);
    if (CModulePlayback* own = GetPlayback(channel))
        popup->SetLatestTime(own->GetLatestTime());
    m_searches.ClearSearchSteps();
    qCDebug(lcSession) << "museum search start";
    m_lists.StartIndexSearch(channel);
}

void CModuleDevice::SetThumnailSearch(int channel, int date, int time)
{
    ThumbnailSearchPopup* popup = ThumbnailSearchPopup::Instance();
    if (!popup || !m_searches.MakeSearchScheduler(SearchState::Popup::Thumbnail) || !ValidChannel(channel)) {
        qCDebug(lcSession) << "SetThumnailSearch: no thumbnail search pop-up" << channel << date << time;
        return;
    }
    m_searches.RememberSearchStart(channel, date, time);
    m_search.thumbnailMode = 1;
    m_search.museumMode = 0;
    m_search.quickMode = 0;
    popup->SetSearchInfo(m_deviceIndex, channel, date, time);
    m_searches.ClearSearchSteps();
    qCDebug(lcSession) << "thumbnail search start";
    qCDebug(lcSession) << "Start Search" << QTime::currentTime().toString(QStringLiteral("HH:mm:ss"))
                       << m_search.museumMode.load() << m_search.thumbnailMode.load();
    m_lists.StartIndexSearch(channel);
}

// A grid family of -1 clears the area: no frame is tested any more.
void CModuleDevice::SetMuseumArea(int gridFamily, int x1, int y1, int x2, int y2)
{
    if (CModulePlayback* p = m_search.Scheduler(SearchState::Popup::Museum))
        p->SetMuseumSearch(gridFamily, x1, y1, x2, y2);
}

void CModuleDevice::LeaveMuseumSearch()
{
    if (CModulePlayback* p = m_search.Scheduler(SearchState::Popup::Museum)) {
        p->SetMuseumSearch(-1, 0, 0, 0, 0);
        p->SetMode(PlaybackMode::Stop);
    }
    m_search.museumMode = 0;
    m_search.museumIndexAwaited = false;
    m_search.museumAwaitedTime = -1;
    m_searches.ClearSearchSteps();
}

void CModuleDevice::LeaveThumbnailSearch()
{
    if (CModulePlayback* p = m_search.Scheduler(SearchState::Popup::Thumbnail))
        p->SetMode(PlaybackMode::Stop);
    m_search.thumbnailMode = 0;
    m_searches.ClearSearchSteps();
}

void CModuleDevice::SetQuickSearch(int channel, int date, int time)
{
    // The quick search runs in the hub's quick search pop-up (SearchTime::SetSearchInfo, which
    // also keeps the channel); without it no quick search starts.
    QuickSearchPopup* popup = QuickSearchPopup::Instance();
    if (!popup || !m_searches.MakeSearchScheduler(SearchState::Popup::Quick) || !ValidChannel(channel)) {
        qCDebug(lcSession) << "SetQuickSearch: no quick search pop-up" << channel << date << time;
        return;
    }
    m_searches.RememberSearchStart(channel, date, time);
    m_search.quickMode = 1;
    m_search.museumMode = 0;
    m_search.thumbnailMode = 0;
    popup->SetSearchInfo(m_deviceIndex, channel, date, time);
    qCDebug(lcSession) << "Start Search" << QTime::currentTime().toString(QStringLiteral("HH:mm:ss"))
                       << m_search.museumMode.load() << m_search.thumbnailMode.load();
    m_lists.StartIndexSearch(channel);
}

// Taken up by RequestPlayback -2, -3 and -4.
void CModuleDevice::SetSearchRequest(int channel, int date, int time)
{
    m_search.savedChannel = channel;
    m_search.savedDate = date;
    m_search.savedTime = time;
}

int CModuleDevice::GetRecorderKind() const
{
    return GetModelType();
}
