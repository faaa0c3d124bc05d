#pragma once
// The recorder frame payload around an H.264 access unit, as a recorder sends it live and the
// client stores it: 20 header bytes (00 00 01 06; byte 7 the kind, 1 = a field pair, 2 = a
// single field; bytes
// 9..11 the length in 4-byte units, big-endian), then the H.264 data from byte 20: the sequence
// parameter set behind a four-byte start code, the picture parameter set behind a three-byte one
// (SEI messages are not sent), zero bytes up to a 32-bit word, and the slice's three-byte start
// code on that word, which lies within words 5..14.
#include <QByteArray>
#include <QList>

namespace recorder_payload {

// The NAL units of an access unit, each without its start code.
QList<QByteArray> NalUnits(const QByteArray& unit);

// The payload of the given kind around the access unit; empty when the parameter sets are too
// long for it.
QByteArray Wrap(const QByteArray& unit, int kind = 2);

} // namespace recorder_payload
