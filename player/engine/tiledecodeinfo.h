#pragma once
// What a tile's player knows about the recording it plays that decides the decoder road of its
// frames; the player sets it when it opens a recording.

struct TileDecodeInfo
{
    // The client recording carries the record mark 0x1F1: frames are whole H.264 pictures.
    bool recordMark1F1 = false;
    // The current frame begins with FF FF FF FF (the companion library's kind).
    bool companionFrame = false;
    // The recording header carries either of the two stream flags.
    bool streamFlags = false;
};
