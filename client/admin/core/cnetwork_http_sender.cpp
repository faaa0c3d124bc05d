#include "core/cnetwork_http_sender.h"

#include "core/adminlog.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QUrl>

namespace {
QNetworkRequest JsonRequest(const QString& url, int limitMs)
{
    QNetworkRequest request(QUrl(url, QUrl::TolerantMode));
    request.setHeader(QNetworkRequest::ContentTypeHeader, QStringLiteral("application/json"));
    request.setTransferTimeout(limitMs);
    return request;
}
} // namespace

CNetwork_Http_Sender::CNetwork_Http_Sender(QNetworkAccessManager* manager, QObject* parent)
    : QObject(parent)
    , m_manager(manager)
{}

CNetwork_Http_Sender::~CNetwork_Http_Sender()
{
    if (m_reply) {
        m_reply->disconnect(this);
        m_reply->abort();
        m_reply->deleteLater();
    }
}

void CNetwork_Http_Sender::Abandon()
{
    if (m_reply)
        m_abandoned = true;
}

void CNetwork_Http_Sender::Keep(int id, int tag)
{
    qCDebug(lcAdmin) << "HTTP Sender" << id;
    m_id = id;
    m_tag = tag;
    m_abandoned = false;
}

void CNetwork_Http_Sender::AddHttpGet(int id, const QString& url, int tag, const QString& file)
{
    Keep(id, tag);
    if (m_file.isOpen())
        m_file.close();
    if (!file.isEmpty()) {
        QFile::remove(file);
        m_file.setFileName(file);
        if (!m_file.open(QIODevice::WriteOnly))
            qCWarning(lcAdmin) << "cannot create download file" << file << m_file.errorString();
    }
    HttpGet(url);
}

void CNetwork_Http_Sender::AddHttpPut(int id, const QString& url, int tag, const QByteArray& body)
{
    Keep(id, tag);
    HttpPut(url, body);
}

void CNetwork_Http_Sender::AddHttpPost(int id, const QString& url, int tag, const QByteArray& body)
{
    Keep(id, tag);
    HttpPost(url, body);
}

void CNetwork_Http_Sender::AddHttpDel(int id, const QString& url, int tag, const QByteArray& body)
{
    Keep(id, tag);
    HttpDelete(url, body);
}

void CNetwork_Http_Sender::HttpGet(const QString& url)
{
    m_data.clear();
    Track(m_manager->get(JsonRequest(url, m_limitMs)));
}

void CNetwork_Http_Sender::HttpPut(const QString& url, const QByteArray& body)
{
    m_data.clear();
    Track(m_manager->put(JsonRequest(url, m_limitMs), body));
}

void CNetwork_Http_Sender::HttpPost(const QString& url, const QByteArray& body)
{
    m_data.clear();
    Track(m_manager->post(JsonRequest(url, m_limitMs), body));
}

void CNetwork_Http_Sender::HttpDelete(const QString& url, const QByteArray&)
{
    m_data.clear();
    Track(m_manager->deleteResource(JsonRequest(url, m_limitMs)));
}

void CNetwork_Http_Sender::Track(QNetworkReply* reply)
{
    m_reply = reply;
    connect(reply, &QNetworkReply::finished, this, &CNetwork_Http_Sender::httpFinished);
    connect(reply, &QIODevice::readyRead, this, &CNetwork_Http_Sender::httpReadyRead);
}

void CNetwork_Http_Sender::httpReadyRead()
{
    if (!m_reply || sender() != m_reply)
        return;
    const QByteArray chunk = m_reply->readAll();
    if (m_file.isOpen())
        m_file.write(chunk);
    m_data += chunk;
}

void CNetwork_Http_Sender::httpFinished()
{
    if (!m_reply || sender() != m_reply)
        return;
    QNetworkReply* reply = m_reply;
    m_reply = nullptr;
    m_data += reply->readAll();
    if (m_file.isOpen())
        m_file.close();
    // Whole now: decode once, so a character split between chunks stays whole.
    const QString text = QString::fromUtf8(m_data);
    m_data.clear();
    qCDebug(lcAdmin) << "HTTP Sender" << text;
    m_outcome = HttpOutcome::Of(*reply);
    const bool failed = m_outcome.failure != HttpFailure::None;
    if (failed)
        qCDebug(lcAdmin) << "Http error" << reply->errorString() << m_tag;
    reply->deleteLater();
    const bool abandoned = m_abandoned;
    const int id = m_id;
    const int tag = m_tag;
    m_abandoned = false;
    m_busy = 0;
    if (!abandoned)
        emit OnResultSender(id, failed ? QString() : text, tag);
    emit Freed();
}
