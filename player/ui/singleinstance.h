#pragma once
// One running player per user: the first start takes a lock file and listens on a local socket
// beside it; a later start finds the lock held and talks to that socket instead. A lock left by
// a player that died is taken over.
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
    QString SocketPath() const;

    // True when this process is now the running player (and listens for hand-overs).
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
