#include "net/filetransfer.h"
#include "common/io/privatefile.h"

#include "net/commandcode.h"
#include "net/hubservices.h"
#include "net/netlog.h"
#include "net/recordermessageheader.h"
#include "net/requestbuilder.h"
#include "net/transferkind.h"

#include <QDebug>
#include <QFile>
#include <QTimer>
#include <QtEndian>

#include <array>
#include <cstring>

namespace {

std::array<quint16, 256> MakeCrcTable()
{
    std::array<quint16, 256> t{};
    for (int i = 0; i < 256; ++i) {
        quint16 v = static_cast<quint16>(i << 8);
        for (int bit = 0; bit < 8; ++bit)
            v = (v & 0x8000) ? static_cast<quint16>((v << 1) ^ 0x1021) : static_cast<quint16>(v << 1);
        t[static_cast<size_t>(i)] = v;
    }
    return t;
}

qint32 Word(const char* m, int at)
{
    return qFromLittleEndian<qint32>(m + at);
}

bool IsDownloadKind(int kind)
{
    const TransferKind transfer = ToTransferKind(kind);
    return transfer == TransferKind::AccountDownload || transfer == TransferKind::ConsoleDownload;
}

bool IsUploadKind(int kind)
{
    const TransferKind transfer = ToTransferKind(kind);
    return transfer == TransferKind::SettingsUpload || transfer == TransferKind::FirmwareUpload;
}

} // namespace

FileTransfer::FileTransfer(std::function<void(char* data, int length)> send, QObject* parent)
    : QObject(parent)
    , m_send(std::move(send))
{}

FileTransfer::~FileTransfer() = default;

quint16 FileTransfer::Crc16(const char* data, int length, quint16 crc)
{
    static const std::array<quint16, 256> table = MakeCrcTable();
    for (int i = 0; i < length; ++i) {
        const quint8 b = static_cast<quint8>(data[i]);
        crc = static_cast<quint16>(((crc << 8) & 0xFFFF) ^ table[crc >> 8] ^ b);
    }
    return crc;
}

QString FileTransfer::LocalFile(int kind)
{
    HubServices* hub = HubServices::Instance();
    if (!hub)
        return QString();
    switch (ToTransferKind(kind)) {
    case TransferKind::AccountDownload:
    case TransferKind::SettingsUpload: return hub->ProgramDirectory() + "/download.ini";
    case TransferKind::ConsoleDownload: return hub->ProgramDirectory() + "/config.ini";
    case TransferKind::FirmwareUpload: return hub->FirmwarePath();
    }
    return QString();
}

void FileTransfer::Send(const QByteArray& message)
{
    if (message.isEmpty() || !m_send)
        return;
    // The send path writes the leading length into the buffer, so it gets a copy of its own.
    QByteArray copy = message;
    m_send(copy.data(), copy.size());
}

// ---------------------------------------------------------------------------------------------
// Requests

void FileTransfer::SendFileBegin(int kind, const char* name, int size)
{
    m_kind = kind;
    m_size = size;
    m_remaining = 0;
    m_nextOffset = 0;
    m_sizeKnown = false;
    m_complete = false;
    m_written = false;
    m_failed = false;
    m_crc = 0;
    m_assembly.clear();
    Send(RequestBuilder::FileBegin(kind, QByteArray(name ? name : ""), size));
}

void FileTransfer::SendReqFileData(int kind, int offset, int size)
{
    if (IsDownloadKind(kind)) {
        Send(RequestBuilder::ReqFileData(kind, offset, size));
        return;
    }
    if (IsUploadKind(kind))
        SendUploadBlock(kind, offset, size);
}

void FileTransfer::SendUploadBlock(int kind, int offset, int size)
{
    if (m_failed) {
        qCWarning(lcNet) << "upload block request ignored: the transfer has failed, kind" << kind;
        return;
    }
    if (size < 0 || size > kBlockSize) {
        Fail(kind, "the recorder asked for a block larger than 32768 bytes");
        return;
    }
    const QString path = LocalFile(kind);
    if (path.isEmpty()) {
        qCWarning(lcNet) << "upload: no local file for kind" << kind << "- nothing sent";
        return;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        qCWarning(lcNet) << "upload: cannot open" << path << file.errorString();
        return;
    }
    const qint64 length = file.size();
    if (offset < 0 || offset > length) {
        Fail(kind, "the recorder asked for an offset outside the file");
        return;
    }
    const int block = static_cast<int>(qMin<qint64>(size == 0 ? kBlockSize : size, length - offset));
    QByteArray data;
    if (block > 0) {
        if (!file.seek(offset)) {
            Fail(kind, "cannot seek in the local file");
            return;
        }
        data = file.read(block);
        if (data.size() != block) {
            Fail(kind, "cannot read the local file");
            return;
        }
    }
    if (offset == 0)
        m_crc = 0;
    m_crc = Crc16(data.constData(), data.size(), m_crc);
    Send(RequestBuilder::FileData(kind, offset, data.constData(), data.size()));
    const bool firmware = ToTransferKind(kind) == TransferKind::FirmwareUpload;
    qCDebug(lcNet) << (firmware ? "upload" : "upload config") << kind << offset << block
                   << QString::asprintf("%04X", m_crc);
    if (firmware) {
        if (HubServices* hub = HubServices::Instance())
            hub->SetFirmwareProgress(m_recorderIndex, static_cast<qint64>(offset) + block, length);
    }
}

void FileTransfer::SendFileStat(int kind, quint16 crc, int size)
{
    qCDebug(lcNet) << "file stat" << kind << QString::asprintf("%04X", crc) << size;
    Send(RequestBuilder::FileStat(kind, crc, size));
    if (ToTransferKind(kind) == TransferKind::SettingsUpload) {
        // The recorder has every byte: the account manager may count a later disconnect as the
        // recorder applying the settings.
        if (HubServices* hub = HubServices::Instance())
            hub->SetAccountManagerState(m_recorderIndex, kSettingsUploadedState);
        QTimer::singleShot(kConfigActionDelayMs, this, [this] { SendConfigAction(); });
    } else if (ToTransferKind(kind) == TransferKind::FirmwareUpload) {
        if (HubServices* hub = HubServices::Instance())
            hub->SetFirmwareState(m_recorderIndex, 3);
    }
}

void FileTransfer::SendFileEnd(int kind)
{
    Send(RequestBuilder::FileEnd(kind));
}

void FileTransfer::SendConfigAction()
{
    Send(RequestBuilder::ConfigAction());
}

// ---------------------------------------------------------------------------------------------
// Recorder messages

void FileTransfer::OnRecvMessage(const char* message, int total)
{
    if (!message || total < RequestBuilder::kHeaderSize) {
        qCWarning(lcNet) << "transfer message too short:" << total;
        return;
    }
    switch (ToCommandCode(RecorderMessageHeader::ReadCommand(message))) {
    case CommandCode::FileBegin:
        if (HubServices* hub = HubServices::Instance())
            hub->SetFirmwareState(m_recorderIndex, -999);
        break;
    case CommandCode::FileEnd: OnClose(message, total); break;
    case CommandCode::FileStat: OnStartReply(message, total); break;
    case CommandCode::FileDataRequest: OnBlockRequest(message, total); break;
    case CommandCode::FileData: OnBlock(message, total); break;
    default: break;
    }
}

void FileTransfer::OnClose(const char* message, int total)
{
    if (total < 17) {
        qCWarning(lcNet) << "transfer close too short:" << total;
        return;
    }
    const int kind = Word(message, 12);
    const int status = static_cast<quint8>(message[7]);
    const int flag = static_cast<quint8>(message[16]);
    qCDebug(lcNet) << "close" << kind << status << flag;
    if (flag != 1)
        return;
    if (!IsUploadKind(kind) || kind != m_kind || m_failed) {
        qCWarning(lcNet) << "close of kind" << kind << "does not end a running upload; no file stat sent";
        return;
    }
    SendFileStat(kind, m_crc, m_size);
}

void FileTransfer::OnStartReply(const char* message, int total)
{
    if (total < 20) {
        qCWarning(lcNet) << "transfer start reply too short:" << total;
        return;
    }
    const int kind = Word(message, 12);
    if (!IsDownloadKind(kind))
        return;
    if (kind != m_kind || m_failed) {
        qCWarning(lcNet) << "transfer start reply of kind" << kind << "ignored; current kind" << m_kind
                         << (m_failed ? "(failed)" : "");
        return;
    }
    if (m_complete) {
        ReportDownloadResult(kind, m_written);
        return;
    }
    const int size = Word(message, 16);
    if (size < 0 || size > kMaxDownloadSize) {
        Fail(kind, "the recorder announced an impossible file size");
        return;
    }
    m_size = size;
    m_remaining = size;
    m_nextOffset = 0;
    m_sizeKnown = true;
    SendReqFileData(kind, 0, kBlockSize);
}

void FileTransfer::OnBlockRequest(const char* message, int total)
{
    if (total < 24) {
        qCWarning(lcNet) << "block request too short:" << total;
        return;
    }
    const int kind = Word(message, 12);
    if (!IsUploadKind(kind))
        return;
    if (kind != m_kind) {
        qCWarning(lcNet) << "block request of kind" << kind << "ignored; current kind" << m_kind;
        return;
    }
    SendReqFileData(kind, Word(message, 16), Word(message, 20));
}

void FileTransfer::OnBlock(const char* message, int total)
{
    if (total < 20) {
        qCWarning(lcNet) << "file block too short:" << total;
        return;
    }
    const int kind = Word(message, 12);
    if (!IsDownloadKind(kind))
        return;
    if (kind != m_kind || !m_sizeKnown || m_failed || m_complete) {
        qCWarning(lcNet) << "file block of kind" << kind << "ignored: no download of that kind is running";
        return;
    }
    const int n = total - 20;
    const int offset = Word(message, 16);
    // Every check comes before the copy.
    if (offset < 0) {
        Fail(kind, "block with a negative offset");
        return;
    }
    if (offset != m_nextOffset) {
        Fail(kind, "block at an offset that was not asked for");
        return;
    }
    if (static_cast<qint64>(offset) + n > static_cast<qint64>(m_size) + kAssemblySlack) {
        Fail(kind, "block ends beyond the assembly buffer");
        return;
    }
    if (n == 0 && m_remaining > 0) {
        Fail(kind, "empty block while data is still due");
        return;
    }
    if (offset == 0)
        m_assembly = QByteArray(m_size + kAssemblySlack, '\0');
    if (n > 0)
        std::memcpy(m_assembly.data() + offset, message + 20, static_cast<size_t>(n));
    m_remaining -= n;
    if (m_remaining > 0) {
        m_nextOffset = offset + n;
        SendReqFileData(kind, offset + n, qMin(m_remaining, kBlockSize));
    } else if (m_remaining == 0) {
        m_complete = true;
        m_written = WriteDownload(kind, offset + n);
        m_assembly.clear();
        SendFileEnd(kind);
    } else {
        Fail(kind, "more data than announced");
    }
}

bool FileTransfer::WriteDownload(int kind, int length)
{
    const QString path = LocalFile(kind);
    if (path.isEmpty()) {
        qCWarning(lcNet) << "download of kind" << kind
                         << "complete, but there is no program directory to write to";
        return false;
    }
    // The recorder's settings and accounts hold passwords: readable by the owner only.
    QString error;
    if (!privatefile::Write(path, QByteArray::fromRawData(m_assembly.constData(), length), &error)) {
        qCWarning(lcNet) << "download: writing" << path << "failed:" << error;
        return false;
    }
    return true;
}

void FileTransfer::ReportDownloadResult(int kind, bool ok)
{
    if (ToTransferKind(kind) == TransferKind::AccountDownload) {
        if (HubServices* hub = HubServices::Instance())
            hub->SetAccountManagerState(m_recorderIndex, ok ? 2 : -1);
    } else if (ok) {
        emit OnConfigDataResult();
    } else {
        qCWarning(lcNet) << "settings file was not received; the configuration is not offered";
    }
}

void FileTransfer::Fail(int kind, const char* why)
{
    qCWarning(lcNet) << "file transfer of kind" << kind << "failed:" << why;
    m_failed = true;
    m_assembly.clear();
    HubServices* hub = HubServices::Instance();
    switch (ToTransferKind(kind)) {
    case TransferKind::AccountDownload:
    case TransferKind::SettingsUpload:
        if (hub)
            hub->SetAccountManagerState(m_recorderIndex, -1);
        break;
    case TransferKind::FirmwareUpload:
        if (hub)
            hub->SetFirmwareState(m_recorderIndex, -1);
        break;
    case TransferKind::ConsoleDownload:
        break; // the console simply never gets its settings; the debug line says why
    }
}
