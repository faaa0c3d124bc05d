#include "harness/testcertificate.h"

#include <QDir>
#include <QFile>
#include <QProcess>

TestCertificate MakeTestCertificate(const QString& dir, const QString& name)
{
    TestCertificate made;
    made.certPath = QDir(dir).filePath(name + QStringLiteral(".pem"));
    made.keyPath = QDir(dir).filePath(name + QStringLiteral(".key"));
    QProcess openssl;
    openssl.setProcessChannelMode(QProcess::MergedChannels);
    openssl.start(QStringLiteral("openssl"),
                  {"req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes", "-subj",
                   "/CN=" + name, "-days", "1", "-keyout", made.keyPath, "-out", made.certPath});
    if (!openssl.waitForFinished(60000) || openssl.exitCode() != 0)
        return made;
    QFile certFile(made.certPath);
    QFile keyFile(made.keyPath);
    if (certFile.open(QIODevice::ReadOnly) && keyFile.open(QIODevice::ReadOnly)) {
        made.cert = QSslCertificate(&certFile, QSsl::Pem);
        made.key = QSslKey(&keyFile, QSsl::Ec, QSsl::Pem);
        made.ok = !made.cert.isNull() && !made.key.isNull();
    }
    return made;
}

void PrintTo(const CertificateAnswer& answer, std::ostream* os)
{
    *os << answer.name;
}

::testing::internal::ParamGenerator<CertificateAnswer> BothCertificateAnswers()
{
    return ::testing::Values(CertificateAnswer{"trusted", true}, CertificateAnswer{"refused", false});
}

std::string CertificateAnswerName(const ::testing::TestParamInfo<CertificateAnswer>& info)
{
    return info.param.name;
}
