#pragma once
// The download of a remote backup, without its widgets: the checked channels of one day's
// window are fetched one after another over the page's connection (RemoteBackupLink) and
// written into the client recording layout under the destination folder; each channel's sound,
// when asked for, goes into its audio file beside it.
//
// A channel ends with its first frame past the window (or earlier than the last one), after
// kSilenceLimitMs without a frame, or at the first write that fails: then the whole download
// stops, that channel says why (DiskFull or WriteFailed) and Failure() words it for the user.
// A channel is Finished only once its last second is written.
#include <QObject>
#include <QString>
#include <QTimer>
#include <QVector>

#include <array>
#include <functional>

#include "common/media/modulerecord.h"

class RemoteBackupLink;

class RemoteBackupDownload : public QObject
{
    Q_OBJECT
public:
    static constexpr int kSilenceLimitMs = 30000;
    static constexpr int kAudioHeaderSize = 24;
    static constexpr int kPlaybackRate = 120;
    static constexpr int kLastSequence = 100;
    // The channel number that stands for the sound in ChannelStatus.
    static constexpr int kAudio = 16;

    enum class Status { Downloading, Finished, Stopped, DiskFull, WriteFailed };

    struct Plan
    {
        QString destination; // ends with "/"
        QString recorderName;
        int date = 0;  // YYYYMMDD
        int begin = 0; // HHMMSS
        int end = 0;   // HHMMSS
        QVector<int> channels;
        bool audio = false;
        // Written into the archive: the recorder's archive items are refreshed.
        bool toArchive = true;
    };

    explicit RemoteBackupDownload(RemoteBackupLink& link, QObject* parent = nullptr);
    ~RemoteBackupDownload() override;

    // Starts with the plan's first channel; false (nothing sent) without a channel.
    bool Start(const Plan& plan);
    // The user's stop: what was written stays, the other channels say Stopped.
    void Stop();

    void OnVideo(int channel, int size, int kind, int date, int time, int sequence, bool key, char frameType,
                 char marker, const char* data);
    void OnAudio(int size, int sequence, const char* data);
    // No frame came for kSilenceLimitMs: the channel ends.
    void OnSilent();

    bool IsRunning() const { return m_running; }
    int Sequence() const { return m_sequence; }
    // A new recorder counts its requests from 0 again.
    void ResetSequence() { m_sequence = 0; }
    int CurrentChannel() const { return m_current; }
    // The text for the user after a failed write ("The backup of <recorder> stopped: ...").
    QString FailureText() const { return m_failureText; }
    // Called (recorder index, archive kind) when a recording into the archive begins.
    void SetArchiveRefresh(std::function<void(int, int)> refresh)
    {
        m_writer.SetArchiveRefresh(std::move(refresh));
    }
    // The audio file of the current channel for a block of `size` bytes.
    QString AudioFileName(int size) const;

    // The sound bytes of a playback audio block of `size` bytes (after its header), or -1 for
    // a block that cannot hold its header or exceeds `bufferSize`.
    static int AudioPayloadLength(int size, int bufferSize);
    // The request sequence number after `sequence`: 1 to 100, then 0 again.
    static int NextSequence(int sequence);

signals:
    // channel 0..15, or kAudio for the sound.
    void ChannelStatus(int channel, RemoteBackupDownload::Status status);
    void ChannelProgress(int channel, double percent);
    // The download has ended (finished, stopped or failed).
    void Ended();

private:
    void RequestChannel();
    void EndChannel();
    void Fail(int channel, const ModuleRecord::WriteFailure& failure);
    // Stops requests and writers; `current` keeps its status, every other unfinished channel
    // becomes Stopped.
    void Finish();
    void StepSequence();

    RemoteBackupLink& m_link;
    Plan m_plan;
    bool m_running = false;
    int m_sequence = 0;
    int m_current = -1;
    int m_lastFrameTime = -1;
    QVector<int> m_waiting;
    std::array<Status, kAudio + 1> m_status{};
    std::array<bool, kAudio + 1> m_planned{};
    QString m_failureText;
    ModuleRecord m_writer;
    QTimer m_silence;
};
