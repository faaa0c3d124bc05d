#pragma once
// Whether a favorite connects by itself when the program starts. The favorite's record keeps the
// choice as text in its favorites mode ("autoConnectOn", "autoConnectOff"; empty: never chosen).
#include <QLatin1String>
#include <QString>

enum class AutoConnect {
    Off,
    On,
};

inline QString AutoConnectText(AutoConnect mode)
{
    return mode == AutoConnect::On ? QStringLiteral("autoConnectOn") : QStringLiteral("autoConnectOff");
}

inline bool IsAutoConnectOn(const QString& favoritesMode)
{
    return favoritesMode == QLatin1String("autoConnectOn");
}
