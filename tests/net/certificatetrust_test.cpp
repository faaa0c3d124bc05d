// A recorder's TLS certificate is remembered on the first connection and checked on every later
// one, against the recorder simulator serving certificates made at test time: the same
// certificate logs in without a question; another one on the same address and port holds the
// login back until the user has answered, and only a yes lets it go out. The network module is
// not there: each connection asks for the login on state 1 as the module does.
#include "net/certificatestore.h"
#include "net/nettypemirel.h"
#include "net/support/engine_dvrsim.h"
#include "net/support/engine_testutil.h"
#include "net/support/requests_fakehub.h"

#include <QDir>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using namespace enginetest;

namespace {

constexpr int kLoginCommand = 0x01;

// One TLS connection of the engine.
class Connection
{
public:
    explicit Connection(const QString& recorderName = QString())
        : m_engine(nullptr, true)
    {
        m_engine.SetRecorderName(recorderName);
        QObject::connect(&m_engine, &CNetTypeMirel::OnNetState, [this](int state) {
            m_states.push_back(state);
            if (state == 1)
                m_engine.SendLogin(false);
        });
    }

    bool Open(int port) { return m_engine.OnConnect("127.0.0.1", port, "admin", "1234", true); }
    bool LoggedIn() const { return m_engine.GetNetState() == 2; }
    bool Closed() const { return !m_states.empty() && m_states.back() == -1; }
    bool Settled() const { return LoggedIn() || Closed(); }
    CNetTypeMirel& Engine() { return m_engine; }

private:
    std::vector<int> m_states; // outlives the engine, which reports its close while it goes
    CNetTypeMirel m_engine;
};

// Starts a simulator serving the certificate, on `port` when one is given; null when it did not
// come up.
std::unique_ptr<EngineDvrSim> StartSim(const TestCertificate& certificate, int port = 0)
{
    QStringList options = certificate.SimOptions();
    if (port != 0)
        options << QStringLiteral("--port") << QString::number(port);
    auto sim = std::make_unique<EngineDvrSim>(options);
    QString error;
    if (!sim->Start(&error)) {
        ADD_FAILURE() << error.toStdString();
        return nullptr;
    }
    return sim;
}

QString PeerKey(int port)
{
    return CertificateStore::PeerKey(QStringLiteral("127.0.0.1"), quint16(port));
}

class RecorderCertificate : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        hub = std::make_unique<RequestsFakeHub>(m_dir.path());
        first = MakeTestCertificate(m_dir.path(), QStringLiteral("first"));
        second = MakeTestCertificate(m_dir.path(), QStringLiteral("second"));
        ASSERT_TRUE(first.ok && second.ok) << "openssl could not make the test certificates";
    }

    // The store of the installed hub's program directory, else of the current directory.
    static CertificateStore Store()
    {
        const HubServices* installed = HubServices::Instance();
        const QDir dir(installed ? installed->ProgramDirectory() : QDir::currentPath());
        return CertificateStore(dir.filePath(QString::fromLatin1(CertificateStore::kFileName)));
    }

    // A recorder that knows the first certificate: a first connection to a simulator serving it
    // logs in and closes, and the simulator stops. Its port, 0 when that failed.
    int KnownByFirstCertificate()
    {
        std::unique_ptr<EngineDvrSim> sim = StartSim(first);
        if (!sim)
            return 0;
        Connection connection;
        if (!connection.Open(sim->Port()) || !WaitFor([&] { return connection.LoggedIn(); }))
            return 0;
        connection.Engine().Disconnect();
        return sim->Port();
    }

    // The recorder known by the first certificate now serves the second on the same port.
    void StartChangedRecorder()
    {
        port = KnownByFirstCertificate();
        ASSERT_NE(port, 0);
        sim = StartSim(second, port);
        ASSERT_TRUE(sim);
    }

    std::unique_ptr<RequestsFakeHub> hub;
    TestCertificate first;
    TestCertificate second;
    // The recorder of the test (StartChangedRecorder sets both).
    std::unique_ptr<EngineDvrSim> sim;
    int port = 0;

private:
    QTemporaryDir m_dir;
};

} // namespace

TEST_F(RecorderCertificate, FirstConnectionIsRememberedAndTheSameCertificateAskedNothingLater)
{
    sim = StartSim(first);
    ASSERT_TRUE(sim);
    const QByteArray fingerprint = CertificateStore::Fingerprint(first.cert);
    EXPECT_TRUE(Store().Remembered(PeerKey(sim->Port())).isEmpty());
    for (int round = 1; round <= 2; ++round) {
        SCOPED_TRACE(round);
        Connection connection(QStringLiteral("Gate"));
        ASSERT_TRUE(connection.Open(sim->Port()));
        ASSERT_TRUE(WaitFor([&] { return connection.LoggedIn(); }));
        EXPECT_TRUE(connection.Engine().IsTlsHandshakeDone());
        EXPECT_EQ(Store().Remembered(PeerKey(sim->Port())), fingerprint);
        EXPECT_EQ(sim->Commands().count(kLoginCommand), round);
        connection.Engine().Disconnect();
    }
    EXPECT_TRUE(hub->certificateQuestions.isEmpty());
}

TEST_F(RecorderCertificate, WithoutAHubTheStoreIsInTheCurrentDirectoryAndAChangeIsRefused)
{
    hub.reset();
    ASSERT_NO_FATAL_FAILURE(StartChangedRecorder());
    Connection connection;
    ASSERT_TRUE(connection.Open(port));
    ASSERT_TRUE(WaitFor([&] { return connection.Closed(); }));
    Settle(300);
    EXPECT_EQ(sim->Commands().count(kLoginCommand), 0);
    EXPECT_FALSE(connection.Engine().IsTlsHandshakeDone());
    EXPECT_EQ(Store().Remembered(PeerKey(port)), CertificateStore::Fingerprint(first.cert));
}

// ---------------------------------------------------------------------------------------------
// The user's answer about a changed certificate

class ChangedCertificate : public RecorderCertificate, public ::testing::WithParamInterface<CertificateAnswer>
{};

TEST_P(ChangedCertificate, HoldsTheLoginBackUntilTheAnswer)
{
    const bool trust = GetParam().trust;
    ASSERT_NO_FATAL_FAILURE(StartChangedRecorder());

    int loginsWhileAsked = -1;
    bool handshakeWhileAsked = false;
    hub->answerCertificate = [&](const RequestsFakeHub::CertificateQuestion&) {
        // The simulator logs the handshake when it has run; on a busy machine that may come late.
        handshakeWhileAsked = WaitFor([&] { return !sim->Events(QStringLiteral("tls")).isEmpty(); });
        Settle(300); // time for a login to arrive, were it sent
        loginsWhileAsked = sim->Commands().count(kLoginCommand);
        return trust;
    };
    Connection connection(QStringLiteral("Gate"));
    ASSERT_TRUE(connection.Open(port));
    ASSERT_TRUE(WaitFor([&] { return connection.Settled(); }));
    Settle(200);

    ASSERT_EQ(hub->certificateQuestions.size(), 1);
    const RequestsFakeHub::CertificateQuestion& question = hub->certificateQuestions.front();
    EXPECT_EQ(question.recorder, QStringLiteral("Gate (127.0.0.1:%1)").arg(port));
    EXPECT_EQ(question.knownFingerprint, CertificateStore::Readable(CertificateStore::Fingerprint(first.cert)));
    EXPECT_EQ(question.newFingerprint, CertificateStore::Readable(CertificateStore::Fingerprint(second.cert)));
    EXPECT_TRUE(handshakeWhileAsked);
    EXPECT_EQ(loginsWhileAsked, 0);

    EXPECT_EQ(connection.LoggedIn(), trust);
    EXPECT_EQ(connection.Engine().IsTlsHandshakeDone(), trust);
    EXPECT_EQ(sim->Commands().count(kLoginCommand), trust ? 1 : 0);
    EXPECT_EQ(Store().Remembered(PeerKey(port)), CertificateStore::Fingerprint(trust ? second.cert : first.cert));
    if (!trust) {
        EXPECT_TRUE(WaitFor([&] { return !sim->Events(QStringLiteral("disconnect")).isEmpty(); }));
    }
}

TEST_P(ChangedCertificate, SecondConnectionTakesTheAnswerOfTheOpenQuestion)
{
    const bool trust = GetParam().trust;
    ASSERT_NO_FATAL_FAILURE(StartChangedRecorder());

    // Two connections to one recorder, the second opened while the user is asked about the first.
    Connection playback;
    Connection live;
    int loginsWhileAsked = -1;
    hub->answerCertificate = [&](const RequestsFakeHub::CertificateQuestion&) {
        EXPECT_TRUE(live.Open(port));
        EXPECT_TRUE(WaitFor([&] { return live.Engine().AwaitsCertificateAnswer(); }));
        Settle(200);
        loginsWhileAsked = sim->Commands().count(kLoginCommand);
        return trust;
    };
    ASSERT_TRUE(playback.Open(port));
    ASSERT_TRUE(WaitFor([&] { return playback.Settled() && live.Settled(); }));
    Settle(200);

    ASSERT_EQ(hub->certificateQuestions.size(), 1);
    EXPECT_EQ(hub->certificateQuestions.front().recorder, QStringLiteral("127.0.0.1:%1").arg(port))
        << "a recorder without a name is named by its address";
    EXPECT_EQ(loginsWhileAsked, 0);
    for (Connection* connection : {&playback, &live}) {
        EXPECT_EQ(connection->LoggedIn(), trust);
        EXPECT_FALSE(connection->Engine().AwaitsCertificateAnswer());
    }
    EXPECT_EQ(sim->Commands().count(kLoginCommand), trust ? 2 : 0);
}

INSTANTIATE_TEST_SUITE_P(Answers, ChangedCertificate, BothCertificateAnswers(), CertificateAnswerName);

TEST_F(RecorderCertificate, ConnectionReplacedWhileAskedGivesTheLoginOnlyToTheNewOne)
{
    ASSERT_NO_FATAL_FAILURE(StartChangedRecorder());

    Connection connection;
    hub->answerCertificate = [&](const RequestsFakeHub::CertificateQuestion&) {
        // While the user reads, the connection is closed and opened again: the new one presents the
        // same certificate and waits for this answer.
        connection.Engine().Disconnect();
        EXPECT_TRUE(WaitFor([&] { return connection.Closed(); }));
        EXPECT_TRUE(connection.Open(port));
        EXPECT_TRUE(WaitFor([&] { return connection.Engine().AwaitsCertificateAnswer(); }));
        return true;
    };
    ASSERT_TRUE(connection.Open(port));
    ASSERT_TRUE(WaitFor([&] { return !hub->certificateQuestions.isEmpty() && connection.LoggedIn(); }));
    Settle(300);

    EXPECT_EQ(hub->certificateQuestions.size(), 1);
    const QList<QJsonObject> logins = sim->Messages(kLoginCommand);
    ASSERT_EQ(logins.size(), 1) << "the closed connection's login is not sent on the new one";
    EXPECT_EQ(logins.front().value(QStringLiteral("conn")).toInt(), 2);
    EXPECT_EQ(Store().Remembered(PeerKey(port)), CertificateStore::Fingerprint(second.cert));
}
