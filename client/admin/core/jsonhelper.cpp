#include "core/jsonhelper.h"

#include <QJsonDocument>
#include <QJsonValue>

QJsonObject JsonHelper::ToJsonObject(const QString& text) const
{
    const QJsonDocument document = QJsonDocument::fromJson(text.toUtf8());
    if (document.isNull() || !document.isObject())
        return QJsonObject();
    return document.object();
}

QString JsonHelper::ToJsonText(const QJsonObject& object) const
{
    return QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact));
}

void JsonHelper::Insert(QJsonObject& object, const QString& key, const QVariant& value) const
{
    object.insert(key, QJsonValue::fromVariant(value));
}
