#pragma once
// Gathers the live connection's 0x29 messages into whole frames. A frame opens with a message
// whose byte 12 has 0x01 or 0x10 and announces the frame's payload size; every message of the
// frame adds its payload (from byte 40 when byte 12 of the first has 0x80 or 0x40, else from
// byte 32) and the frame is whole when exactly the announced size is held. A frame announcing
// no payload or more than kMaxPayload is not opened; one that grows past its size is dropped.
// Widget-free.
#include "console/mirelavframe.h"

#include <optional>

class MirelFrameGatherer
{
public:
    static constexpr int kMinMessage = 44;
    static constexpr int kMaxPayload = 8 * 1024 * 1024;

    // The frame this message completes, if any.
    std::optional<MirelAVFrame> Take(const unsigned char* message, int length);
    bool IsOpen() const { return m_frame.channel >= 0; }

private:
    bool Open(const unsigned char* message);

    MirelAVFrame m_frame;
};
