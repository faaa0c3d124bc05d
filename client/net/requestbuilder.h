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
        qint32 startDate = 0;  // YYYYMMDD
        qint32 startTime = 0;  // HHMMSS
        qint32 finishDate = 0;
        qint32 finishTime = 0;
        quint16 channelMask = 0;
        quint16 audioFlag = 0xFFFF;
    };

    // Header only (total 12 or more, rest zero); exposed for the few requests without a body.
    static QByteArray Compose(quint8 command, int total, quint8 subCode = 0);

    // --- login chain and keep-alive -------------------------------------------------------
    // 0x01. User and password go out as UTF-8; bytes 13 and 14 count their bytes. Empty result
    // when the text (with the option) does not fit the 50-byte area.
    static QByteArray Login(const QString& user, const QString& password, bool silent);
    static QByteArray ModelInfoRequest();          // 0x1C
    static QByteArray CameraTitleRequest();        // 0x2E
    static QByteArray PtzInfoRequest(int channel); // 0x06
    static QByteArray PtzListEnd();                // 0x73
    static QByteArray CameraKindRequest();         // 0x99
    static QByteArray ExtendedStatusPoll();        // 0xAE
    static QByteArray StatusPoll();                // 0x22
    static QByteArray DiskInfoRequest();           // 0x47

    // --- live video and audio -------------------------------------------------------------
    // 0x87. Without the direct-rate capability the mode selects a preset, and recorders of
    // stream kind 2 or 3 get their rate reduced to 1 or 30.
    static QByteArray LiveStart(int channel, int rate, int mode, bool audio, bool directRate,
                                int streamKind);
    static QByteArray LiveStop(int channel);                 // 0x04
    static QByteArray LiveAudioStart(int cameraMapEntry);    // 0x3D
    static QByteArray LiveAudioStop(int currentAudioChannel); // 0x3E
    static QByteArray LiveOutput();                          // 0xBC
    static QByteArray LiveOutputChannel(quint8 channel);     // 0xBE

    // --- camera, relay, talk-back ----------------------------------------------------------
    static QByteArray PtzControl(quint8 a, quint8 b, quint8 c, int value); // 0x08
    static QByteArray RelayControl(int relay, int state);                  // 0x27
    static QByteArray TalkStart();                                         // 0x3F
    static QByteArray TalkStop();                                          // 0x40
    static QByteArray TalkAudio(const char* data, int length);             // 0x29
    // 0x9C. The title goes out as UTF-8 in a 50-byte area; empty result when it is longer.
    static QByteArray CameraTitle(int channel, const QString& title);

    // --- record lists and key-frame index (0x20) --------------------------------------------
    static QByteArray TimeRecList(int value, int index);
    // List kind 0x17 with the event-list capability, else 0x0B.
    static QByteArray EventRecList(int value, int index, bool eventListCapability);
    static QByteArray AudioRecList(int value, int index);
    // Byte 19 becomes slot + 1 + channel count when the second stream is asked for: dual-stream
    // capability set, stream 1, and the second stream selected; otherwise 0.
    static QByteArray IntraHeaderRequest(int value, int slot, int channel, int a, int b, quint8 stream,
                                         bool dualStream, quint8 secondStreamSelection, int channelCount);
    static QByteArray IntraIndexRequest(int value, int slot, int channel, quint8 stream, bool dualStream,
                                        quint8 secondStreamSelection, int channelCount);
    static quint8 IndexSubCode(int slot, quint8 stream, bool dualStream, quint8 secondStreamSelection,
                               int channelCount);

    // --- playback ----------------------------------------------------------------------------
    // 0x66 with sub-code slot + 100: the frame is cut into pieces of 32768 bytes; more than 999
    // pieces go out as several messages. Empty list for a negative size or offset or a slot that
    // does not fit the sub-code.
    static QList<QByteArray> FrameRequest(int slot, quint8 kind, qint64 offset, int size);
    // 0x66 with sub-code 200: the caller's 24-byte entries, at most 999 per message.
    static QList<QByteArray> FrameListRequest(const char* entries, int count);
    static QByteArray PlaybackRate(int value); // 0x8D
    // 0x95. The long form (36 bytes) repeats f at byte 34; the short form is 32 bytes.
    static QByteArray PlaybackCtrlExt(quint8 a, quint8 b, quint16 c, quint8 d, quint8 e, quint16 f, int g,
                                      int h, quint8 i, bool longForm);

    // --- remote console ------------------------------------------------------------------------
    static QByteArray ConsoleLock(int v);                                   // 0x96
    static QByteArray MousePos(int x, int y, int button, quint8 flag);      // 0x9A
    static QByteArray ConsoleMode(quint8 mode);                             // 0xA6
    static QByteArray ConsoleDataRequest();                                 // 0xA8

    // --- recorder-side media backup --------------------------------------------------------
    static QByteArray CDMediaCheck(quint8 v);                 // 0x35
    static QByteArray CDBackupPrepare(quint8 a, quint8 b);    // 0x37
    static QByteArray CDBackupStop(quint8 v);                 // 0x39
    static QByteArray CDBackupClose();                        // 0x3A
    static QByteArray BackupCapaRequest(int a, int b, int c, int d, quint16 e, quint16 f); // 0x49
    static QByteArray CDBackupStart(int a, int b, int c, int d, quint16 e, quint16 f, quint8 g); // 0x4B
    static QByteArray CDMediaErase(quint8 v);                 // 0x64
    // 0xC0. Empty result for more than 63 entries.
    static QByteArray CDListBackupStart(const QVector<ListBackupEntry>& list, quint8 v);

    // --- file transfer -------------------------------------------------------------------------
    // 0x0F. Empty result when the name does not fit its one-byte length.
    static QByteArray FileBegin(int kind, const QByteArray& name, int size);
    static QByteArray FileEnd(int kind);                              // 0x10
    static QByteArray FileStat(int kind, quint16 crc, int size);      // 0x11
    static QByteArray ReqFileData(int kind, int offset, int size);    // 0x12 (block request)
    static QByteArray FileData(int kind, int offset, const char* data, int length); // 0x13
    static QByteArray ConfigAction();                                 // 0x1A
};
