#pragma once
// The permissions a recorder session copies from its entry record at each connect (bit n =
// channel n); read by the session threads as well.
#include <atomic>

#include <QtGlobal>

struct PermissionMasks
{
    std::atomic<quint32> live{0};
    std::atomic<quint32> search{0};
    std::atomic<quint32> backup{0};
    std::atomic<quint32> ptz{0};
    std::atomic<quint8> config{0};
};
