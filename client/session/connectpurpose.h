#pragma once
// Why a recorder session connects, and so what it does once it has logged in. Callers that pass
// a plain option word use CModuleDevice::StartConnect(int): values of kDelayedConnect and more
// connect silently after (value - 500) ms.
enum class ConnectPurpose : int {
    Connect = 0,
    Live = 1,
    RemoteConfig = 2,
    Playback = 3,
    Favorite = 4,
    EmapOpen = 5,
    EmapRefresh = 6,
    Account = 7,
    Firmware = 8,
    Silent = 9,
    CellLive = 11,
    CellPlayback = 13,
};

constexpr int kDelayedConnect = 1000;
