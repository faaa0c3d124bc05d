#include "panels/ptzcode.h"

#include <array>

namespace {
// clang-format off
constexpr std::array<int, PtzSpeed::kEntries> kSpeedCodes{{1, 3, 5, 6}};
constexpr std::array<const char*, PtzSpeed::kEntries> kSpeedTexts{{"Slow", "Normal", "Fast", "Very Fast"}};
// clang-format on
} // namespace

int PtzSpeed::CodeOfEntry(int index, int otherwise)
{
    if (index < 0 || index >= kEntries)
        return otherwise;
    return kSpeedCodes[size_t(index)];
}

QStringList PtzSpeed::Texts(const QString& prefix)
{
    QStringList texts;
    for (const char* text : kSpeedTexts)
        texts << prefix + QLatin1String(text);
    return texts;
}

QStringList PtzPreset::Texts()
{
    QStringList texts;
    for (int n = 1; n <= kCount; ++n)
        texts << QString::asprintf("Preset %02d", n);
    return texts;
}
