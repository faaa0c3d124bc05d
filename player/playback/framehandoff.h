#pragma once
// Hands a tile's current frame to the video engine: decoded at once on the tile's own thread for
// recordings indexed by 16-byte entries, queued with the engine for 104-byte frame records. Keeps
// the frames-per-step estimate with which the play loop skips from key frame to key frame when
// decoding falls behind.
#include <QtGlobal>

class PlaybackFrameSink;
class PlaybackHost;
struct TileState;

class FrameHandOff
{
public:
    FrameHandOff(TileState& tile, PlaybackFrameSink& sink, PlaybackHost& host);

    // Hands the frame (data, length) with the current frame's date and time: decode asks for a
    // decode (direct road), noDisplay decodes or queues without showing. Returns the decode
    // result, -1 when nothing was decoded, -3 when no picture is shown, 0 for a queued frame.
    // delay: the frame's delay value handed on with a queued frame.
    int PutFrame(quint8* data, int length, bool noDisplay, bool decode, int frameType, int delay = 0);

    // Tells the video engine the tile's play state (a pause keeps the last frame shown).
    void ShowState();

    // A tile fed from files is never in the hub's recorder map: nothing is handed on, and the
    // play state stays as it is.
    void PutNoData();

    // The frames-per-step estimate after a frame took this many milliseconds.
    void UpdateStepRate(qint64 elapsedMs);
    static int StepRateTarget(qint64 elapsedMs);

    // Width and height of a decode result (w x 1000 + h, or w x 10000 + h above 10,000,000).
    static void SplitSize(int result, int& width, int& height);

private:
    int DecodeIndexedFrame(quint8* data, int length, bool noDisplay);
    void DetectEnd();

    TileState& m_tile;
    PlaybackFrameSink& m_sink;
    PlaybackHost& m_host;
};
