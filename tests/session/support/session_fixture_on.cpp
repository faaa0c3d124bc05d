#include "session/support/session_fixture_on.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QTcpServer>
#include <QTest>

#include "session/moduledevice.h"

// ---------------------------------------------------------------------------------------------
// Fixture

bool SessionFixtureBase::EnterProgramDirectory()
{
    if (!m_dir.isValid())
        return false;
    m_previousDir = QDir::currentPath();
    return QDir::setCurrent(m_dir.path());
}

void SessionFixtureBase::DropSessions()
{
    m_devices.clear();
    m_records.clear();
}

void SessionFixtureBase::StopSimsAndLeave()
{
    m_sims.clear();
    QDir::setCurrent(m_previousDir);
}

SessionDvrSim* SessionFixtureBase::StartSim(const QStringList& options)
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

CModuleDevice* SessionFixtureBase::AddRecorder(const QString& name, int port, int useSsl)
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

void SessionFixtureBase::DeleteRecorder(CModuleDevice* device)
{
    for (auto it = m_devices.begin(); it != m_devices.end(); ++it) {
        if (it->get() == device) {
            m_devices.erase(it);
            return;
        }
    }
}

SiteBook* SessionFixtureBase::RecordOf(CModuleDevice* device)
{
    return SiteBook::FromItem(device);
}

bool SessionFixtureBase::WaitFor(const std::function<bool()>& condition, int limitMs)
{
    return QTest::qWaitFor(condition, limitMs);
}

bool SessionFixtureBase::ConnectAndLogin(CModuleDevice* device, int purpose)
{
    device->StartConnect(purpose);
    return WaitFor([device] { return device->IsLoggedIn(); });
}

int SessionFixtureBase::ClosedPort()
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
