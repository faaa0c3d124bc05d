// Settings and firmware transfer against a fake sender: the test plays the recorder.
#include "net/filetransfer.h"
#include "net/support/requests_fakehub.h"
#include "net/support/requests_reference.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

QByteArray Hex(const char* text)
{
    return QByteArray::fromHex(QByteArray(text));
}

std::string Spaced(const QByteArray& bytes)
{
    return bytes.toHex(' ').toUpper().toStdString();
}

QByteArray Le32(qint32 v)
{
    QByteArray b(4, '\0');
    qToLittleEndian<qint32>(v, b.data());
    return b;
}

qint32 Word(const QByteArray& m, int at)
{
    return qFromLittleEndian<qint32>(m.constData() + at);
}

// A recorder message: header with the total, then the body from byte 12.
QByteArray Recorder(quint8 command, const QByteArray& body, quint8 status = 0)
{
    QByteArray m(12, '\0');
    m[5] = char(0xA1);
    m[6] = char(command);
    m[7] = char(status);
    m += body;
    const int total = m.size();
    m[9] = char(total & 0xFF);
    m[10] = char((total >> 8) & 0xFF);
    m[11] = char((total >> 16) & 0xFF);
    return m;
}

int Command(const QByteArray& m)
{
    return m.size() > 6 ? quint8(m[6]) : -1;
}

class FileTransferTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        hub = std::make_unique<RequestsFakeHub>(dir.path(), dir.filePath("fw.zip"));
        transfer = std::make_unique<FileTransfer>(
            [this](char* data, int length) { sent.append(QByteArray(data, length)); });
    }

    void Feed(const QByteArray& m) { transfer->OnRecvMessage(m.constData(), m.size()); }

    QByteArray Last() const { return sent.isEmpty() ? QByteArray() : sent.last(); }

    void WriteFile(const QString& path, const QByteArray& data)
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_EQ(f.write(data), data.size());
    }

    QByteArray ReadFile(const QString& path)
    {
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly))
            return QByteArray("<missing>");
        return f.readAll();
    }

    // Plays the recorder of a download: answers every block request with the asked bytes of
    // `data` until the client ends the transfer. Returns the (offset, size) pairs asked for.
    QList<QPair<int, int>> ServeDownload(int kind, const QByteArray& data)
    {
        QList<QPair<int, int>> asked;
        Feed(Recorder(0x11, Le32(kind) + Le32(data.size())));
        for (int guard = 0; guard < 100 && Command(Last()) == 0x12; ++guard) {
            const QByteArray req = Last();
            const int offset = Word(req, 16);
            const int size = Word(req, 20);
            asked.append({offset, size});
            Feed(Recorder(0x13, Le32(kind) + Le32(offset) + data.mid(offset, size)));
        }
        return asked;
    }

    QTemporaryDir dir;
    std::unique_ptr<RequestsFakeHub> hub;
    std::unique_ptr<FileTransfer> transfer;
    QList<QByteArray> sent;
};

} // namespace

TEST(FileTransferCrcTest, MatchesTheProgramsOwnOrder)
{
    EXPECT_EQ(FileTransfer::Crc16("abc", 3), 0x1EE4);
    EXPECT_EQ(RequestsReferenceCrc("abc"), 0x1EE4);
    // Not CRC-16/XMODEM, whose check value for "123456789" is 0x31C3.
    EXPECT_NE(FileTransfer::Crc16("123456789", 9), 0x31C3);
    const QByteArray cases[] = {QByteArray(),           QByteArray(1, '\0'),
                                QByteArray(1, '\xFF'),  QByteArray("123456789"),
                                RequestsPattern(32768), RequestsPattern(70001)};
    for (const QByteArray& data : cases) {
        SCOPED_TRACE(data.size());
        EXPECT_EQ(FileTransfer::Crc16(data.constData(), data.size()), RequestsReferenceCrc(data));
        // Block by block gives the same as all at once.
        const int half = data.size() / 2;
        const quint16 first = FileTransfer::Crc16(data.constData(), half);
        EXPECT_EQ(FileTransfer::Crc16(data.constData() + half, data.size() - half, first),
                  RequestsReferenceCrc(data));
    }
}

TEST_F(FileTransferTest, DownloadBlockByBlock)
{
    struct Case
    {
        int size;
        QList<QPair<int, int>> asked;
    };
    const Case cases[] = {
        {0, {{0, 32768}}},
        {1, {{0, 32768}}},
        {32768, {{0, 32768}}},
        {32769, {{0, 32768}, {32768, 1}}},
        {70000, {{0, 32768}, {32768, 32768}, {65536, 4464}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.size);
        sent.clear();
        hub->accountStates.clear();
        QFile::remove(dir.filePath("download.ini"));
        const QByteArray data = RequestsPattern(c.size);

        transfer->SendFileBegin(0, "conf/setup.ini", 0);
        ASSERT_EQ(sent.size(), 1);
        EXPECT_EQ(Spaced(sent[0]), Spaced(Hex("00 00 00 00 00 A1 0F 00 00 24 00 00 00 00 00 00 00 00 00 00 0E"
                                              " 63 6F 6E 66 2F 73 65 74 75 70 2E 69 6E 69 00")));
        const QList<QPair<int, int>> asked = ServeDownload(0, data);
        EXPECT_EQ(asked, c.asked);
        // After the last block the client ends the transfer: 0x10, kind 0, flag 1.
        EXPECT_EQ(Spaced(Last()), Spaced(Hex("00 00 00 00 00 A1 10 00 00 11 00 00 00 00 00 00 01")));
        EXPECT_TRUE(transfer->IsComplete());
        EXPECT_EQ(ReadFile(dir.filePath("download.ini")), data);
        EXPECT_TRUE(hub->accountStates.isEmpty());
        // The recorder confirms with 0x11: the account manager hears state 2.
        Feed(Recorder(0x11, Le32(0) + Le32(c.size)));
        EXPECT_EQ(hub->accountStates, QList<int>{2});
    }
}

TEST_F(FileTransferTest, FirstBlockRequestBytes)
{
    transfer->SendFileBegin(99, "conf/setup.ini", 0);
    Feed(Recorder(0x11, Le32(99) + Le32(5)));
    EXPECT_EQ(Spaced(Last()),
              Spaced(Hex("00 00 00 00 00 A1 12 00 00 18 00 00 63 00 00 00 00 00 00 00 00 80 00 00")));
}

TEST_F(FileTransferTest, ConsoleDownloadSignalsWhenWritten)
{
    QSignalSpy done(transfer.get(), &FileTransfer::OnConfigDataResult);
    const QByteArray data("[CLIENT_NETWORK]\ncsReboot=1\n");
    transfer->SendFileBegin(99, "conf/setup.ini", 0);
    ServeDownload(99, data);
    EXPECT_EQ(done.count(), 0);
    Feed(Recorder(0x11, Le32(99) + Le32(data.size())));
    EXPECT_EQ(done.count(), 1);
    EXPECT_EQ(ReadFile(dir.filePath("config.ini")), data);
    EXPECT_TRUE(hub->accountStates.isEmpty());
}

// The downloaded settings and accounts hold passwords: the file is readable by its owner only,
// whatever the process's umask would give and whatever mode an older build left it with.
TEST_F(FileTransferTest, DownloadedFilesAreReadableByTheirOwnerOnly)
{
    const struct
    {
        int kind;
        const char* file;
        int olderMode; // the mode an older build left the file with; 0: no file yet
    } cases[] = {
        {0, "download.ini", 0}, {99, "config.ini", 0}, {0, "download.ini", 0644}, {99, "config.ini", 0666}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        SCOPED_TRACE(c.olderMode);
        const QString path = dir.filePath(QLatin1String(c.file));
        QFile::remove(path);
        if (c.olderMode) {
            QFile old(path);
            ASSERT_TRUE(old.open(QIODevice::WriteOnly));
            old.write("[old]\n");
            old.close();
            ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), mode_t(c.olderMode)), 0);
        }
        const mode_t previous = ::umask(022);
        transfer->SendFileBegin(c.kind, "conf/setup.ini", 0);
        ServeDownload(c.kind, "[CLIENT_NETWORK]\npassword=secret\n");
        ::umask(previous);
        ASSERT_TRUE(transfer->IsComplete());
        struct stat st
        {};
        ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, mode_t(0600));
    }
}

TEST_F(FileTransferTest, UnwritableDownloadIsNeverReportedAsSuccess)
{
    hub->programDirectory = dir.filePath("no/such/folder");
    QSignalSpy done(transfer.get(), &FileTransfer::OnConfigDataResult);
    for (int kind : {0, 99}) {
        SCOPED_TRACE(kind);
        sent.clear();
        transfer->SendFileBegin(kind, "conf/setup.ini", 0);
        ServeDownload(kind, "abc");
        // The transfer is still ended towards the recorder...
        EXPECT_EQ(Command(Last()), 0x10);
        Feed(Recorder(0x11, Le32(kind) + Le32(3)));
    }
    // ...but the account manager hears -1 and the console gets no settings.
    EXPECT_EQ(hub->accountStates, QList<int>{-1});
    EXPECT_EQ(done.count(), 0);
}

TEST_F(FileTransferTest, MalformedDownloadBlocksFailTheTransfer)
{
    struct Case
    {
        const char* name;
        int announced;
        int offset;
        int length;
    };
    const Case cases[] = {
        {"block at an offset not asked for", 100, 10, 10},
        {"negative offset", 100, -32768, 10},
        {"block beyond the assembly buffer", 10, 0, 10 + 1024 + 1},
        {"more data than announced", 10, 0, 20},
        {"empty block while data is due", 10, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        sent.clear();
        hub->accountStates.clear();
        QFile::remove(dir.filePath("download.ini"));
        transfer->SendFileBegin(0, "conf/setup.ini", 0);
        Feed(Recorder(0x11, Le32(0) + Le32(c.announced)));
        const int before = sent.size();
        Feed(Recorder(0x13, Le32(0) + Le32(c.offset) + RequestsPattern(c.length)));
        EXPECT_TRUE(transfer->IsFailed());
        EXPECT_EQ(sent.size(), before); // nothing more asked, no end sent
        EXPECT_EQ(hub->accountStates, QList<int>{-1});
        EXPECT_FALSE(QFile::exists(dir.filePath("download.ini")));
        // A later confirmation or block does not turn the failure into success.
        Feed(Recorder(0x13, Le32(0) + Le32(0) + RequestsPattern(c.announced)));
        Feed(Recorder(0x11, Le32(0) + Le32(c.announced)));
        EXPECT_EQ(hub->accountStates, QList<int>{-1});
        EXPECT_FALSE(QFile::exists(dir.filePath("download.ini")));
    }
}

TEST_F(FileTransferTest, ImpossibleSizesAndShortMessagesAreRefused)
{
    transfer->SendFileBegin(0, "conf/setup.ini", 0);
    const int before = sent.size();
    // Messages too short for their fields are dropped.
    Feed(Recorder(0x11, Le32(0)));
    Feed(Recorder(0x12, Le32(1) + Le32(0)));
    Feed(Recorder(0x13, Le32(0)));
    Feed(Recorder(0x10, Le32(1)));
    transfer->OnRecvMessage(nullptr, 0);
    transfer->OnRecvMessage("\0\0\0\0", 4);
    EXPECT_EQ(sent.size(), before);
    EXPECT_FALSE(transfer->IsFailed());
    // A negative announced size fails.
    Feed(Recorder(0x11, Le32(0) + Le32(-5)));
    EXPECT_TRUE(transfer->IsFailed());
    EXPECT_EQ(sent.size(), before);
    EXPECT_EQ(hub->accountStates, QList<int>{-1});
}

TEST_F(FileTransferTest, FirmwareUploadSendsAskedBlocksWithProgressAndCrc)
{
    const QByteArray data = RequestsPattern(70000);
    WriteFile(hub->firmwarePath, data);
    transfer->SendFileBegin(2, "dvr_upgrade_auto.zip", data.size());
    EXPECT_EQ(Spaced(Last()), Spaced(Hex("00 00 00 00 00 A1 0F 00 00 2A 00 00 02 00 00 00 70 11 01 00 14"
                                         " 64 76 72 5F 75 70 67 72 61 64 65 5F 61 75 74 6F 2E 7A 69 70 00")));
    const int asks[][2] = {{0, 32768}, {32768, 32768}, {65536, 32768}};
    QByteArray received;
    for (const auto& a : asks) {
        Feed(Recorder(0x12, Le32(2) + Le32(a[0]) + Le32(a[1])));
        const QByteArray block = Last();
        ASSERT_EQ(Command(block), 0x13);
        EXPECT_EQ(Word(block, 12), 2);
        EXPECT_EQ(Word(block, 16), a[0]);
        received += block.mid(20);
    }
    EXPECT_EQ(received, data);
    ASSERT_EQ(hub->progress.size(), 3);
    EXPECT_EQ(hub->progress.last(), qMakePair(qint64(70000), qint64(70000)));
    EXPECT_EQ(transfer->Crc(), RequestsReferenceCrc(data));

    // The recorder closes with flag 1: the client states kind, size and CRC, and reports state 3.
    Feed(Recorder(0x10, Le32(2) + QByteArray(1, '\x01')));
    const QByteArray stat = Last();
    ASSERT_EQ(stat.size(), 22);
    EXPECT_EQ(Spaced(stat.left(20)), Spaced(Hex("00 00 00 00 00 A1 11 00 00 16 00 00 02 00 00 00 70 11 01 00")));
    EXPECT_EQ(qFromLittleEndian<quint16>(stat.constData() + 20), RequestsReferenceCrc(data));
    EXPECT_EQ(hub->firmwareStates, QList<int>{3});
}

TEST_F(FileTransferTest, UploadBlockOfSizeZeroSendsTheRest)
{
    const QByteArray data = RequestsPattern(40000);
    WriteFile(dir.filePath("download.ini"), data);
    transfer->SendFileBegin(1, "conf/setup.ini", data.size());
    Feed(Recorder(0x12, Le32(1) + Le32(0) + Le32(0)));
    EXPECT_EQ(Last().size(), 20 + 32768);
    Feed(Recorder(0x12, Le32(1) + Le32(32768) + Le32(0)));
    EXPECT_EQ(Last().size(), 20 + 7232);
    EXPECT_EQ(Last().mid(20), data.mid(32768));
    // A block asked for at the very end of the file is empty.
    Feed(Recorder(0x12, Le32(1) + Le32(40000) + Le32(100)));
    EXPECT_EQ(Spaced(Last()), Spaced(Hex("00 00 00 00 00 A1 13 00 00 14 00 00 01 00 00 00 40 9C 00 00")));
    EXPECT_FALSE(transfer->IsFailed());
}

TEST_F(FileTransferTest, SettingsUploadIsAppliedAfterTheStat)
{
    const QByteArray data("[PASSWORD_CLIENT]\n");
    WriteFile(dir.filePath("download.ini"), data);
    transfer->SendFileBegin(1, "conf/setup.ini", data.size());
    Feed(Recorder(0x12, Le32(1) + Le32(0) + Le32(32768)));
    EXPECT_EQ(Last().mid(20), data);
    Feed(Recorder(0x10, Le32(1) + QByteArray(1, '\x01')));
    ASSERT_EQ(Command(Last()), 0x11);
    EXPECT_EQ(qFromLittleEndian<quint16>(Last().constData() + 20), RequestsReferenceCrc(data));
    // The apply request follows on the event loop.
    QDeadlineTimer deadline(10000);
    while (Command(Last()) != 0x1A && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    EXPECT_EQ(Spaced(Last()), Spaced(Hex("00 00 00 00 00 A1 1A 00 00 10 00 00 03 01 01 00")));
    EXPECT_TRUE(hub->firmwareStates.isEmpty());
}

TEST_F(FileTransferTest, MalformedUploadRequestsFailTheTransfer)
{
    struct Case
    {
        const char* name;
        int offset;
        int size;
    };
    const Case cases[] = {
        {"offset beyond the file", 1001, 10},
        {"negative offset", -1, 10},
        {"block larger than 32768", 0, 32769},
        {"negative size", 0, -1},
    };
    WriteFile(hub->firmwarePath, RequestsPattern(1000));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        sent.clear();
        hub->firmwareStates.clear();
        transfer->SendFileBegin(2, "dvr_upgrade_auto.zip", 1000);
        Feed(Recorder(0x12, Le32(2) + Le32(c.offset) + Le32(c.size)));
        EXPECT_TRUE(transfer->IsFailed());
        EXPECT_EQ(sent.size(), 1); // only the begin
        EXPECT_EQ(hub->firmwareStates, QList<int>{-1});
        // Nothing more goes out for this transfer, not even the stat on a close.
        Feed(Recorder(0x12, Le32(2) + Le32(0) + Le32(100)));
        Feed(Recorder(0x10, Le32(2) + QByteArray(1, '\x01')));
        EXPECT_EQ(sent.size(), 1);
    }
}

TEST_F(FileTransferTest, UploadWithoutLocalFileSendsNothing)
{
    hub->firmwarePath.clear();
    transfer->SendFileBegin(2, "dvr_upgrade_auto.zip", 10);
    Feed(Recorder(0x12, Le32(2) + Le32(0) + Le32(10)));
    EXPECT_EQ(sent.size(), 1);
    hub->firmwarePath = dir.filePath("missing.zip");
    Feed(Recorder(0x12, Le32(2) + Le32(0) + Le32(10)));
    EXPECT_EQ(sent.size(), 1);
}

TEST_F(FileTransferTest, RecorderUpgradeRefusalReachesTheHub)
{
    Feed(Recorder(0x0F, QByteArray()));
    EXPECT_EQ(hub->firmwareStates, QList<int>{-999});
}

TEST(FileTransferNoHubTest, NothingIsReportedWithoutAHub)
{
    ASSERT_EQ(HubServices::Instance(), nullptr);
    QList<QByteArray> sent;
    FileTransfer transfer([&sent](char* data, int length) { sent.append(QByteArray(data, length)); });
    QSignalSpy done(&transfer, &FileTransfer::OnConfigDataResult);
    transfer.SendFileBegin(99, "conf/setup.ini", 0);
    const QByteArray start = Recorder(0x11, Le32(99) + Le32(1));
    transfer.OnRecvMessage(start.constData(), start.size());
    const QByteArray block = Recorder(0x13, Le32(99) + Le32(0) + QByteArray("x"));
    transfer.OnRecvMessage(block.constData(), block.size());
    EXPECT_EQ(Command(sent.last()), 0x10);
    transfer.OnRecvMessage(start.constData(), start.size());
    EXPECT_EQ(done.count(), 0); // no program directory: nothing written, nothing signalled
}
