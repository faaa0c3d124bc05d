#pragma once
// Where a recorder session's chain of record-list and index requests stands: the day it lists,
// the day and channel (or all channels) its index requests are for, whether the channels start
// playing together, and the index or index block whose answer is awaited.
class CModulePlayback;

struct IndexChain
{
    int date = 0;
    int day = 0;
    int channel = 0;
    bool startTogether = false;
    // The index request whose answer is awaited (channel -1: none).
    struct AwaitedIndex
    {
        int channel = -1;
        int kind = 0;
    };
    AwaitedIndex awaitedIndex;
    // The scheduler whose index block is awaited (channel -1: none).
    struct AwaitedHeader
    {
        int channel = -1;
        CModulePlayback* scheduler = nullptr;
    };
    AwaitedHeader awaitedHeader;
};
