#pragma once
// How the last connect of a recorder session ended.
enum class ConnectResult : int {
    None = 0,
    Failed = 1,
    Done = 2,
};
