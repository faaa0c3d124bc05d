#pragma once
// The command codes of the recorder protocol: byte 6 of every message header. Where the recorder
// answers a request under the request's own code, one name serves both directions; a reply with a
// code of its own is named for what it carries.
#include <QtGlobal>

enum class CommandCode : quint8 {
    // Login chain and keep-alive.
    Login = 0x01,
    LoginReply = 0x02,
    PauseNotice = 0x05, // carries nothing; ignored
    ModelInfoRequest = 0x1C,
    ModelInfo = 0x1D,
    StatusPoll = 0x22,
    Status = 0x23,
    CameraTitleRequest = 0x2E,
    CameraTitles = 0x2F,
    PtzInfoRequest = 0x06,
    PtzInfo = 0x07,
    PtzListEnd = 0x73,
    CameraMap = 0x74,
    CameraKinds = 0x99, // the request and the reply
    ExtendedStatusPoll = 0xAE,
    ExtendedStatus = 0xAF,
    DiskInfoRequest = 0x47, // an answer under this code leaves the disk text "Unknown"
    DiskInfo = 0x52,
    RecorderValues = 0xBD,
    AsyncEvent = 0x2D,

    // Live video and audio, camera control, relays and talk-back.
    LiveStart = 0x87,
    LiveStop = 0x04,
    LiveAudioStart = 0x3D,
    LiveAudioStop = 0x3E,
    LiveOutput = 0xBC,
    LiveOutputChannel = 0xBE,
    PtzControl = 0x08,
    RelayControl = 0x27,
    TalkStart = 0x3F,
    TalkStop = 0x40,
    MediaFrame = 0x29, // live and playback frames from the recorder, talk-back audio to it
    CameraTitle = 0x9C,

    // Record lists, index and playback.
    ListRequest = 0x20, // also the recorder's answer for a list without data
    ListData = 0x21,
    FrameRequest = 0x66,
    FrameReply = 0x67,
    PlaybackRate = 0x8D,
    PlaybackCtrlExt = 0x95,
    PlaybackInfo = 0x97,

    // Remote console.
    ConsoleLock = 0x96, // also the health check request
    MousePos = 0x9A,
    ConsoleMode = 0xA6,
    ConsoleLockCanceled = 0xA7,
    ConsoleDataRequest = 0xA8, // an answer under this code: the console is not supported
    ConsoleData = 0xA9,
    ConfigField = 0x9D,
    ConfigUpdate = 0x9E,

    // Recorder-side media backup.
    CDMediaCheck = 0x35,
    MediaState = 0x36,
    CDBackupPrepare = 0x37,
    BurningResult = 0x38,
    CDBackupStop = 0x39,
    CDBackupClose = 0x3A,
    BackupCapaRequest = 0x49,
    BackupCapa = 0x4A,
    CDBackupStart = 0x4B,
    CDMediaErase = 0x64,
    EraseResult = 0x65,
    CDListBackupStart = 0xC0,

    // Settings and firmware transfer (both directions).
    FileBegin = 0x0F,
    FileEnd = 0x10,
    FileStat = 0x11,
    FileDataRequest = 0x12,
    FileData = 0x13,
    ConfigAction = 0x1A,
    CommandResult = 0x1B,
    UpgradeInfo = 0x86,
};

// The code as it stands in byte 6 of a header.
constexpr quint8 CommandByte(CommandCode code)
{
    return static_cast<quint8>(code);
}

// The code in byte 6 of a received message; a value outside the list above is kept as it is and
// matches no name.
constexpr CommandCode ToCommandCode(quint8 byte)
{
    return static_cast<CommandCode>(byte);
}
