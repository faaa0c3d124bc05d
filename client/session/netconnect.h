#pragma once
// The connect worker of a session. It is moved to the session's connect thread, which is never
// started: every connect runs on the user-interface thread. OnConnect runs the session's connect
// step and then reports that it has finished.
#include <QObject>
#include <QPointer>

class CModuleDevice;

class NetConnect : public QObject
{
    Q_OBJECT

public:
    explicit NetConnect(CModuleDevice* session);

public slots:
    void OnConnect();

signals:
    void finished();

private:
    // The session may be destroyed before the worker: it is only reached while it exists.
    QPointer<CModuleDevice> m_session;
};
