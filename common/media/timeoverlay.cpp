#include "common/media/timeoverlay.h"

#include <QFileInfo>

#include <fontconfig/fontconfig.h>

#include <memory>

namespace {

struct PatternDeleter
{
    void operator()(FcPattern* pattern) const { FcPatternDestroy(pattern); }
};
using PatternPtr = std::unique_ptr<FcPattern, PatternDeleter>;

QString MatchFont(const char* family)
{
    FcConfig* config = FcInitLoadConfigAndFonts();
    if (!config)
        return QString();
    QString path;
    PatternPtr pattern(FcNameParse(reinterpret_cast<const FcChar8*>(family)));
    if (pattern) {
        FcConfigSubstitute(config, pattern.get(), FcMatchPattern);
        FcDefaultSubstitute(pattern.get());
        FcResult result = FcResultNoMatch;
        PatternPtr match(FcFontMatch(config, pattern.get(), &result));
        FcChar8* file = nullptr;
        if (match && FcPatternGetString(match.get(), FC_FILE, 0, &file) == FcResultMatch && file)
            path = QString::fromUtf8(reinterpret_cast<const char*>(file));
    }
    FcConfigDestroy(config);
    return path;
}

QByteArray Description(const QString& text, int y, const QString& fontFile)
{
    return QStringLiteral("drawtext=text=%1:fontfile=%2:fontsize=36:x=10:y=%3:fontcolor=white:shadowcolor=black:"
                          "shadowx=5:shadowy=5")
        .arg(text, TimeOverlay::QuoteFilterValue(fontFile))
        .arg(y)
        .toUtf8();
}

} // namespace

QString TimeOverlay::FontFile(const QString& programDirectory)
{
    const QString ownFont = programDirectory + QStringLiteral("/Arial.ttf");
    if (QFileInfo(ownFont).isFile())
        return ownFont;
    return MatchFont("Arial");
}

QString TimeOverlay::QuoteFilterValue(const QString& value)
{
    // The option parser of the filter reads backslash escapes; the graph parser before it takes
    // everything between single quotes literally, and a quote inside is closed, escaped and
    // opened again.
    QString optionLevel;
    for (const QChar c : value) {
        if (c == QLatin1Char('\\') || c == QLatin1Char('\'') || c == QLatin1Char(':'))
            optionLevel += QLatin1Char('\\');
        optionLevel += c;
    }
    optionLevel.replace(QLatin1Char('\''), QStringLiteral("'\\''"));
    return QLatin1Char('\'') + optionLevel + QLatin1Char('\'');
}

QByteArray TimeOverlay::DateDescription(int date, const QString& fontFile)
{
    const QString text = QString::asprintf("%02d/%02d/%04d", (date / 100) % 100, date % 100, date / 10000);
    return Description(QuoteFilterValue(text), 10, fontFile);
}

QByteArray TimeOverlay::TimeDescription(int time, const QString& fontFile)
{
    const QString text = QString::asprintf("%02d:%02d:%02d", time / 10000, (time / 100) % 100, time % 100);
    return Description(QuoteFilterValue(text), 60, fontFile);
}
