#include "validation/centralreply.h"

#include "core/jsonhelper.h"

#include <QJsonDocument>
#include <QStringList>

CentralReply::CentralReply(const QString& text)
{
    const QJsonDocument document = QJsonDocument::fromJson(text.toUtf8());
    m_isObject = document.isObject();
    m_empty = text.trimmed().isEmpty();
    m_object = JsonHelper().ToJsonObject(text);
    m_result = m_object.value(QLatin1String("result")).toString();
}

QJsonObject CentralReply::Data() const
{
    return m_object.value(QLatin1String("data")).toObject();
}

int CentralReply::NewId() const
{
    return Data().value(QLatin1String("id")).toInt(0);
}

QString CentralReply::Message() const
{
    return m_object.value(QLatin1String("message")).toString();
}

QString CentralReply::NameText(const QString& fallback) const
{
    const QStringList parts = Message().split(QLatin1Char(':'));
    if (parts.size() < 2)
        return fallback;
    return parts.at(1).mid(1);
}

QString CentralReply::EventText(bool* ok) const
{
    const QStringList parts = Message().split(QLatin1Char(':'));
    *ok = !Failed() && parts.size() == 2;
    return *ok ? parts.at(1).mid(1) : QString();
}

QString CentralReply::TransportText(const HttpOutcome& outcome)
{
    switch (outcome.failure) {
    case HttpFailure::None: return QString();
    case HttpFailure::NoConnection: return QStringLiteral("Can not connect to the database server.");
    case HttpFailure::NoAnswer: return QStringLiteral("The database server did not answer.");
    case HttpFailure::ErrorStatus:
        return QStringLiteral("The database server answered with an error (HTTP %1).").arg(outcome.status);
    case HttpFailure::Cut: return QStringLiteral("The database server's answer broke off.");
    }
    return QString();
}

QString CentralReply::WhyFailed(const HttpOutcome& outcome) const
{
    if (outcome.failure != HttpFailure::None)
        return TransportText(outcome);
    if (m_empty)
        return QStringLiteral("The database server sent an empty answer.");
    if (!m_isObject)
        return QStringLiteral("The database server's answer could not be read.");
    const QString message = Message();
    return message.isEmpty() ? QStringLiteral("The database server refused the request.") : message;
}
