#pragma once
// The frames of a tile's recording (the 16-byte index layout) for the AVI export, read second
// by second from its own copies of the files and decoded in file order through a decoder of the
// export's own, so that the tile's play state is not touched. A range that starts inside a
// group is first decoded from the group's key frame; frames a second holds beyond what the
// export takes are still decoded, so every picture has its references. A second's sound comes
// from the client recording's audio file as one block of 8 kHz 16-bit samples.
#include "playback/exportsource.h"
#include "playback/frameblock.h"
#include "playback/indexlayout.h"
#include "playback/recordinglocator.h"

#include <QFile>
#include <QString>

#include <functional>
#include <vector>

class TileExportSource : public ExportSource
{
public:
    // Decodes one frame (the data may be rewritten in place); continuation is true for a frame
    // that follows the one before it in its group. The size result of the video engine, with the
    // 32-bit picture in `picture` when one was made.
    using Decoder = std::function<int(quint8* data, int length, bool continuation, QImage& picture)>;

    TileExportSource(const RecordingPaths& paths, const IndexInfo& index, Decoder decoder,
                     const AudioSource& audio = AudioSource());

    // True for the audio files whose seconds the export writes: the client recording's "a0"
    // (unsigned 8-bit), "a1" and "a2" (mu-law) and "a3" (16-bit) files.
    static bool ExportsAudio(AudioKind kind);

    // Seconds from the recording's first second to its last.
    int Length() const { return m_index.lastSecond - m_index.firstSecond; }

    bool SeekSecond(int second) override;
    int FramesInSecond(int second) override;
    bool DecodeNext(QImage& picture) override;
    QByteArray AudioOfSecond(int second) override;
    QString DateText(int second) const override;
    QString TimeText(int second) const override;

private:
    struct Frame
    {
        FrameHeader header;
        QString path;
    };
    // The frames of a second, in file order; empty for a second without data.
    std::vector<Frame> ReadSecond(int second) const;
    bool Decode(const Frame& frame, QImage* picture);
    void PrimeGroup(qint64 keyOffset, int second);

    RecordingPaths m_paths;
    IndexInfo m_index;
    Decoder m_decoder;
    AudioSource m_audio;
    std::vector<Frame> m_frames;
    int m_current = -1;
    size_t m_next = 0;
    bool m_primed = false;
    int m_date = 0; // yyyymmdd of the last second read
    QImage m_last;
    std::vector<quint8> m_buffer;
};
