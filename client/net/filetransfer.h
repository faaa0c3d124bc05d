#pragma once
// Settings and firmware file transfer over one recorder connection.
//
// Kinds (TransferKind): 0 and 99 download the recorder's "conf/setup.ini" into "download.ini" (0, for the
// account manager) or "config.ini" (99, for the configuration console) in the program directory;
// 1 uploads "download.ini" back as "conf/setup.ini"; 2 uploads the hub's firmware package as
// "dvr_upgrade_auto.zip". Data moves in blocks of at most 32768 bytes with a running CRC-16.
//
// The protocol engine owns one FileTransfer, hands it every transfer message it receives and
// gives it a send function that puts one composed message on the wire. Results go to the hub
// (HubServices; none installed: nothing is reported) and, for kind 99, to OnConfigDataResult().
//
// A transfer that goes wrong (a block that does not fit, arrives out of order or asks for
// something outside the file) fails as a whole: no file is written, nothing more is sent for it
// and the failure is reported; only a new SendFileBegin starts again.
#include <QByteArray>
#include <QObject>
#include <QString>
#include <QtGlobal>

#include <functional>

class FileTransfer : public QObject
{
    Q_OBJECT
public:
    static constexpr int kBlockSize = 32768;
    // The download assembly buffer holds the announced size and this much more.
    static constexpr int kAssemblySlack = 1024;
    // A settings file is small; a recorder announcing more than this is not believed.
    static constexpr int kMaxDownloadSize = 64 * 1024 * 1024;
    static constexpr int kConfigActionDelayMs = 1000;

    // The account state a settings upload reports once the recorder has closed it and the
    // file's CRC went out.
    static constexpr int kSettingsUploadedState = 4;

    explicit FileTransfer(std::function<void(char* data, int length)> send, QObject* parent = nullptr);
    ~FileTransfer() override;

    // The recorder (its index in the recorder table) whose reports these are; -1 by default.
    void SetRecorderIndex(int index) { m_recorderIndex = index; }

    // Announces a transfer (FileBegin); resets size, CRC, completion and failure.
    void SendFileBegin(int kind, const char* name, int size);
    // Kinds 0 and 99: asks the recorder for a block (FileDataRequest). Kinds 1 and 2: sends the
    // block of the local file that the recorder asked for (FileData).
    void SendReqFileData(int kind, int offset, int size);
    // FileStat; kind 1 applies the settings 1000 ms later (ConfigAction), kind 2 reports upgrade
    // state 3.
    void SendFileStat(int kind, quint16 crc, int size);
    // FileEnd.
    void SendFileEnd(int kind);
    // ConfigAction: the recorder applies the uploaded settings.
    void SendConfigAction();

    // A transfer message from the recorder (FileBegin, FileEnd, FileStat, FileDataRequest or
    // FileData), `total` bytes.
    void OnRecvMessage(const char* message, int total);

    // The program's CRC-16: polynomial 0x1021 table, most significant bit first, with the byte
    // combined after the table look-up: crc = ((crc << 8) & 0xFFFF) ^ T[crc >> 8] ^ b.
    static quint16 Crc16(const char* data, int length, quint16 crc = 0);

    // The running CRC of the current upload and whether the current download completed.
    quint16 Crc() const { return m_crc; }
    bool IsComplete() const { return m_complete; }
    bool IsFailed() const { return m_failed; }

    // Local files, from the hub; empty without a hub.
    static QString LocalFile(int kind);

signals:
    void OnConfigDataResult();

private:
    void Send(const QByteArray& message);
    void OnStartReply(const char* message, int total);
    void OnBlockRequest(const char* message, int total);
    void OnBlock(const char* message, int total);
    void OnClose(const char* message, int total);
    void SendUploadBlock(int kind, int offset, int size);
    bool WriteDownload(int kind, int length);
    void Fail(int kind, const char* why);
    void ReportDownloadResult(int kind, bool ok);

    std::function<void(char*, int)> m_send;
    int m_recorderIndex = -1;
    int m_kind = -1;          // kind of the current transfer, -1 none
    int m_size = 0;           // announced size
    int m_remaining = 0;      // download: bytes still to come
    int m_nextOffset = 0;     // download: offset of the block asked for last
    bool m_sizeKnown = false; // download: the recorder's start reply arrived
    bool m_complete = false;
    bool m_written = false; // download: the local file was written
    bool m_failed = false;
    quint16 m_crc = 0;
    QByteArray m_assembly;
};
