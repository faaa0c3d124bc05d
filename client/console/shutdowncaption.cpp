#include "console/shutdowncaption.h"

#include <QByteArray>

namespace {

// clang-format off
const char* const kExact[] = {"SHUTDOWN", "Vypnuti", "LUK NED", "AUSSCHLT", "SPEGNI", "DESLIGAR", "Vypnutie",
                              "CERRAR", "KAPATMA", "AFSLUITEN"};
// These languages draw the caption with more characters after it, so their caption only has to begin the text.
const char* const kLeading[] = {u8"关机", u8"ÉTEINDRE", u8"システム終了", u8"시스템 종료", u8"ЗАКРЫТЬ", u8"關機"};
// clang-format on

// The recorder compares a fixed-size copy of the text.
constexpr int kComparedBytes = 99;

} // namespace

bool ShutdownCaption::Matches(const QString& text)
{
    for (const char* caption : kExact)
        if (text == QLatin1String(caption))
            return true;
    const QByteArray bytes = text.toUtf8().left(kComparedBytes);
    for (const char* caption : kLeading)
        if (bytes.startsWith(QByteArray(caption)))
            return true;
    return false;
}
