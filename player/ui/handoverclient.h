#pragma once
// The second start's side of the hand-over: connects to the running player (which raises its
// window), sends the path record by record, each after the previous one was answered, and
// reports when the last one (Open) was answered or the exchange failed. Runs on the event loop;
// nothing waits.
#include <QByteArray>
#include <QLocalSocket>
#include <QObject>
#include <QTimer>
#include <QVector>

#include "ui/handover.h"

class HandOverClient : public QObject
{
    Q_OBJECT
public:
    explicit HandOverClient(QObject* parent = nullptr);

    // Starts the exchange; an empty path only raises the running window. `timeoutMs` bounds the
    // whole exchange.
    void Start(const QString& socketPath, const QByteArray& path, int timeoutMs = 30000);

signals:
    void finished(bool ok);

private:
    void SendNext();
    void OnReadyRead();
    void Finish(bool ok);

    QLocalSocket m_socket;
    QTimer m_timeout;
    QVector<HandOverRecord> m_records;
    int m_next = 0;
    bool m_done = false;
};
