#include "session/support/session_fixture.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QTcpServer>
#include <QTest>

#include <ostream>

#include "platform/cpuload.h"
#include "session/moduledevice.h"

// ---------------------------------------------------------------------------------------------
// Hub

void PrintTo(const BoxCall& call, std::ostream* os)
{
    *os << "(\"" << call.title.toStdString() << "\", \"" << call.text.toStdString() << "\", \""
        << call.option.toStdString() << "\")";
}

void SessionTestHub::ShowMessageBox(const QString& title, const QString& text, const QString& option)
{
    boxCalls.push_back({title, text, option});
    if (!title.isEmpty())
        m_title = title;
    if (onBox)
        onBox(boxCalls.back());
}

bool SessionTestHub::TrustChangedCertificate(const QString& recorder, const QString&, const QString&)
{
    certificateQuestions.push_back(recorder);
    return answerCertificate ? answerCertificate() : false;
}

// ---------------------------------------------------------------------------------------------
// Fixture

void SessionTest::SetUp()
{
    ASSERT_TRUE(m_dir.isValid());
    m_previousDir = QDir::currentPath();
    // The hub takes the working directory at start as its program directory.
    ASSERT_TRUE(QDir::setCurrent(m_dir.path()));
    hub = std::make_unique<SessionTestHub>();
    // The machine is busy with the other tests; above 70 % a hub decodes only the key frames of
    // live video, and tests that count frames would then depend on what else runs. The rule has
    // tests of its own (which give the hub their own readings): here the processor reads idle.
    hub->SetCpuLoad(platform::CpuLoad([] { return QByteArray("cpu  0 0 0 1000 0 0 0 0 0 0\n"); }));
    // Only what the sessions ask of the box counts, not what the hub reported while starting.
    hub->boxCalls.clear();
}

void SessionTest::TearDown()
{
    m_devices.clear();
    m_records.clear();
    hub.reset();
    m_sims.clear();
    QDir::setCurrent(m_previousDir);
}

SessionDvrSim* SessionTest::StartSim(const QStringList& options)
{
    auto sim = std::make_unique<SessionDvrSim>(options);
    QString error;
    const bool ok = sim->Start(&error);
    EXPECT_TRUE(ok) << error.toStdString();
    if (!ok)
        return nullptr;
    m_sims.push_back(std::move(sim));
    return m_sims.back().get();
}

CModuleDevice* SessionTest::AddRecorder(const QString& name, int port, int useSsl)
{
    auto record = std::make_unique<SiteBook>();
    record->kind = QStringLiteral("device");
    record->name = name;
    record->addr = QStringLiteral("127.0.0.1");
    record->port = QString::number(port);
    record->id = QStringLiteral("admin");
    record->password = QStringLiteral("1234");
    record->use_ssl = useSsl;
    auto device = std::make_unique<CModuleDevice>(nullptr, 0);
    SiteBook::SetOnItem(device.get(), record.get());
    m_records.push_back(std::move(record));
    m_devices.push_back(std::move(device));
    return m_devices.back().get();
}

void SessionTest::DeleteRecorder(CModuleDevice* device)
{
    for (auto it = m_devices.begin(); it != m_devices.end(); ++it) {
        if (it->get() == device) {
            m_devices.erase(it);
            return;
        }
    }
}

SiteBook* SessionTest::RecordOf(CModuleDevice* device)
{
    return SiteBook::FromItem(device);
}

bool SessionTest::WaitFor(const std::function<bool()>& condition, int limitMs)
{
    return QTest::qWaitFor(condition, limitMs);
}

bool SessionTest::ConnectAndLogin(CModuleDevice* device, int purpose)
{
    device->StartConnect(purpose);
    return WaitFor([device] { return device->IsLoggedIn(); });
}

int SessionTest::ClosedPort()
{
    QTcpServer server;
    server.listen(QHostAddress::LocalHost, 0);
    const int port = server.serverPort();
    server.close();
    return port;
}

QString Hex(const QByteArray& bytes)
{
    return QString::fromLatin1(bytes.toHex());
}

QByteArray FromHex(const char* text)
{
    QByteArray clean(text);
    clean.replace(' ', "");
    return QByteArray::fromHex(clean);
}
