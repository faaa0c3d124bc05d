// The session's identity, its entry record and the status queries the windows and grids ask:
// channel state, titles, rates, pictures, relays, routes, per-channel flags and the minute maps.
#include "session/moduledevice.h"
#include "session/playbackview.h"

#include <QDate>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QTimer>

#include <algorithm>
#include <vector>

#include "common/media/moduledecoder.h"
#include "common/media/modulerecord.h"
#include "common/media/mulaw.h"
#include "net/certificatetrust.h"
#include "net/modulenetwork.h"
#include "platform/process.h"
#include "session/archivepaths.h"
#include "session/backuphosts.h"
#include "session/emapwindow.h"
#include "session/livedecodeworker.h"
#include "session/livepacer.h"
#include "session/moduleplayback.h"
#include "session/museumsearchpopup.h"
#include "session/netconnect.h"
#include "session/recorderwait.h"
#include "session/remoteconsole.h"
#include "session/sessiondefaults.h"
#include "session/sessionhub.h"
#include "session/sessionlog.h"
#include "session/sessionrecording.h"
#include "session/sessionthread.h"
#include "session/sessiontreeitems.h"
#include "session/sitebook.h"
#include "session/slotreceivebuffers.h"
#include "session/thumbnailsearchpopup.h"

using namespace SessionDefaults;

// =============================================================================================
// Identity, entry record and status queries

SiteBook* CModuleDevice::Record() const
{
    return SiteBook::FromItem(this);
}

bool CModuleDevice::Connected() const
{
    return m_link.liveNetwork && IsLoggedIn();
}

QString CModuleDevice::GetDvrName() const
{
    const SiteBook* record = Record();
    return record ? record->name : QString();
}

QString CModuleDevice::GetDvrAddr() const
{
    const SiteBook* record = Record();
    return record ? record->addr : QString();
}

int CModuleDevice::GetStreamQuality() const
{
    const SiteBook* record = Record();
    return record ? record->quality : 1;
}

bool CModuleDevice::GetLoginOption() const
{
    return m_link.liveNetwork && m_link.liveNetwork->GetLoginOption();
}

bool CModuleDevice::GetChannelActive(int ch) const
{
    if (!Connected() || ch < 0)
        return false;
    if (ch >= kChannels) {
        // A playback cell's sound: the playback stream's scheduler (at the channel count) runs.
        const CModulePlayback* stream = GetPlayback(m_login.channelCount.load());
        return stream && stream->GetState() != PlaybackMode::Idle;
    }
    if (!Bit(m_link.masks.live.load(), ch))
        return false;
    return m_link.liveNetwork->IsChannelActive(ch);
}

QString CModuleDevice::GetCameraTitle(int ch) const
{
    return m_link.liveNetwork ? m_link.liveNetwork->GetCameraTitle(ch) : QString();
}

int CModuleDevice::GetChannelFps(int ch) const
{
    if (ch == m_login.channelCount.load() + kChannels)
        return 30;
    // Rates: 16 live (asked at live start), 16 of the channels' playback, 17 of the search slots.
    if (ch < 0 || ch >= kChannels + kChannels + kSlots) {
        qCDebug(lcSession) << "GetChannelFps: no rate for" << ch;
        return kDefaultRate;
    }
    if (ch < kChannels)
        return m_channels[size_t(ch)].liveRate.load();
    if (ch < 2 * kChannels)
        return m_channels[size_t(ch - kChannels)].playbackRate.load();
    return m_slots[size_t(ch - 2 * kChannels)].rate.load();
}

QImage CModuleDevice::GetChannelImage(int ch) const
{
    return m_media.lastPictures.Get(ch);
}

int CModuleDevice::GetAlarmOutCount() const
{
    return Connected() ? std::max(0, m_link.liveNetwork->GetRelayOutputCount()) : 0;
}

int CModuleDevice::GetModelCode() const
{
    if (!Connected())
        return -1;
    return m_link.liveNetwork->GetRawModelCode();
}

int CModuleDevice::GetModelType() const
{
    return Connected() ? m_link.liveNetwork->GetModelTypeIndex() : -1;
}

int CModuleDevice::GetChannelCount(int grid)
{
    if (IsLoggedIn() && m_link.liveNetwork) {
        m_link.sequence.rememberedGrid = -1;
        return m_link.liveNetwork->GetChannelCount();
    }
    m_link.sequence.rememberedGrid = grid;
    return -1;
}

bool CModuleDevice::GetMotionState(int ch) const
{
    return Connected() && Bit(m_link.masks.live.load(), ch) && m_link.liveNetwork->IsMotion(ch);
}

bool CModuleDevice::GetSensorState(int ch) const
{
    return Connected() && Bit(m_link.masks.live.load(), ch) && m_link.liveNetwork->IsSensor(ch);
}

bool CModuleDevice::GetVideoLoss(int ch) const
{
    return Connected() && Bit(m_link.masks.live.load(), ch) && m_link.liveNetwork->IsVideoLoss(ch);
}

int CModuleDevice::GetLiveFrameDate(int ch) const
{
    return ValidChannel(ch) ? m_channels[size_t(ch)].liveFrameDate.load() : -1;
}

int CModuleDevice::GetLiveFrameTime(int ch) const
{
    return ValidChannel(ch) ? m_channels[size_t(ch)].liveFrameTime.load() : -1;
}

bool CModuleDevice::GetRelayState(int relay) const
{
    return Connected() && Bit(m_link.masks.live.load(), relay) && m_link.liveNetwork->IsRelayOn(relay);
}

bool CModuleDevice::IsPtzChannel(int ch) const
{
    return Connected() && Bit(m_link.masks.ptz.load(), ch) && m_link.liveNetwork->IsPtzChannel(ch);
}

int CModuleDevice::GetScrMode(int slot) const
{
    if (slot < 0 || slot >= kSlots) {
        qCDebug(lcSession) << "ScrMode error 2" << slot;
        return 16;
    }
    return m_slots[size_t(slot)].scrMode;
}

void CModuleDevice::SetScrMode(int slot, int mode)
{
    if (slot < 0 || slot >= kSlots) {
        qCDebug(lcSession) << "ScrMode error 1" << slot;
        return;
    }
    m_slots[size_t(slot)].scrMode = mode;
}

int CModuleDevice::DayOfWeek(int date)
{
    return SessionRecording::DayOfWeek(date);
}

CameoRoute* CModuleDevice::GetCameoRoute(int ch)
{
    return ValidChannel(ch) ? &m_channels[size_t(ch)].route : nullptr;
}

bool CModuleDevice::IsLiveWanted(int ch) const
{
    return ValidChannel(ch) && m_channels[size_t(ch)].liveWanted.load() == 1;
}

void CModuleDevice::SetLiveWanted(int ch, bool wanted)
{
    if (ValidChannel(ch))
        m_channels[size_t(ch)].liveWanted = wanted ? 1 : 0;
}

bool CModuleDevice::IsLiveShown(int ch) const
{
    return ValidChannel(ch) && m_channels[size_t(ch)].liveShown.load() == 1;
}

int CModuleDevice::GetLiveCounter(int ch) const
{
    return ValidChannel(ch) ? m_channels[size_t(ch)].liveCounter.load() : 0;
}

bool CModuleDevice::IsEventRecordMarked(int ch) const
{
    return ValidChannel(ch) && m_channels[size_t(ch)].eventRecordMark.load() == 1;
}

void CModuleDevice::SetEventRecordMark(int ch, bool on)
{
    if (ValidChannel(ch))
        m_channels[size_t(ch)].eventRecordMark = on ? 1 : 0;
}

CModuleDecoder* CModuleDevice::GetLiveDecoder(int ch) const
{
    return ValidChannel(ch) ? m_channels[size_t(ch)].liveDecoder.get() : nullptr;
}

CModuleDecoder* CModuleDevice::GetPlaybackDecoder(int ch) const
{
    return ValidChannel(ch) ? m_channels[size_t(ch)].playbackDecoder.get() : nullptr;
}

QTreeWidgetItem* CModuleDevice::GetCameraItem(int ch) const
{
    return m_treeItems->CameraItem(ch);
}

int CModuleDevice::GetChannelPlayTime(int ch) const
{
    return ch >= 0 && ch < kSlots ? m_slots[size_t(ch)].lastPlayTime.load() : 0;
}

const quint8* CModuleDevice::GetMinuteTable(int slot) const
{
    if (slot < 0 || slot >= kSlots)
        return nullptr;
    // A slot whose list never marked a minute reads as a day without recordings.
    static const quint8 kEmptyDay[kMinutesPerDay] = {};
    const quint8* table = m_slots[size_t(slot)].minuteTable.get();
    return table ? table : kEmptyDay;
}

float CModuleDevice::GetEmapCameraX(int ch) const
{
    return ValidChannel(ch) ? m_channels[size_t(ch)].emapX : -1.0f;
}

float CModuleDevice::GetEmapCameraY(int ch) const
{
    return ValidChannel(ch) ? m_channels[size_t(ch)].emapY : -1.0f;
}

float CModuleDevice::GetCameraOwnX(int ch) const
{
    return ValidChannel(ch) ? m_channels[size_t(ch)].ownX : kOwnDefaultX;
}

float CModuleDevice::GetCameraOwnY(int ch) const
{
    return ValidChannel(ch) ? m_channels[size_t(ch)].ownY : kOwnDefaultY;
}

QString CModuleDevice::GetCameraEmapPath(int ch) const
{
    return ValidChannel(ch) ? m_channels[size_t(ch)].cameraEmapPath : QString();
}
