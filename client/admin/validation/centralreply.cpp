#include "validation/centralreply.h"

#include "core/jsonhelper.h"

#include <QJsonDocument>
#include <QStringList>

CentralReply::CentralReply(const QString& text)
{
    const QJsonDocument document = QJsonDocument::fromJson(text.toUtf8());
    m_isObject = document.isObject();
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
