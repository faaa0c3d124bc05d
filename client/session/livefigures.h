#pragma once
// What a live channel has done since the session was made, for measurements: frames received
// from the recorder, decoded, skipped by the processor-load rule, and what is queued now
// (records and the video time they cover).
#include <QtGlobal>

struct LiveFigures
{
    int received = 0;
    int decoded = 0;
    int skippedForLoad = 0;
    int queued = 0;
    qint64 queuedMs = 0;
};
