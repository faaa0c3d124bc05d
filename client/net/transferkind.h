#pragma once
// The kinds of settings and firmware transfer: a 32-bit value in every transfer message that
// says which file moves and in which direction.
#include <QtGlobal>

enum class TransferKind : qint32 {
    AccountDownload = 0,  // the recorder's settings into download.ini, for the account manager
    SettingsUpload = 1,   // download.ini back to the recorder
    FirmwareUpload = 2,   // the hub's firmware package
    ConsoleDownload = 99, // the recorder's settings into config.ini, for the configuration console
};

// The kind of a transfer message or of a caller's request; a value outside the list matches no
// name.
constexpr TransferKind ToTransferKind(int kind)
{
    return static_cast<TransferKind>(kind);
}

constexpr int TransferKindValue(TransferKind kind)
{
    return static_cast<int>(kind);
}
