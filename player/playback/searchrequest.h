#pragma once
// One query of the recorder search face: the kind of search, the pending request id, which of
// the four parts it is, the two texts (chosen day and time, "0" when not used) and the numbers
// that go with them (tile or 99 for the multi-channel dialog, index position and entry size,
// channel, and the peer that carries it).
#include <QString>
#include <QtGlobal>

struct SearchRequest
{
    int kind = 0; // 9 day list, 10 day index, 11 event list, 12 record table, 16 summary, 18 index entry
    quint32 requestId = 0;
    int part = 0; // 0..3
    QString date = QStringLiteral("0");
    QString time = QStringLiteral("0");
    int tile = 0;         // tile 0..15, or 99 for the multi-channel dialog
    quint32 position = 0; // low 32 bits of an index position (kind 18)
    int entrySize = 0;    // 16 or 36 (kind 18)
    int channel = 0;
    int peer = 0;
};
