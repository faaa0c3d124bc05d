#pragma once
// Helpers of the session request tests: the messages a simulator received, read back as bytes,
// and a fence that proves everything sent before it has been logged.
#include <QByteArray>
#include <QList>

#include "session/support/session_fixture.h"

// Every message of one command the simulator received, whole (length field included), in order.
QList<QByteArray> ReceivedMessages(const SessionDvrSim* sim, int cmd);

// A 32-bit little-endian value of a message.
qint32 Word32(const QByteArray& message, int offset);

// Fences: a message the simulator only logs, sent on one of the recorder's connections and waited
// for, so that whatever the session sent before it on that connection has been logged by then.
// The live fence is a relay switch (command 0x27), the playback fence a playback rate of 77
// (command 0x8D). False when the fence never arrives.
constexpr int kFenceRate = 77;
bool FenceLive(SessionDvrSim* sim, CModuleDevice* device);
bool FencePlayback(SessionDvrSim* sim, CModuleDevice* device);
