#pragma once
// Independent helpers of the transfer tests: the CRC-16 worked out bit by bit, and file contents.
#include <QByteArray>
#include <QtGlobal>

// CRC-16 as a shift register that takes each data bit in at the bottom, most significant bit
// first, and folds 0x1021 in whenever a one leaves the top. The program's table form
// crc = ((crc << 8) & 0xFFFF) ^ T[crc >> 8] ^ b computes the same.
quint16 RequestsReferenceCrc(const QByteArray& data);

// `size` bytes of a pattern that does not repeat on block boundaries.
QByteArray RequestsPattern(int size);
