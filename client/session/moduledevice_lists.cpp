// The record list chain and the index scan that fill the 17 minute maps: the time, event and
// audio lists of the storage slots and the index of each channel.
#include "session/moduledevice.h"
#include "session/playbackview.h"

#include <QDateTime>
#include <QDebug>
#include <QSettings>
#include <QTime>
#include <utility>

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
#include "session/recordlistintake.h"
#include "session/remoteconsole.h"
#include "session/sessiondefaults.h"
#include "session/sessionhub.h"
#include "session/sessionlog.h"
#include "session/sitebook.h"
#include "session/slotreceivebuffers.h"
#include "session/thumbnailsearchpopup.h"

namespace {

constexpr int kNoMinute = 9999;

} // namespace

// =============================================================================================
// Index search start

void CModuleDevice::GetIntraIndex(int channel)
{
    qCDebug(lcSession) << "Start Search" << QTime::currentTime().toString(QStringLiteral("HH:mm:ss"))
                       << m_search.museumMode.load() << m_search.thumbnailMode.load();
    m_lists.Chain().day = 0;
    m_lists.StartIndexSearch(channel);
}

// =============================================================================================
// List chain intake

void CModuleDevice::OnRecvTimeRecList(int slot, int size)
{
    if (m_deviceIndex == -1 || m_lists.recorderWait->IsRefused())
        return;
    qCDebug(lcSession) << "timelist size" << size;
    if (!m_lists.ListSlotValid(slot, "time list"))
        return;
    if (size > 0 && m_buffers.List()) {
        qCDebug(lcSession) << "time file";
        m_lists.MarkMinuteMasks(m_buffers.List(), size, false);
    }
    if (slot < RecordListIntake::kLastStorageSlot)
        SendTimeRecList(m_lists.Chain().date, slot + 1);
    else
        SendEventRecList(m_lists.Chain().date, 0);
}

void CModuleDevice::OnRecvEventRecList(int slot, int size)
{
    if (m_deviceIndex == -1 || m_lists.recorderWait->IsRefused())
        return;
    if (!m_lists.ListSlotValid(slot, "event list"))
        return;
    if (size > 0 && m_buffers.List()) {
        qCDebug(lcSession) << "event file";
        m_lists.MarkEventMinutes(m_buffers.List(), size);
    }
    if (slot < RecordListIntake::kLastStorageSlot)
        SendEventRecList(m_lists.Chain().date, slot + 1);
    else if (m_link.liveNetwork && m_link.liveNetwork->IsConnected() && m_buffers.List()) {
        m_lists.recorderWait->Continue();
        m_link.liveNetwork->SendAudioRecList(m_lists.Chain().date, 0, m_buffers.List());
    }
}

void CModuleDevice::OnRecvAudioRecList(int slot, int size)
{
    if (m_deviceIndex == -1 || m_lists.recorderWait->IsRefused())
        return;
    if (!m_lists.ListSlotValid(slot, "audio list"))
        return;
    if (size > 0 && m_buffers.List()) {
        qCDebug(lcSession) << "audio file";
        m_lists.MarkMinuteMasks(m_buffers.List(), size, true);
    }
    if (slot < RecordListIntake::kLastStorageSlot) {
        if (m_link.liveNetwork && m_link.liveNetwork->IsConnected() && m_buffers.List()) {
            m_lists.recorderWait->Continue();
            m_link.liveNetwork->SendAudioRecList(m_lists.Chain().date, slot + 1, m_buffers.List());
        }
        return;
    }
    for (ChannelState& channel : m_channels) {
        channel.firstMinuteScan = kNoMinute;
        channel.firstMinuteOwn = kNoMinute;
    }
    m_lists.Chain().startTogether = false;
    if (m_link.liveNetwork && m_buffers.Slots().Index(0)) {
        m_lists.AwaitIndex(0, RecordListIntake::kIndexScanKind);
        m_lists.recorderWait->Continue();
        m_link.liveNetwork->SendIntraIndexRequest(m_lists.Chain().date, 0, 0, m_buffers.Slots().Index(0),
                                                  RecordListIntake::kIndexScanKind, 1);
    }
}

void CModuleDevice::OnRecvIntraIndex(int slot, int channel, int size, int kind)
{
    if (m_deviceIndex == -1 || m_lists.recorderWait->IsRefused())
        return;
    if (!m_lists.ListSlotValid(slot, "index"))
        return;
    const char* buffer = m_buffers.Slots().Index(channel);
    if (!buffer) {
        qCDebug(lcSession) << "index for channel out of range dropped" << channel;
        return;
    }
    // The reply names the channel and kind only through its sub-code, which without the second
    // stream says channel 0 and kind 0 for every request; the chains ask one index at a time, so
    // the answer belongs to the request that waits. Its data is where the engine put it.
    if (m_lists.Chain().awaitedIndex.channel >= 0) {
        channel = m_lists.Chain().awaitedIndex.channel;
        kind = m_lists.Chain().awaitedIndex.kind;
        m_lists.Chain().awaitedIndex = {};
    }
    const int bytes = std::min(size, int(SlotReceiveBuffers::kIndexBufferSize));
    if (kind == RecordListIntake::kIndexScanKind) {
        m_lists.ScanNextIndex(slot, channel, buffer, bytes);
        return;
    }

    const bool thumbnail = m_search.thumbnailMode.load() != 0;
    const bool museum = m_search.museumMode.load() != 0;
    const bool quick = m_search.quickMode.load() != 0;
    if (bytes > 0)
        m_lists.FeedIndex(channel, kind, buffer, bytes, slot, thumbnail, museum, quick);

    if (slot < RecordListIntake::kLastStorageSlot) {
        SendIntraIndexRequest(m_lists.Chain().day, channel, slot + 1, kind, kind == 1 ? 1 : 0);
        return;
    }
    m_lists.FinishIndexChain(channel, thumbnail, museum, quick, kind);
}
