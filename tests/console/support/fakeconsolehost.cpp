#include "console/support/fakeconsolehost.h"

#include <QFile>

FakeConsoleHost::FakeConsoleHost() = default;

bool FakeConsoleHost::RecorderExists(int index) const
{
    return index == recorder;
}

void FakeConsoleHost::StartConnect(int, int option)
{
    calls << QStringLiteral("connect %1").arg(option);
}

void FakeConsoleHost::SendMousePos(int, int x, int y, int button, int extra)
{
    calls << QStringLiteral("mouse %1 %2 %3 %4").arg(x).arg(y).arg(button).arg(extra);
}

void FakeConsoleHost::RequestConsoleData(int, int value)
{
    calls << QStringLiteral("data %1").arg(value);
}

void FakeConsoleHost::SendConsoleMode(int, int mode)
{
    calls << QStringLiteral("mode %1").arg(mode);
}

QImage FakeConsoleHost::GetChannelImage(int, int) const
{
    return channelPicture;
}

QByteArray FakeConsoleHost::ConsoleLayoutText(int, int size) const
{
    return layout.left(size);
}

void FakeConsoleHost::ShowMessageBox(const QString& title, const QString& text, const QString& option)
{
    boxes << title + QLatin1Char('|') + text + QLatin1Char('|') + option;
}

void FakeConsoleHost::ShowModalMessage(const QString& title, const QString& text)
{
    modal << title + QLatin1Char('|') + text;
}

QPixmap FakeConsoleHost::LoadDeviceImage(const QString& name, int folder, int index) const
{
    const_cast<FakeConsoleHost*>(this)->skinRequests
        << QStringLiteral("%1 %2 %3").arg(name).arg(folder).arg(index);
    if (name != QLatin1String("logo"))
        return QPixmap();
    // Magenta frame around a green middle: the frame becomes transparent.
    QImage picture(8, 8, QImage::Format_RGB32);
    picture.fill(QColor(255, 0, 255));
    for (int y = 2; y < 6; ++y)
        for (int x = 2; x < 6; ++x)
            picture.setPixel(x, y, qRgb(0, 200, 0));
    return QPixmap::fromImage(picture);
}

void FakeConsoleHost::StartAudioOutput()
{
    calls << QStringLiteral("audio start");
}

void FakeConsoleHost::StopAudioOutput()
{
    calls << QStringLiteral("audio stop");
}

QString FakeConsoleHost::ProgramDirectory() const
{
    return m_dir.path();
}

void FakeConsoleHost::CloseConfigView(int)
{
    ++closed;
}

void FakeConsoleHost::WriteSettings(const QString& reboot) const
{
    QFile file(m_dir.path() + QStringLiteral("/config.ini"));
    file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    file.write("[CLIENT_NETWORK]\ncsConfig=1\n");
    if (!reboot.isEmpty())
        file.write("csReboot=" + reboot.toLatin1() + "\n");
}
