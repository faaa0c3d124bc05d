#include "net/nettypemirel.h"

#include "net/mirelfields.h"

#include "common/media/mulaw.h"
#include "net/commandcode.h"
#include "net/filetransfer.h"
#include "net/hubservices.h"
#include "net/listkind.h"
#include "net/netlog.h"
#include "net/netrecvthread.h"
#include "net/recordermessageheader.h"
#include "net/requestbuilder.h"

#include <QAbstractSocket>
#include <QDebug>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <cstring>

namespace {

using H = RecorderMessageHeader;

} // namespace

using mirelfields::FieldText;

// ---------------------------------------------------------------------------------------------
// Login chain

void CNetTypeMirel::OnLoginReply(const char* message, int total)
{
    m_loginDone = true;
    m_loginOutstanding = false;
    const quint8 status = H::ReadStatus(message);
    if (status != 0) {
        // A refused login closes the connection, so that the caller sees the failure.
        qCDebug(lcNet) << "CNetTypeMirel: login refused, status" << status;
        Disconnect();
        return;
    }
    if (total < 30) {
        qCDebug(lcNet) << "CNetTypeMirel: login reply too short" << total;
        Disconnect();
        return;
    }
    const quint8 flags = H::U8(message, 20);
    m_loginOption = (flags & 0x04) != 0;
    m_loginLevel = (flags & 0x08) ? int(H::S8(message, 21)) : int(H::S8(message, 20));
    for (int i = 0; i < 4; ++i)
        m_loginMasks[size_t(i)] = H::S16(message, 22 + 2 * i);
    Send(RequestBuilder::ModelInfoRequest());
}

void CNetTypeMirel::OnModelInfo(char* message, int total)
{
    if (total < 100) {
        qCDebug(lcNet) << "CNetTypeMirel: model information too short" << total;
        return;
    }
    if (!TakeModelClass(message)) {
        m_modelCheck = kModelRefused;
        Disconnect();
        return;
    }
    m_modelCheck = 1;
    m_channelCount = std::min<int>(H::U8(message, 14), kMaxChannels);
    m_secondCount = H::U8(message, 15);
    m_sessionCount = H::U8(message, 25);
    m_subModelLetter = H::U8(message, 26);
    m_subModel = H::S32(message, 28);
    m_engineFlag36 = (H::U8(message, 36) & 0x04) != 0;
    m_firmwareMajor = H::U8(message, 41);
    m_firmwareMinor = H::U8(message, 42);
    m_relayCount = H::U8(message, 43);
    m_featureWord = H::U32(message, 44);
    m_sessionValue = H::U8(message, 98);
    TakeFirmwareCapabilities(message);
    TakeModelType(message);
    TakeModelTexts(message);
    m_ptzMask = 0;
    Send(RequestBuilder::CameraTitleRequest());
}

bool CNetTypeMirel::TakeModelClass(char* message)
{
    // The raw code byte packs a model class in its upper four bits and the code in the lower
    // four, up to 0xAF (below 0x20 the code is the byte less 0x10); from 0xB0 it is the code
    // itself, with no class, and 0xFF carries class and code in bytes 72, 73.
    static constexpr int kClassByUpperBits[11] = {1, 1, 0, 0, 0, 0, 6, 7, 0, 0, 10};
    const int raw = H::U8(message, 12);
    int modelClass = 0;
    int code = raw;
    if (raw == 0xFF) {
        modelClass = H::S8(message, 72);
        code = H::U8(message, 73);
    } else if (raw < 0x20) {
        modelClass = 1;
        code = raw - 0x10;
    } else if (raw < 0xB0) {
        modelClass = kClassByUpperBits[raw >> 4];
        code = raw & 0x0F;
    }
    message[12] = char(code);
    if (modelClass != 1 && modelClass != 6 && modelClass != 7 && modelClass != 10) {
        qCDebug(lcNet) << "CNetTypeMirel: model code" << Qt::hex << raw << "has no accepted class";
        return false;
    }
    m_rawModelCode = raw;
    m_modelClass = modelClass;
    m_modelCode = code;
    return true;
}

void CNetTypeMirel::TakeFirmwareCapabilities(const char* message)
{
    const int firmware = m_firmwareMajor * 100 + m_firmwareMinor;
    const bool bit20 = (m_featureWord >> 20) & 1;
    m_extendedKeepAlive = firmware >= 330;
    m_dualStream = firmware >= 331;
    m_secondStream = m_dualStream ? 1 : 0;
    m_directRate = firmware >= 341;
    m_eventListCapa = firmware >= 342 && bit20;
    m_furtherCapa = firmware >= 344 && bit20;
    m_extendedAudio = H::U8(message, 99) == 3;
}

void CNetTypeMirel::TakeModelType(const char* message)
{
    const bool bit20 = (m_featureWord >> 20) & 1;
    const bool bit7 = (m_featureWord >> 7) & 1;
    m_modelTypeIndex = 0;
    m_streamKind = 0;
    m_modelFlag = false;
    m_featureFlag = false;
    m_code13Flag = false;
    switch (m_modelCode) {
    case 6:
        m_extendedAudio = true;
        m_modelTypeIndex = 0;
        break;
    case 7:
        m_extendedAudio = true;
        m_modelTypeIndex = 1;
        break;
    case 8: {
        const int sub = m_subModel;
        m_modelTypeIndex = 5;
        if (sub == 1641 || sub == 841 || sub == 1642 || sub == 842 || sub == 1621 || sub == 821 || sub == 421)
            m_modelTypeIndex = 4;
        else if (sub == 422 || sub == 822)
            m_modelTypeIndex = 2;
        if (sub == 1642 || sub == 422 || sub == 822 || sub == 842)
            m_modelFlag = true;
        if (bit20) {
            m_featureFlag = true;
            if (bit7)
                m_streamKind = 3;
        }
        break;
    }
    case 9: m_modelTypeIndex = 1; break;
    case 11:
        m_extendedAudio = true;
        m_modelTypeIndex = (m_subModelLetter == ' ') ? 2 : 1;
        break;
    case 13:
        m_streamKind = 1;
        m_modelTypeIndex = 6;
        m_code13Flag = H::U8(message, 28) > 100;
        break;
    case 15:
        m_streamKind = 2;
        m_modelTypeIndex = 6;
        break;
    case 16:
    case 17:
        m_streamKind = 3;
        m_modelTypeIndex = 6;
        m_secondFlag.fill(true);
        break;
    default: break;
    }
    if (bit20 && m_streamKind == 0)
        m_streamKind = 1;
    m_featureBit16 = (m_featureWord >> 16) & 1;
}

void CNetTypeMirel::TakeModelTexts(const char* message)
{
    m_versionText = QString::asprintf("%d.%02d.%02d.%02d", H::U8(message, 16), H::U8(message, 17),
                                      H::U8(message, 18), H::U8(message, 71));
    m_macText = QString::asprintf("%02X:%02X:%02X:%02X:%02X:%02X", H::U8(message, 92), H::U8(message, 93),
                                  H::U8(message, 94), H::U8(message, 95), H::U8(message, 96), H::U8(message, 97));
}

void CNetTypeMirel::OnCameraTitles(const char* message, int total)
{
    for (int n = 0; n < m_channelCount; ++n) {
        const int at = 12 + 16 * n;
        if (at + 16 > total) {
            qCDebug(lcNet) << "CNetTypeMirel: camera titles end after" << n << "records";
            break;
        }
        m_titles[size_t(n)] = FieldText(message, at, 15);
    }
    for (int n = 0; n < kMaxChannels; ++n) {
        m_live[size_t(n)].firstFrame = -1;
        m_liveRequested[size_t(n)] = false;
        m_cameraKind[size_t(n)] = 0;
    }
    SendPtzInfoRequest(0);
}

void CNetTypeMirel::OnPtzInfo(char* message, int total)
{
    if (total < 14) {
        qCDebug(lcNet) << "CNetTypeMirel: PTZ information too short" << total;
        return;
    }
    const int channel = H::U8(message, 12);
    if (channel >= kMaxChannels) {
        qCDebug(lcNet) << "CNetTypeMirel: PTZ information for channel" << channel << "dropped";
        return;
    }
    const int length = std::clamp<int>(H::S8(message, 13), 0, total - 14);
    const QString text = FieldText(message, 14, length);
    if (text != QLatin1String("NONE"))
        m_ptzMask |= quint16(1u << channel);
    if (channel + 1 < m_channelCount)
        SendPtzInfoRequest(channel + 1);
    else
        Send(RequestBuilder::PtzListEnd());
}

void CNetTypeMirel::OnCameraMap(const char* message, int total)
{
    const bool identity = H::ReadStatus(message) != 0;
    for (int n = 0; n < kMaxChannels; ++n) {
        if (identity || 12 + n >= total)
            m_cameraMap[size_t(n)] = n;
        else
            m_cameraMap[size_t(n)] = H::S8(message, 12 + n);
    }
    Send(RequestBuilder::CameraKindRequest());
}

void CNetTypeMirel::OnCameraKinds(const char* message, int total)
{
    if (total < 13) {
        qCDebug(lcNet) << "CNetTypeMirel: camera kinds too short" << total;
        return;
    }
    const int count = std::min<int>(H::U8(message, 12), kMaxChannels);
    for (int n = 0; n < count && 16 + n < total; ++n) {
        const int kind = H::U8(message, 16 + n);
        m_cameraKind[size_t(n)] = kind;
        if (m_secondFlag[size_t(n)] && kind != 6)
            m_secondFlag[size_t(n)] = false;
    }
    SendPoll();
}

void CNetTypeMirel::OnExtendedStatus(const char* message, int total)
{
    if (total < 30) {
        qCDebug(lcNet) << "CNetTypeMirel: extended status too short" << total;
        return;
    }
    m_extStatus[0] = H::S8(message, 24);
    m_extStatus[1] = H::S8(message, 25);
    m_extStatus[2] = H::S16(message, 28);
    Send(RequestBuilder::StatusPoll());
}

void CNetTypeMirel::OnStatus(const char* message, int total)
{
    if (total >= 34) {
        const quint16 event = H::U16(message, 12);
        const quint16 motion = H::U16(message, 14);
        const quint16 sensor = H::U16(message, 16);
        const quint16 relay = H::U16(message, 22);
        const quint16 present = H::U16(message, 24);
        const quint16 video = H::U16(message, 26);
        const quint16 maskA = H::U16(message, 28);
        const quint16 maskB = H::U16(message, 32);
        for (int n = 0; n < m_channelCount; ++n) {
            const size_t i = size_t(n);
            const auto bit = [n](quint16 mask) { return ((mask >> n) & 1) != 0; };
            m_relay[i] = bit(relay);
            m_present[i] = bit(present);
            if (!m_present[i]) {
                m_motion[i] = m_sensor[i] = m_videoLoss[i] = m_maskA[i] = m_maskB[i] = false;
                m_liveRequested[i] = false;
                continue;
            }
            if (event == 0) {
                m_motion[i] = bit(motion);
                m_sensor[i] = bit(sensor);
            }
            m_videoLoss[i] = !bit(video);
            m_maskA[i] = bit(maskA);
            m_maskB[i] = bit(maskB);
        }
        if (total >= 56 && !m_diskInfoFlag) {
            static const quint8 kMap[4] = {0, 3, 1, 2};
            for (int i = 0; i < 10; ++i) {
                const quint8 code = H::U8(message, 44 + i);
                m_diskState[size_t(i)] = code < 4 ? kMap[code] : 0;
            }
        }
    } else {
        qCDebug(lcNet) << "CNetTypeMirel: status too short for the channel masks" << total;
    }
    if (m_netState == 2) {
        emit OnNetState(3);
        return;
    }
    m_netState = 2;
    StartKeepAlive();
    emit OnNetState(2);
    m_diskInfoFlag = false;
    Send(RequestBuilder::DiskInfoRequest());
}

void CNetTypeMirel::OnDiskInfo(const char* message, int total)
{
    if (total < 25) {
        qCDebug(lcNet) << "CNetTypeMirel: disk information too short" << total;
        return;
    }
    const qint64 capacity = H::U32(message, 12);
    const qint64 used = H::U32(message, 16);
    const quint8 mode = H::U8(message, 20);
    const int limit = H::U8(message, 21);
    const int arrayType = H::U8(message, 23);
    const int arrayState = H::U8(message, 24);
    int count = (total - 27) / 12;
    if (limit != 0 && count > limit)
        count = limit;

    QString text;
    if (used == 0)
        text = QStringLiteral("0.00 GB");
    else if (used < 1000)
        text = QString::asprintf("%d.00 GB", int(used));
    else
        text = QString::asprintf("%.2f TB", double(used) / 1000.0);
    if (used == 0 || capacity == 0) {
        text += QStringLiteral(" (0%)");
    } else {
        // Compared as a fraction first: a recorder can report more used than capacity, by far.
        const double percent = double(used) / double(capacity) * 100.0;
        text += percent >= 99.5 ? QStringLiteral(" (100%)") : QString::asprintf(" (%d%%)", int(percent + 0.5));
    }
    m_diskText = count < 1 ? QStringLiteral("HDD recognition error") : text;

    if (mode == 0x7F) {
        m_diskInfoFlag = true;
        m_arrayType = arrayType;
        if (arrayState != 0 && (arrayType == 0 || arrayType == 1 || arrayType == 5)) {
            m_diskState.fill(0);
            m_diskState[0] = arrayState == 4 ? 2 : arrayState == 1 ? 1 : 3;
        }
    } else {
        for (int i = 0; i < kDiskStates; ++i) {
            const int at = 28 + 12 * i;
            quint8 state = 0;
            if (i < count && at + 9 <= total && H::U16(message, at) != 0) {
                switch (H::U8(message, at + 8)) {
                case 0: state = 2; break;
                case 1: state = 1; break;
                case 2: state = 3; break;
                default: state = 0; break;
                }
            }
            m_diskState[size_t(i)] = state;
        }
    }
    emit OnNetState(3);
}

void CNetTypeMirel::OnRecorderValues(const char* message, int total)
{
    if (total < 32) {
        qCDebug(lcNet) << "CNetTypeMirel: recorder values too short" << total;
        return;
    }
    std::memcpy(m_recorderValues.data(), message + 12, m_recorderValues.size());
}
