#include "ui/singleinstance.h"
#include "ui/handover.h"
#include "ui/uilog.h"

#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>

#include <sys/stat.h>
#include <unistd.h>

namespace {
constexpr char kLockName[] = "orvane.lock";
constexpr char kSocketName[] = "orvane.socket";
} // namespace

SingleInstance::SingleInstance(const QString& folder, QObject* parent)
    : QObject(parent)
    , m_folder(folder)
    , m_lock(QDir(folder).filePath(QLatin1String(kLockName)))
{
    m_lock.setStaleLockTime(0);
}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::DefaultFolder()
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    // Without a runtime folder, one of this user's own under the shared temporary folder: the
    // shared folder itself lets anybody place a lock and a socket first.
    if (folder.isEmpty())
        folder = QDir(QDir::tempPath()).filePath(QStringLiteral("orvane-%1").arg(geteuid()));
    return folder;
}

bool SingleInstance::IsPrivateFolder(const QString& folder)
{
    struct stat info = {};
    if (lstat(QFile::encodeName(folder).constData(), &info) != 0)
        return false;
    return S_ISDIR(info.st_mode) && info.st_uid == geteuid() && (info.st_mode & (S_IRWXG | S_IRWXO)) == 0;
}

QString SingleInstance::SocketPath() const
{
    return QDir(m_folder).filePath(QLatin1String(kSocketName));
}

bool SingleInstance::TryBecomeRunning()
{
    if (!QFileInfo::exists(m_folder)) {
        QDir().mkpath(QFileInfo(m_folder).absolutePath());
        // Made without access for others from the start.
        ::mkdir(QFile::encodeName(m_folder).constData(), 0700);
    }
    if (!IsPrivateFolder(m_folder)) {
        qCWarning(lcPlayerUi) << "hand-over folder is not this user's alone, running without it:" << m_folder;
        return true;
    }
    if (!m_lock.tryLock(0))
        return false;
    // The lock is ours, so a socket file left behind belongs to a player that is gone.
    QLocalServer::removeServer(SocketPath());
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(SocketPath()))
        qCWarning(lcPlayerUi) << "hand-over socket not available:" << m_server->errorString();
    connect(m_server, &QLocalServer::newConnection, this, &SingleInstance::OnNewConnection);
    return true;
}

void SingleInstance::OnNewConnection()
{
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        // Each connection collects its own records: a stray or broken write ends with its
        // connection (the receiver goes with the socket) and never shifts the next one's.
        auto receiver = std::make_shared<HandOverReceiver>();
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this,
                [this, socket, receiver] { OnReadyRead(socket, *receiver); });
        emit raiseRequested();
    }
}

void SingleInstance::OnReadyRead(QLocalSocket* socket, HandOverReceiver& receiver)
{
    const QVector<HandOverRecord> records = receiver.Feed(socket->readAll());
    for (const HandOverRecord& record : records) {
        if (receiver.Apply(record))
            emit openRequested(receiver.PendingPath());
        socket->write(QByteArray(1, HandOverSequence::kAcknowledge));
    }
    socket->flush();
}
