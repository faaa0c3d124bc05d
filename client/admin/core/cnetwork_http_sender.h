#pragma once
#include "core/httpoutcome.h"
#include <QByteArray>

#include <QFile>
#include <QObject>
#include <QPointer>
#include <QString>

class QNetworkAccessManager;
class QNetworkReply;

// One request in flight at a time, on the network manager it shares with the other senders.
// The reply is gathered as bytes and decoded once whole, so a character split between two
// chunks survives.
class CNetwork_Http_Sender : public QObject
{
    Q_OBJECT
public:
    CNetwork_Http_Sender(QNetworkAccessManager* manager, QObject* parent = nullptr);
    ~CNetwork_Http_Sender() override;

    bool IsBusy() const { return m_busy != 0; }
    // A request that receives nothing for this long is given up ("no answer").
    void SetTransferLimitMs(int ms) { m_limitMs = ms; }
    // How the last reply ended; read while its result is being reported.
    HttpOutcome LastOutcome() const { return m_outcome; }
    void SetBusy() { m_busy = 1; }
    // The server changed while the reply was in flight: it still frees the sender when it
    // ends, but it is delivered to no one.
    void Abandon();

    void AddHttpGet(int id, const QString& url, int tag, const QString& file);
    void AddHttpPut(int id, const QString& url, int tag, const QByteArray& body);
    void AddHttpPost(int id, const QString& url, int tag, const QByteArray& body);
    void AddHttpDel(int id, const QString& url, int tag, const QByteArray& body);

signals:
    void OnResultSender(int id, QString text, int tag);
    // The sender has become free again (its reply ended).
    void Freed();

public slots:
    void httpReadyRead();
    void httpFinished();

private:
    void HttpGet(const QString& url);
    void HttpPut(const QString& url, const QByteArray& body);
    void HttpPost(const QString& url, const QByteArray& body);
    void HttpDelete(const QString& url, const QByteArray& body);
    void Keep(int id, int tag);
    void Track(QNetworkReply* reply);

    QNetworkAccessManager* m_manager;
    QPointer<QNetworkReply> m_reply;
    QFile m_file;
    int m_busy = 0;
    int m_limitMs = 0;
    HttpOutcome m_outcome;
    int m_id = -1;
    int m_tag = 0;
    bool m_abandoned = false;
    QByteArray m_data;
};
