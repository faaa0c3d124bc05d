#pragma once
// A self-signed certificate and its key, made with openssl at test time: for the simulator's TLS
// side and for loopback TLS peers. EC keys, which are quick to make, so a test can make several.
#include <QSslCertificate>
#include <QSslKey>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

#include <ostream>
#include <string>

struct TestCertificate
{
    QString certPath;
    QString keyPath;
    QSslCertificate cert;
    QSslKey key;
    bool ok = false;

    // The simulator's options that serve TLS with this certificate.
    QStringList SimOptions() const { return {QStringLiteral("--tls"), certPath, keyPath}; }
};

// Made into `dir` as NAME.pem and NAME.key, with NAME as its common name; `ok` is false when
// openssl failed.
TestCertificate MakeTestCertificate(const QString& dir, const QString& name);

// The user's answer to the question about a recorder's changed certificate, as a test parameter.
struct CertificateAnswer
{
    const char* name;
    bool trust;
};
void PrintTo(const CertificateAnswer& answer, std::ostream* os);
// Both answers, and the test name of each.
::testing::internal::ParamGenerator<CertificateAnswer> BothCertificateAnswers();
std::string CertificateAnswerName(const ::testing::TestParamInfo<CertificateAnswer>& info);
