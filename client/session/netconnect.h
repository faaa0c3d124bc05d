#pragma once
// The connect worker of a session. It is moved to the session's connect thread, which is never
// started: every connect runs on the user-interface thread. OnConnect runs the session's connect
// step and then reports that it has finished.
#include <QObject>
#include <QPointer>

#include <functional>

class NetConnect : public QObject
{
    Q_OBJECT

public:
    // `connectStep` is the session's connect step, run while `session` exists.
    NetConnect(QObject* session, std::function<void()> connectStep);

public slots:
    void OnConnect();

signals:
    void finished();

private:
    // The session may be destroyed before the worker: it is only reached while it exists.
    QPointer<QObject> m_session;
    std::function<void()> m_connectStep;
};
