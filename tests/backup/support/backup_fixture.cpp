#include "backup/support/backup_fixture.h"

#include <QDir>
#include <QProcess>
#include <QTest>

#include "common/support/decoder_streams.h"
#include "session/moduledevice.h"
#include "session/sitebook.h"
#include "sitebook/entrymode.h"
#include "sitebook/sitebooktreewidget.h"

void BackupFixture::SetUp()
{
    ASSERT_TRUE(programDir.isValid());
    previousDir = QDir::currentPath();
    QDir::setCurrent(programDir.path());
    hub = std::make_unique<BackupTestHub>();
    tree = std::make_unique<SiteBookTreeWidget>();
}

void BackupFixture::TearDown()
{
    tree.reset();
    hub.reset();
    sims.clear();
    QDir::setCurrent(previousDir);
}

DvrSimProcess* BackupFixture::StartSim(const QStringList& options)
{
    const decoder_streams::Stream& footage = decoder_streams::Make(160, 120, 30, 10);
    EXPECT_TRUE(footage.error.isEmpty()) << footage.error.toStdString();
    if (!footage.error.isEmpty())
        return nullptr;
    auto sim = std::make_unique<DvrSimProcess>(QStringList{"--video", footage.path, "--fps", "10"} + options);
    QString error;
    const bool ok = sim->Start(&error);
    EXPECT_TRUE(ok) << error.toStdString();
    if (!ok)
        return nullptr;
    sims.push_back(std::move(sim));
    return sims.back().get();
}

CModuleDevice* BackupFixture::AddSimRecorder(const QString& name, int port)
{
    auto* record = new SiteBook;
    record->kind = QStringLiteral("device");
    record->name = name;
    record->addr = QStringLiteral("127.0.0.1");
    record->port = QString::number(port);
    record->id = QStringLiteral("admin");
    record->password = QStringLiteral("1234");
    CModuleDevice* device = tree->createTreeItem(nullptr, record, EntryMode::Recorder);
    device->setText(0, name);
    tree->AddRecorderChildren(device);
    return device;
}

bool BackupFixture::Connect(CModuleDevice* device, DvrSimProcess* sim)
{
    device->StartConnect(0);
    return WaitFor([&] { return device->IsLoggedIn() && sim->Messages(0x47).size() >= 2; });
}

bool BackupFixture::WaitFor(const std::function<bool()>& condition, int limitMs)
{
    return QTest::qWaitFor(condition, limitMs);
}

QString BackupFixture::ProgramPath(const QString& relative) const
{
    return programDir.path() + QLatin1Char('/') + relative;
}

QStringList ProbeStream(const QString& path)
{
    QProcess probe;
    probe.start(QStringLiteral("ffprobe"),
                {"-v", "error", "-f", "h264", "-show_entries", "stream=codec_name,width,height", "-of",
                 "default=noprint_wrappers=1", path});
    if (!probe.waitForFinished(30000))
        return {};
    return QString::fromUtf8(probe.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}
