#include "backup/support/backup_fixture_on.h"

#include <QDir>
#include <QProcess>
#include <QTest>

#include "common/support/decoder_streams.h"
#include "session/moduledevice.h"
#include "session/sitebook.h"

BackupFixtureBase::BackupFixtureBase() = default;

BackupFixtureBase::~BackupFixtureBase()
{
    if (BackupHostFactory::Instance() == &m_windows)
        BackupHostFactory::Install(m_previousWindows);
}

bool BackupFixtureBase::EnterProgramDirectory()
{
    return programDir.Enter();
}

void BackupFixtureBase::InstallWindowFactory()
{
    m_previousWindows = BackupHostFactory::Instance();
    BackupHostFactory::Install(&m_windows);
}

void BackupFixtureBase::DropRecorders()
{
    m_recorders.Clear();
}

void BackupFixtureBase::StopSimsAndLeave()
{
    if (BackupHostFactory::Instance() == &m_windows)
        BackupHostFactory::Install(m_previousWindows);
    sims.clear();
    programDir.Leave();
}

DvrSimProcess* BackupFixtureBase::StartSim(const QStringList& options)
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

RecorderSession* BackupFixtureBase::AddSimRecorder(const QString& name, int port)
{
    CModuleDevice* device = m_recorders.AddAt(name, port);
    device->setText(0, name);
    return device;
}

const SiteBook* BackupFixtureBase::RecordOf(RecorderSession* device)
{
    return SiteBook::FromItem(static_cast<CModuleDevice*>(device));
}

bool BackupFixtureBase::Connect(RecorderSession* device, DvrSimProcess* sim)
{
    device->StartConnect(0);
    return WaitFor([&] { return device->IsLoggedIn() && sim->Messages(0x47).size() >= 2; });
}

bool BackupFixtureBase::WaitFor(const std::function<bool()>& condition, int limitMs)
{
    return QTest::qWaitFor(condition, limitMs);
}

QString BackupFixtureBase::ProgramPath(const QString& relative) const
{
    return programDir.Path() + QLatin1Char('/') + relative;
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
