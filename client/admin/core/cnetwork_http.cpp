#include "core/cnetwork_http.h"

#include "core/adminhub.h"
#include "core/adminlog.h"
#include "core/cnetwork_http_sender.h"

#include <QMutexLocker>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <QUrl>

#include <algorithm>

CNetwork_http::CNetwork_http(AdminHub& hub, QObject* parent)
    : QObject(parent)
    , m_hub(hub)
{}

CNetwork_http::~CNetwork_http()
{
    if (m_probeReply) {
        m_probeReply->disconnect(this);
        m_probeReply->abort();
        delete m_probeReply;
    }
    // The senders abort their own replies before the shared manager goes.
    for (CNetwork_Http_Sender* sender : m_senders)
        delete sender;
    m_senders.clear();
}

void CNetwork_http::QueuePut(int id, const QString& path, int tag, const QByteArray& body)
{
    Enqueue(HttpMethod::Put, id, path, tag, body);
}

void CNetwork_http::QueuePost(int id, const QString& path, int tag, const QByteArray& body)
{
    Enqueue(HttpMethod::Post, id, path, tag, body);
}

void CNetwork_http::Enqueue(HttpMethod method, int id, const QString& path, int tag, const QByteArray& body)
{
    {
        QMutexLocker lock(&m_queueLock);
        m_queue.append(HttpRequest{method, id, m_baseUrl + path, body, tag, QString()});
    }
    ScheduleDispatch();
}

void CNetwork_http::SetServer(const QString& host, const QString& port)
{
    m_baseUrl = QStringLiteral("http://") + host + QLatin1Char(':') + port;
    // A reply still in flight belongs to the old server: its sender stays busy until the reply
    // ends, so no newer request can take the slot and inherit the late answer.
    for (CNetwork_Http_Sender* sender : m_senders)
        sender->Abandon();
}

void CNetwork_http::CheckServer()
{
    if (m_probeReply) {
        m_probeReply->disconnect(this);
        m_probeReply->abort();
        m_probeReply->deleteLater();
    }
    m_probeId = 0;
    m_probeData.clear();
    QNetworkRequest request(QUrl(m_baseUrl + QStringLiteral("/about"), QUrl::TolerantMode));
    request.setHeader(QNetworkRequest::ContentTypeHeader, QStringLiteral("application/json"));
    request.setTransferTimeout(m_limitMs);
    m_probeReply = m_manager.get(request);
    connect(m_probeReply, &QNetworkReply::finished, this, &CNetwork_http::httpFinished);
    connect(m_probeReply, &QIODevice::readyRead, this, &CNetwork_http::httpReadyRead);
}

void CNetwork_http::httpReadyRead()
{
    if (m_probeReply && sender() == m_probeReply)
        m_probeData += m_probeReply->readAll();
}

void CNetwork_http::httpFinished()
{
    if (!m_probeReply || sender() != m_probeReply)
        return;
    QNetworkReply* reply = m_probeReply;
    m_probeReply = nullptr;
    m_probeData += reply->readAll();
    const QString text = QString::fromUtf8(m_probeData);
    m_probeData.clear();
    m_lastOutcome = HttpOutcome::Of(*reply);
    const bool failed = m_lastOutcome.failure != HttpFailure::None;
    if (failed)
        qCDebug(lcAdmin) << "Http error" << reply->errorString() << m_probeTag;
    // Freed on both paths: a failed probe must not leave its reply behind.
    reply->deleteLater();
    const int id = m_probeId;
    if (!failed)
        m_probeId = -1;
    if (id == 0)
        m_hub.OnDatabaseServerProbe(!failed);
    else
        emit OnResult(id, failed ? QString() : text, m_probeTag);
    m_ready = true;
    ScheduleDispatch();
}

void CNetwork_http::OnSenderResult(int id, QString text, int tag)
{
    if (auto* from = qobject_cast<CNetwork_Http_Sender*>(sender()))
        m_lastOutcome = from->LastOutcome();
    emit OnResult(id, text, tag);
}

void CNetwork_http::SetTransferLimitMs(int ms)
{
    m_limitMs = ms;
    for (CNetwork_Http_Sender* sender : m_senders)
        sender->SetTransferLimitMs(ms);
}

void CNetwork_http::ScheduleDispatch()
{
    if (m_dispatchPending)
        return;
    m_dispatchPending = true;
    QTimer::singleShot(0, this, &CNetwork_http::SendHttpTimer);
}

CNetwork_Http_Sender* CNetwork_http::FreeSender()
{
    for (CNetwork_Http_Sender* sender : m_senders)
        if (!sender->IsBusy())
            return sender;
    if (int(m_senders.size()) >= kSenderSlots)
        return nullptr;
    auto* sender = new CNetwork_Http_Sender(&m_manager, this);
    sender->SetTransferLimitMs(m_limitMs);
    connect(sender, &CNetwork_Http_Sender::OnResultSender, this, &CNetwork_http::OnSenderResult);
    connect(sender, &CNetwork_Http_Sender::Freed, this, &CNetwork_http::ScheduleDispatch);
    m_senders.push_back(sender);
    return sender;
}

void CNetwork_http::Send(CNetwork_Http_Sender& sender, const HttpRequest& request)
{
    sender.SetBusy();
    switch (request.method) {
    case HttpMethod::Get: sender.AddHttpGet(request.id, request.url, request.tag, request.file); break;
    case HttpMethod::Put: sender.AddHttpPut(request.id, request.url, request.tag, request.body); break;
    case HttpMethod::Post: sender.AddHttpPost(request.id, request.url, request.tag, request.body); break;
    case HttpMethod::Delete: sender.AddHttpDel(request.id, request.url, request.tag, request.body); break;
    }
}

void CNetwork_http::SendHttpTimer()
{
    m_dispatchPending = false;
    QMutexLocker lock(&m_queueLock);
    if (m_queue.isEmpty() || !m_ready)
        return;
    const int passes = std::min(int(m_queue.size()), kSenderSlots);
    for (int pass = 0; pass < passes; ++pass) {
        CNetwork_Http_Sender* sender = FreeSender();
        if (!sender)
            break;
        const HttpRequest request = m_queue.takeFirst();
        if (m_hub.IsClosing())
            continue;
        Send(*sender, request);
    }
}

int CNetwork_http::QueuedCount() const
{
    QMutexLocker lock(&m_queueLock);
    return m_queue.size();
}

int CNetwork_http::BusySenders() const
{
    return int(std::count_if(m_senders.begin(), m_senders.end(),
                             [](const CNetwork_Http_Sender* sender) { return sender->IsBusy(); }));
}
