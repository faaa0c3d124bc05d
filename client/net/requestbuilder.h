#pragma once
// Composes every request of the recorder protocol as one complete message.
//
// Each message starts with the common 12-byte header: bytes 0..3 stay 0 (the send path writes the
// big-endian length), bytes 4..7 are 00 A1 <command> 00, byte 8 is the sub-code and bytes 9..11
// the total length as 24-bit little-endian. Body fields are little-endian; unnamed bytes are 0.
//
// The builders only compose bytes. Whatever the engine keeps about a request (reply buffers,
// the current audio channel, live-requested flags) stays with the engine, and whatever of its
// state decides the bytes (camera map entry, capability flags, channel count, stream kind,
// second-stream selection) is passed in. A request that cannot be composed safely comes back
// empty (or as an empty list) together with a debug line; nothing is then to be sent.
#include "net/commandcode.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QVector>
#include <QtGlobal>

class RequestBuilder
{
public:
    static constexpr int kHeaderSize = 12;
    // The login text (user + password, and the silent option) lives in a 50-byte area; the same
    // area size bounds a camera title.
    static constexpr int kLoginAreaSize = 50;
    static constexpr int kTitleAreaSize = 50;
    // Frame requests cut a frame into pieces of this size; one message carries at most
    // kMaxFramePieces pieces of 24 bytes each.
    static constexpr int kFramePieceSize = 32768;
    static constexpr int kFramePieceEntrySize = 24;
    static constexpr int kMaxFramePieces = 999;
    // The media list backup request holds at most this many 20-byte entries.
    static constexpr int kMaxListBackupEntries = 63;
    // Largest total that the 24-bit length field can carry.
    static constexpr int kMaxTotal = 0xFFFFFF;

    // One 20-byte range of a media list backup request, the same layout as the backup capacity
    // request: the 32-bit, 64-bit and 32-bit values at 0, 4 and 12 are the four dates and times,
    // and the last four bytes carry the channel mask (bit i = channel i + 1) and the audio flag.
    struct ListBackupEntry
    {
        qint32 startDate = 0; // YYYYMMDD
        qint32 startTime = 0; // HHMMSS
        qint32 finishDate = 0;
        qint32 finishTime = 0;
        quint16 channelMask = 0;
        quint16 audioFlag = 0xFFFF;
    };

    // Header only (total 12 or more, rest zero); exposed for the few requests without a body.
    static QByteArray Compose(CommandCode command, int total, quint8 subCode = 0);

    // --- login chain and keep-alive -------------------------------------------------------
    // Login. User and password go out as UTF-8; bytes 13 and 14 count their bytes. Empty result
    // when the text (with the option) does not fit the 50-byte area.
    static QByteArray Login(const QString& user, const QString& password, bool silent);
    static QByteArray ModelInfoRequest();
    static QByteArray CameraTitleRequest();
    static QByteArray PtzInfoRequest(int channel);
    static QByteArray PtzListEnd();
    static QByteArray CameraKindRequest();
    static QByteArray ExtendedStatusPoll();
    static QByteArray StatusPoll();
    static QByteArray DiskInfoRequest();

    // --- live video and audio -------------------------------------------------------------
    // Live start. Without the direct-rate capability the mode selects a preset, and recorders of
    // stream kind 2 or 3 get their rate reduced to 1 or 30.
    static QByteArray LiveStart(int channel, int rate, int mode, bool audio, bool directRate, int streamKind);
    static QByteArray LiveStop(int channel);
    static QByteArray LiveAudioStart(int cameraMapEntry);
    static QByteArray LiveAudioStop(int currentAudioChannel);
    static QByteArray LiveOutput();
    static QByteArray LiveOutputChannel(quint8 channel);

    // --- camera, relay, talk-back ----------------------------------------------------------
    // The camera control: the low byte of the preset goes out three times.
    static QByteArray PtzControl(quint8 channel, quint8 code, quint8 speed, int preset);
    static QByteArray RelayControl(int relay, int state);
    static QByteArray TalkStart();
    static QByteArray TalkStop();
    static QByteArray TalkAudio(const char* data, int length);
    // The title goes out as UTF-8 in a 50-byte area; empty result when it is longer.
    static QByteArray CameraTitle(int channel, const QString& title);

    // --- record lists and key-frame index ----------------------------------------------------
    // One list of a day (YYYYMMDD) from one storage slot (0 to 8).
    static QByteArray TimeRecList(int date, int storageSlot);
    // The extended event list with the event-list capability, else the plain one.
    static QByteArray EventRecList(int date, int storageSlot, bool eventListCapability);
    static QByteArray AudioRecList(int date, int storageSlot);
    // Byte 19 becomes slot + 1 + channel count when the second stream is asked for: dual-stream
    // capability set, stream 1, and the second stream selected; otherwise 0.
    // The index header block of `size` bytes at `offset` (the offset goes out twice).
    static QByteArray IntraHeaderRequest(int value, int slot, int channel, int offset, int size, quint8 stream,
                                         bool dualStream, quint8 secondStreamSelection, int channelCount);
    // The key-frame index of a day (YYYYMMDD), 512 bytes.
    static QByteArray IntraIndexRequest(int date, int slot, int channel, quint8 stream, bool dualStream,
                                        quint8 secondStreamSelection, int channelCount);
    static quint8 IndexSubCode(int slot, quint8 stream, bool dualStream, quint8 secondStreamSelection,
                               int channelCount);

    // --- playback ----------------------------------------------------------------------------
    // Sub-code slot + 100: the frame is cut into pieces of 32768 bytes; more than 999
    // pieces go out as several messages. Empty list for a negative size or offset or a slot that
    // does not fit the sub-code.
    static QList<QByteArray> FrameRequest(int slot, quint8 kind, qint64 offset, int size);
    // Sub-code 200: the caller's 24-byte entries, at most 999 per message.
    static QList<QByteArray> FrameListRequest(const char* entries, int count);
    static QByteArray PlaybackRate(int value);
    // The extended playback control: `requestType` 2 plays, 0 stops; `tag` numbers the request
    // (its frames come back with it); `playMode` is the playback control code; `audioChannel` is
    // the channel heard + 1 (0 none); date YYYYMMDD and time HHMMSS say where to start. The long
    // form (36 bytes) repeats the channel mask at byte 34; the short form is 32 bytes.
    static QByteArray PlaybackCtrlExt(quint8 requestType, quint8 tag, quint16 playMode, quint8 speed,
                                      quint8 audioChannel, quint16 channelMask, int date, int time,
                                      quint8 frameRate, bool longForm);

    // --- remote console ------------------------------------------------------------------------
    // The lock code 1 or 2 goes out as the sub-code; any other value as 0.
    static QByteArray ConsoleLock(int lockCode);
    static QByteArray MousePos(int x, int y, int button, quint8 flag);
    static QByteArray ConsoleMode(quint8 mode);
    static QByteArray ConsoleDataRequest();

    // --- recorder-side media backup --------------------------------------------------------
    // Dates YYYYMMDD, times HHMMSS; the channel mask has bit i for channel i + 1; an audio flag
    // of 0xFFFF takes the audio along. The media kind is 0 for a disc, 2 for USB storage.
    static QByteArray CDMediaCheck(quint8 mediaKind);
    // `discNumber` counts the media already written.
    static QByteArray CDBackupPrepare(quint8 discNumber, quint8 mediaKind);
    static QByteArray CDBackupStop(quint8 mediaKind);
    static QByteArray CDBackupClose();
    static QByteArray BackupCapaRequest(int startDate, int startTime, int finishDate, int finishTime,
                                        quint16 channelMask, quint16 audioFlag);
    static QByteArray CDBackupStart(int startDate, int startTime, int finishDate, int finishTime,
                                    quint16 channelMask, quint16 audioFlag, quint8 mediaKind);
    static QByteArray CDMediaErase(quint8 mediaKind);
    // Empty result for more than 63 entries.
    static QByteArray CDListBackupStart(const QVector<ListBackupEntry>& list, quint8 mediaKind);

    // --- file transfer -------------------------------------------------------------------------
    // Empty result when the name does not fit its one-byte length.
    static QByteArray FileBegin(int kind, const QByteArray& name, int size);
    static QByteArray FileEnd(int kind);
    static QByteArray FileStat(int kind, quint16 crc, int size);
    // The block request of a download.
    static QByteArray ReqFileData(int kind, int offset, int size);
    // One block of an upload.
    static QByteArray FileData(int kind, int offset, const char* data, int length);
    static QByteArray ConfigAction();
};
