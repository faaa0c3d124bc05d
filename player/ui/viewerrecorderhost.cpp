#include "ui/viewerrecorderhost.h"

#include "engine/hplivecontrol.h"
#include "playback/hpnetwork.h"
#include "playback/language.h"
#include "ui/cmsgdlg.h"
#include "ui/csearchmulti.h"
#include "ui/csearchtime.h"
#include "ui/uilog.h"

ViewerRecorderHost::ViewerRecorderHost(Parts parts)
    : m_parts(std::move(parts))
{}

void ViewerRecorderHost::Attach(HPNetwork* hub, CSearchMulti* calendar)
{
    m_hub = hub;
    m_calendar = calendar;
}

void ViewerRecorderHost::RedrawAllTiles()
{
    if (m_parts.engine)
        m_parts.engine->RedrawAll();
}

void ViewerRecorderHost::ClearTilesOf(int recorderId, const QVector<int>& cameras)
{
    // No tile is ever bound to a recorder's camera in this program: only the time bar's
    // recorder cells can belong to it.
    qCDebug(lcPlayerUi) << "recorder" << recorderId << "gone with cameras" << cameras;
    if (m_parts.timeBar)
        m_parts.timeBar->ResetSelection();
    RedrawAllTiles();
}

void ViewerRecorderHost::ToTilePlayer(int tile, const QByteArray& reply)
{
    // The tile engines read recordings from disk only; a recorder's stream has no reader here.
    qCDebug(lcPlayerUi) << "recorder reply for tile" << tile << "dropped, command"
                        << (reply.size() > 6 ? int(quint8(reply[6])) : -1);
}

void ViewerRecorderHost::ToSearchDialog(const QByteArray& reply)
{
    if (m_calendar)
        m_calendar->OnRecvSearchData(reply);
}

void ViewerRecorderHost::CamerasCreated(int count)
{
    // Layout codes of 1, 4, 9 and 16 tiles.
    const int code = count == 1 ? 0 : count == 4 ? 1 : count == 8 ? 4 : count == 16 ? 7 : -1;
    if (code >= 0 && m_parts.setLayout)
        m_parts.setLayout(code);
}

HPNetServer* ViewerRecorderHost::SearchRecorder()
{
    return m_hub ? m_hub->ServerAt(0) : nullptr;
}

quint32 ViewerRecorderHost::NextRequestId()
{
    QMutexLocker locker(&m_requestLock);
    return ++m_requestId;
}

void ViewerRecorderHost::ShowSearchWaitBox(int steps, const char* key)
{
    if (m_parts.waitBox)
        m_parts.waitBox->ShowMessage(steps, Text(key), WaitBoxStyle::CalendarSearch, 2);
}

void ViewerRecorderHost::StepSearchWaitBox()
{
    if (m_parts.waitBox)
        m_parts.waitBox->Step();
}

QString ViewerRecorderHost::Text(const char* key) const
{
    return m_parts.language ? m_parts.language->GetText(QString::fromLatin1(key)) : QString::fromLatin1(key);
}

void ViewerRecorderHost::SetTimeBarCell(int row, int cell, int value)
{
    if (m_parts.timeBar)
        m_parts.timeBar->Model().SetCell(TimeBarModel::Source::Remote, row, cell, value);
}

void ViewerRecorderHost::PlayRecorderDay(HPNetServer&, const QString& day, int position, const QString& timeText)
{
    // Playing a recorder's day needs tile engines fed from a recorder stream, which this
    // program does not have; the choice is kept in the log only.
    qCDebug(lcPlayerUi) << "recorder playback of" << day << position << timeText << "is not available";
}
