#pragma once
#include "core/httpoutcome.h"

#include <QJsonObject>
#include <QString>

// One reply of the central server as its handlers read it. A transport failure (an empty text,
// or one that is not a JSON object) is a failure like a refusal, so that no success path runs
// on nothing; an add without a positive new id is one too.
class CentralReply
{
public:
    explicit CentralReply(const QString& text);

    // The text was a JSON object.
    bool IsObject() const { return m_isObject; }
    // "result" is "fail", or the reply did not arrive whole.
    bool Failed() const { return !m_isObject || m_result == QLatin1String("fail"); }
    // Whether an add succeeded: not failed and a positive "data.id".
    bool AddSucceeded() const { return !Failed() && NewId() > 0; }
    int NewId() const;
    QJsonObject Object() const { return m_object; }
    QJsonObject Data() const;
    QString Message() const;
    // The name in a success message ("word: name" gives "name"); `fallback` when the message
    // holds no ':'.
    QString NameText(const QString& fallback) const;
    // Why a failed reply failed, in the operator's words: how the transfer ended, else what
    // arrived (nothing, not JSON), else the server's own message of its refusal.
    QString WhyFailed(const HttpOutcome& outcome) const;
    // The transport failures in the operator's words (empty for None).
    static QString TransportText(const HttpOutcome& outcome);
    // The text an event reply relays: only for a message of exactly two ':'-parts.
    QString EventText(bool* ok) const;

private:
    QJsonObject m_object;
    QString m_result;
    bool m_isObject = false;
    bool m_empty = true;
};
