#pragma once
// Where the engine looks for its decoder libraries. The caller maps the program's fixed places
// ("c:\Player\...", the program folder's lib folder) to real paths; an empty path is not tried.
#include <QString>
#include <QStringList>

struct DecoderLibraries
{
    // "Wedra" as the main dialog found it at start-up; empty when it found none.
    QString wedraPath;
    // "WEDRAMOD_1" by name, or a path.
    QString wedramodName = QStringLiteral("WEDRAMOD_1");
    // The H.264 decoder library, tried in order ("c:\Player\KRO_SDK_H264_Dec" mapped to its
    // folder, then the name beside the program, then the name alone).
    QStringList h264Candidates;

    // The places the program looks in by default: the folder of the running program.
    static DecoderLibraries Defaults();
};
