#pragma once
#include "core/httpoutcome.h"
#include "core/httprequest.h"

#include <QByteArray>
#include <QList>
#include <QMutex>
#include <QNetworkAccessManager>
#include <QObject>
#include <QPointer>
#include <QString>

#include <memory>
#include <vector>

class AdminHub;
class CNetwork_Http_Sender;
class QNetworkReply;

// The central server's client: queues requests, hands them to free senders once the "/about"
// probe has answered, and reports every reply as OnResult(id, text, tag). Senders are made on
// first use and share one network manager. Dispatch runs when something changes (a request
// queued, a sender freed, the probe answered), never on an idle timer.
class CNetwork_http : public QObject
{
    Q_OBJECT
public:
    static constexpr int kSenderSlots = 9999;
    // A request, the probe included, that receives nothing for this long is given up, as the
    // validation line gives up a silent server.
    static constexpr int kTransferLimitMs = 10000;

    CNetwork_http(AdminHub& hub, QObject* parent = nullptr);
    ~CNetwork_http() override;

    void QueuePut(int id, const QString& path, int tag, const QByteArray& body);
    void QueuePost(int id, const QString& path, int tag, const QByteArray& body);
    void SetServer(const QString& host, const QString& port);
    void CheckServer();

    QString BaseUrl() const { return m_baseUrl; }
    // Tests shorten the limit.
    void SetTransferLimitMs(int ms);
    // How the reply being reported (by OnResult, or to the hub's probe answer) ended.
    HttpOutcome LastOutcome() const { return m_lastOutcome; }
    bool IsReady() const { return m_ready; }
    int QueuedCount() const;
    int BusySenders() const;
    int SenderCount() const { return int(m_senders.size()); }

signals:
    void OnResult(int id, QString text, int tag);

public slots:
    void OnSenderResult(int id, QString text, int tag);
    void OnDownloadProcess(qlonglong, qlonglong) {}
    void httpReadyRead();
    void httpFinished();
    void SendHttpTimer();

private:
    void Enqueue(HttpMethod method, int id, const QString& path, int tag, const QByteArray& body);
    void ScheduleDispatch();
    CNetwork_Http_Sender* FreeSender();
    void Send(CNetwork_Http_Sender& sender, const HttpRequest& request);

    AdminHub& m_hub;
    QNetworkAccessManager m_manager;
    std::vector<CNetwork_Http_Sender*> m_senders; // children of this object
    QString m_baseUrl;
    QPointer<QNetworkReply> m_probeReply;
    int m_probeId = -1;
    int m_probeTag = 0;
    QByteArray m_probeData;
    mutable QMutex m_queueLock;
    bool m_ready = false;
    int m_limitMs = kTransferLimitMs;
    HttpOutcome m_lastOutcome;
    bool m_dispatchPending = false;
    QList<HttpRequest> m_queue;
};
