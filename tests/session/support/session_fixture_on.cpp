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
    return m_programDir.Enter();
}

void SessionFixtureBase::DropSessions()
{
    m_recorders.Clear();
}

void SessionFixtureBase::StopSimsAndLeave()
{
    m_sims.clear();
    m_programDir.Leave();
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
    return m_recorders.AddAt(name, port, useSsl);
}

void SessionFixtureBase::DeleteRecorder(CModuleDevice* device)
{
    m_recorders.Remove(device);
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
