// The per-recorder certificate store: trust on first use, then a changed certificate is told
// apart from the known one; the file survives junk lines and is readable by its owner only.
#include "net/certificatestore.h"

#include <QFile>
#include <QSslCertificate>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "harness/testcertificate.h"

#include <sys/stat.h>

namespace {

class CertificateStoreTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        first = MakeTestCertificate(dir.path(), QStringLiteral("first")).cert;
        second = MakeTestCertificate(dir.path(), QStringLiteral("second")).cert;
        ASSERT_FALSE(first.isNull()) << "openssl could not make a test certificate";
        ASSERT_FALSE(second.isNull());
        path = dir.filePath(QString::fromLatin1(CertificateStore::kFileName));
    }

    QTemporaryDir dir;
    QSslCertificate first;
    QSslCertificate second;
    QString path;
};

} // namespace

TEST_F(CertificateStoreTest, FirstUseIsTrustedThenTheSameCertificateIsKnownAndAnotherIsChanged)
{
    CertificateStore store(path);
    const QString key = CertificateStore::PeerKey(QStringLiteral("192.168.0.20"), 9000);
    const QByteArray a = CertificateStore::Fingerprint(first);
    const QByteArray b = CertificateStore::Fingerprint(second);
    ASSERT_EQ(a.size(), 32);
    ASSERT_NE(a, b);

    EXPECT_EQ(store.Check(key, a), CertificateStore::Verdict::FirstSeen);
    ASSERT_TRUE(store.Remember(key, a));
    EXPECT_EQ(store.Check(key, a), CertificateStore::Verdict::Known);
    EXPECT_EQ(store.Check(key, b), CertificateStore::Verdict::Changed);
    // Another port of the same address is another recorder.
    EXPECT_EQ(store.Check(CertificateStore::PeerKey(QStringLiteral("192.168.0.20"), 9001), b),
              CertificateStore::Verdict::FirstSeen);

    // A second store on the same file (the next program run) knows it too; the user's choice to
    // trust the new certificate replaces the old one.
    CertificateStore later(path);
    EXPECT_EQ(later.Remembered(key), a);
    ASSERT_TRUE(later.Remember(key, b));
    EXPECT_EQ(store.Check(key, b), CertificateStore::Verdict::Known);
    EXPECT_EQ(store.Check(key, a), CertificateStore::Verdict::Changed);

    struct stat st
    {};
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
}

TEST_F(CertificateStoreTest, JunkLinesAreSkippedAndTheRestStillCounts)
{
    const QByteArray good = CertificateStore::Fingerprint(first);
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("garbage without fields\n");
        file.write("10.0.0.1:9000 abcd\n");                        // too short a fingerprint
        file.write("10.0.0.2:9000 " + QByteArray(64, 'z') + "\n"); // not hex
        file.write("\n");
        file.write("10.0.0.3:9000 " + good.toHex() + "\n");
    }
    CertificateStore store(path);
    EXPECT_EQ(store.Remembered(QStringLiteral("10.0.0.3:9000")), good);
    EXPECT_TRUE(store.Remembered(QStringLiteral("10.0.0.1:9000")).isEmpty());
    EXPECT_TRUE(store.Remembered(QStringLiteral("10.0.0.2:9000")).isEmpty());
}

TEST(CertificateStoreText, PeerKeyAndReadableFingerprint)
{
    EXPECT_EQ(CertificateStore::PeerKey(QStringLiteral(" Recorder.Example "), 443),
              QStringLiteral("recorder.example:443"));
    EXPECT_EQ(CertificateStore::Readable(QByteArray::fromHex("0a1bff")), QStringLiteral("0A:1B:FF"));
    EXPECT_TRUE(CertificateStore::Fingerprint(QSslCertificate()).isEmpty());
    // Nothing that could break the line format is stored.
    CertificateStore store(QStringLiteral("/nonexistent-dir/x"));
    EXPECT_FALSE(store.Remember(QStringLiteral("a b:1"), QByteArray(32, 'x')));
    EXPECT_FALSE(store.Remember(QStringLiteral("a:1"), QByteArray(31, 'x')));
}
