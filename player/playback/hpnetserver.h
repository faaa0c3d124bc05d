#pragma once
// The client of one recorder: its requests (framed and sent by the socket engine) and the
// dispatcher of its replies. Every reply is peer bytes: each field is read only when the reply
// holds it, and every count and offset is checked before use.
#include <array>
#include <functional>
#include <memory>

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QVector>

#include "playback/recorderrequest.h"
#include "playback/searchrequest.h"

class HPItemCamera;
class HPItemDVR;
class HPNetwork;

class HPNetServer
{
public:
    static constexpr int kChannels = 16;
    static constexpr int kAssembly = 1240000;
    static constexpr int kModelCount = 15;
    static constexpr int kRetiredModel = 0; // a model this client does not serve: disconnect

    HPNetServer(HPNetwork& hub, int recorderId, const QString& name);
    ~HPNetServer();

    int RecorderId() const { return m_recorderId; }
    // Binds the client to a peer of the socket engine (0 = none).
    void Attach(int peer);
    int Peer() const { return m_peer; }
    bool Connected() const { return m_connected; }
    int LoginState() const { return m_login; }
    bool StatusReceived() const { return m_statusReceived; }
    int CameraCount() const { return m_cameraCount; }
    int ModelKind() const { return m_modelKind; }
    bool ProtocolFlag() const { return m_protocolFlag; }
    int CodecVersionFlag() const { return m_codecFlag; }
    int AlarmOutputs() const { return m_alarmOutputs; }
    bool ClockValid() const { return m_clockValid; }
    QDateTime RecorderClock() const { return m_clock; }
    qint64 ClockDifference() const { return m_clockDifference; }
    quint16 EventFlags() const { return m_eventFlags; }
    int AssembledFrames() const { return m_assembled; }
    HPItemDVR& Item() { return *m_item; }
    HPItemCamera* Camera(int index) const;
    static QString ModelName(int id);
    // The local clock the recorder's clock is compared with.
    void SetClock(std::function<QDateTime()> now) { m_now = std::move(now); }

    // Requests: the engine's result (bytes sent, 0 when the stream is busy, -1 when the peer is
    // unknown or closed).
    qint64 ReqModelInformation() { return Send(RecorderRequest::ModelInformation()); }
    qint64 ReqCameraNames() { return Send(RecorderRequest::CameraNames()); }
    qint64 ReqStatus() { return Send(RecorderRequest::StatusPoll()); }
    qint64 ReqRecorderClock();
    qint64 ReqPlayAudioClip(int channel) { return Send(RecorderRequest::PlayAudioClip(channel)); }
    qint64 ReqLiveAudioStop(int channel) { return Send(RecorderRequest::LiveAudioStop(channel)); }
    qint64 ReqFileData(int channel, const QVector<FileDataEntry>& entries);
    qint64 ReqFileDataStop() { return Send(RecorderRequest::FileDataStop()); }
    qint64 ReqSearch(const SearchRequest& request) { return Send(RecorderRequest::Search(request)); }
    // Live video is not part of this program: these send nothing.
    qint64 ReqLiveVideo(int) { return 0; }
    qint64 ReqLiveVideoStop(int) { return 0; }
    qint64 ReqLiveVideoStopAll() { return 0; }

    void Disconnect();
    int OnConnectionState(const QByteArray& message);
    int OnPacket(const QByteArray& reply);
    int OnData(const QByteArray&) { return 1; }

private:
    qint64 Send(const QByteArray& frame);
    void OnLogin(const QByteArray& reply);
    void OnCameraEvent(const QByteArray& reply);
    void OnModel(const QByteArray& reply);
    void OnFragment(const QByteArray& reply);
    void OnClock(const QByteArray& reply);
    void OnCameraNames(const QByteArray& reply);
    void ToTile(int tile, const QByteArray& reply);
    void FreeAssembly();

    HPNetwork& m_hub;
    int m_recorderId;
    std::unique_ptr<HPItemDVR> m_item;
    std::function<QDateTime()> m_now;
    int m_peer = 0;
    bool m_connected = false;
    int m_codecFlag = 0;
    int m_login = 0;
    bool m_statusReceived = false;
    int m_cameraCount = 0;
    int m_modelKind = 0;
    bool m_protocolFlag = false;
    int m_alarmOutputs = 0;
    quint16 m_eventFlags = 0;
    bool m_clockValid = false;
    QDateTime m_clock;
    qint64 m_clockDifference = 0;
    std::array<QByteArray, kChannels> m_frames;
    std::array<int, kChannels> m_frameFill{};
    QByteArray m_audio;
    int m_audioFill = 0;
    int m_assembled = 0;
};
