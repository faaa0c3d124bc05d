#include "shell/support/mainwin_fixture.h"
#include "shell/support/composedwindow.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QSet>

#include "shell/support/shell_hubfixture.h"
#include "widgets/messagedlg.h"

void MainWinTest::SetUp()
{
    ASSERT_TRUE(programDir.isValid());
    m_previousDir = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(programDir.path()));
}

void MainWinTest::TearDown()
{
    StopHub();
    QDir::setCurrent(m_previousDir);
}

void MainWinTest::WatchBoxes(const std::function<void()>& step)
{
    // By the watcher's id: a new box may take the address of one already gone.
    QSet<int> seen;
    BoxWatcher watcher([&](MessageDlg* box, const BoxSample& sample) {
        if (seen.contains(sample.id))
            return;
        seen.insert(sample.id);
        boxes << sample.title + QLatin1Char('|') + sample.text;
        box->done(0);
    });
    step();
}

void MainWinTest::StartHub()
{
    WatchBoxes([this] { hub = std::make_unique<ComposedWindow<MainWindow>>(); });
    HoldProcessorLoadOff(*hub);
}

void MainWinTest::StopHub()
{
    if (!hub)
        return;
    WatchBoxes([this] { hub.reset(); });
}

QString MainWinTest::Path(const QString& name) const
{
    return programDir.path() + QLatin1Char('/') + name;
}

void MainWinTest::WriteFile(const QString& name, const QByteArray& bytes) const
{
    const QString path = Path(name);
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << qPrintable(path);
    ASSERT_EQ(file.write(bytes), bytes.size());
}

QByteArray MainWinTest::ReadFile(const QString& name) const
{
    QFile file(Path(name));
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}

bool MainWinTest::FileExists(const QString& name) const
{
    return QFile::exists(Path(name));
}

QStringList MainWinDockTitles()
{
    return {QStringLiteral("SiteBook"), QStringLiteral("Screen Split"), QStringLiteral("Adjust"),
            QStringLiteral("P/T/Z"),    QStringLiteral("Alarm Out"),    QStringLiteral("MicroPhone"),
            QStringLiteral("Playback")};
}
