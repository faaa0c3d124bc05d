#pragma once
// The sound of the player's own recordings: the audio file beside a recording ("a" + the
// recording's letter and start time + ".a", else ".au"), its 50-byte head when it carries the
// mark, and the realignment that hands the audio of the second the video stands at to the audio
// output, with the audio kind as the codec.
//
// Every position is bounded by the file's length before a read; a head whose data start lies
// past the file, an unknown kind or a channel outside the file's channel mask plays nothing.
#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <functional>

class PlaybackAudioSink;

// How the audio file holds its sound.
enum class ListAudioKind : int {
    Raw = 0,          // no head: 2-bit G.726, 2000 bytes a second
    OneChannel = 1,   // 4-bit G.726, 4000 bytes a second
    FourChannels = 2, // 4-bit G.726 of four channels, byte-interleaved
    Interleaved = 4   // mu-law of the mask's channels in 512-byte blocks
};

struct ListAudioFormat
{
    bool playable = false; // false: the file plays nothing for this channel
    ListAudioKind kind = ListAudioKind::Raw;
    quint16 mask = 0;
    int channels = 1;
    int rank = 0; // the tile channel's place among the file's channels
    qint64 dataStart = 0;
};

class FrameListAudio
{
public:
    static constexpr quint32 kMark = 0x11FF55AA;
    static constexpr int kHeadBytes = 50;
    static constexpr int kBlockBytes = 512;
    static constexpr int kPiece = 4000;

    // The stem of the audio file of a recording's data file name ("x081510.002" → "x081510");
    // empty when the name is too short to hold one.
    static QString Stem(const QString& dataName);
    // The format of an audio file from its first bytes (at most 50) and its length, for the tile
    // channel (0-based).
    static ListAudioFormat ParseHead(const QByteArray& head, qint64 fileLength, int channel);

    // Finds and reads the audio file of the recording; false when there is none or it plays
    // nothing for the channel.
    bool Open(const QString& folder, const QString& dataName, int channel);
    void Close();
    bool IsOpen() const { return !m_path.isEmpty(); }
    QString Path() const { return m_path; }
    const ListAudioFormat& Format() const { return m_format; }

    // Hands the audio of second s (from the recording's start) to the sink. sameSecond says
    // whether the video still stands in that second: the second piece of a second goes on only
    // then.
    void Sync(int s, PlaybackAudioSink& sink, const std::function<bool()>& sameSecond) const;

private:
    void SyncRaw(qint64 s, PlaybackAudioSink& sink) const;
    void SyncOne(qint64 s, PlaybackAudioSink& sink, const std::function<bool()>& sameSecond) const;
    void SyncFour(qint64 s, PlaybackAudioSink& sink, const std::function<bool()>& sameSecond) const;
    void SyncInterleaved(qint64 s, PlaybackAudioSink& sink) const;

    QString m_path;
    ListAudioFormat m_format;
};
