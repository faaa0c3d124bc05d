#pragma once
// Under a real display with ZENT_SCREENSHOT_DIR set, a picture of the whole screen for a person
// to look at (nothing is asserted on it); without them nothing happens.
#include <QProcess>
#include <QString>
#include <QTest>

inline void Screenshot(const QString& name)
{
    const QString dir = qEnvironmentVariable("ZENT_SCREENSHOT_DIR");
    const QString display = qEnvironmentVariable("DISPLAY");
    if (dir.isEmpty() || display.isEmpty())
        return;
    QTest::qWait(300); // let the window system draw what the test just did
    QProcess::execute(QStringLiteral("ffmpeg"), {"-loglevel", "error", "-y", "-f", "x11grab", "-i", display,
                                                 "-frames:v", "1", dir + "/" + name + ".png"});
}
