#pragma once
#include <QIcon>
#include <QString>

class ValidationAccount;

// The picture of a validation tree node, chosen by the node's type and state.
class ValidationIcons
{
public:
    // The resource path of the node's picture; empty when the node shows none. `state` is the
    // text of the node's state column: "X" means off, anything else on.
    static QString IconPath(const ValidationAccount& account, const QString& state);
    // The picture itself, made from the resource each time it is asked for; null when none.
    static QIcon Icon(const ValidationAccount& account, const QString& state);

private:
    static QString CameraIconPath(int status);
};
