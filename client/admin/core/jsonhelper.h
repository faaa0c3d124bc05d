#pragma once
#include <QJsonObject>
#include <QString>
#include <QVariant>

// Stateless JSON utility of the request builders and reply handlers.
class JsonHelper
{
public:
    // The text's JSON object; an empty object for anything that is not a JSON object.
    QJsonObject ToJsonObject(const QString& text) const;
    // Compact text, keys in ascending order.
    QString ToJsonText(const QJsonObject& object) const;
    void Insert(QJsonObject& object, const QString& key, const QVariant& value) const;
};
