#pragma once
// Finds and decodes the picture of a play position for a slider preview: the index entry of the
// position (the last one when the position lies past the end), the next second with data from
// there, and in its frame block the first key frame, which is decoded (with the frame the header
// names when that is another) through the preview's own decoder. Runs on a thread of its own over
// copies of the tile's paths, so it never touches what the tile's play thread reads.
#include "playback/recordinglocator.h"

#include <QString>

#include <thread>
#include <vector>

class PreviewSink;

class PreviewReader
{
public:
    static constexpr int kPreviews = 10;

    explicit PreviewReader(PreviewSink& sink);
    ~PreviewReader();
    PreviewReader(const PreviewReader&) = delete;
    PreviewReader& operator=(const PreviewReader&) = delete;

    // Starts the reader for a preview 0..9 at play position (seconds after firstSecond); a
    // recording that is not of the 16-byte index layout gets no picture.
    void StartPreview(const RecordingPaths& paths, bool layout512, int firstSecond, int position, int preview);
    // Waits for the reader (tests, shut-down).
    void Join();

    // The preview of one position, on the caller's thread.
    void Read(const RecordingPaths& paths, bool layout512, int firstSecond, int position, int preview);

private:
    bool ReadPicture(const RecordingPaths& paths, qint64 entryPos, qint64 indexSize, int preview);

    PreviewSink& m_sink;
    std::thread m_thread;
    std::vector<quint8> m_buffer;
};
