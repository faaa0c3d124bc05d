#pragma once
// One running player per user: the first start takes a lock file and listens on a local socket
// beside it; a later start finds the lock held and talks to that socket instead. A lock left by
// a player that died is taken over. The folder must be this user's alone (owned by the user, no
// access for others, not a link); in any other folder no lock or socket is used and every start
// runs on its own, so that no other user can receive a path or stand in for the player.
#include <memory>

#include <QLockFile>
#include <QObject>
#include <QString>

class QLocalServer;
class QLocalSocket;
class HandOverReceiver;

class SingleInstance : public QObject
{
    Q_OBJECT
public:
    // `folder` holds the lock and the socket (the user's runtime folder by default).
    explicit SingleInstance(const QString& folder = DefaultFolder(), QObject* parent = nullptr);
    ~SingleInstance() override;

    static QString DefaultFolder();
    // True when `folder` is a directory, not a link, owned by this user, without group or other
    // access.
    static bool IsPrivateFolder(const QString& folder);
    QString SocketPath() const;

    // True when this process is now the running player (and listens for hand-overs, when its
    // folder is private).
    bool TryBecomeRunning();

signals:
    // A later start connected: the running window is restored and raised.
    void raiseRequested();
    // A handed-over path is to be opened now; it is open when the slot returns.
    void openRequested(const QString& path);

private:
    void OnNewConnection();
    void OnReadyRead(QLocalSocket* socket, HandOverReceiver& receiver);

    QString m_folder;
    QLockFile m_lock;
    QLocalServer* m_server = nullptr;
};
