#include "common/media/muxtempfiles.h"

#include "common/commonlog.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QUuid>

#include <cerrno>
#include <csignal>

namespace {

const QString kUuid = QStringLiteral("[0-9a-f]{8}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{12}");

// This build's names; the process id is the first capture.
const QRegularExpression& TaggedName()
{
    static const QRegularExpression re(QStringLiteral("^(?:.+\\.)?%1-([0-9]{1,10})-%2\\.(?:264|aac|part)$")
                                           .arg(QLatin1String(MuxTempFiles::kMarker), kUuid));
    return re;
}

// What older builds left: "<uuid>.264", "<uuid>.aac" and "<output>.<uuid>.part".
const QRegularExpression& UntaggedName()
{
    static const QRegularExpression re(QStringLiteral("^(?:%1\\.(?:264|aac)|.+\\.%1\\.part)$").arg(kUuid));
    return re;
}

} // namespace

MuxTempFiles::MuxTempFiles()
    : m_tag(QStringLiteral("%1-%2-%3")
                .arg(QLatin1String(kMarker))
                .arg(QCoreApplication::applicationPid())
                .arg(QUuid::createUuid().toString(QUuid::WithoutBraces)))
{}

QString MuxTempFiles::ProbePath(const QString& folder, const QString& extension) const
{
    return folder + QLatin1Char('/') + m_tag + QLatin1Char('.') + extension;
}

QString MuxTempFiles::PartPath(const QString& outputPath) const
{
    return outputPath + QLatin1Char('.') + m_tag + QStringLiteral(".part");
}

bool MuxTempFiles::ProcessExists(qint64 processId)
{
    if (processId <= 0 || processId > 0x7FFFFFFF)
        return false;
    // Signal 0 only asks; EPERM means the process is there but not ours.
    return ::kill(static_cast<pid_t>(processId), 0) == 0 || errno == EPERM;
}

int MuxTempFiles::RemoveStale(const QString& folder, const std::function<bool(qint64)>& exists)
{
    const qint64 self = QCoreApplication::applicationPid();
    int removed = 0;
    const QStringList names = QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& name : names) {
        bool stale = UntaggedName().match(name).hasMatch();
        const QRegularExpressionMatch tagged = TaggedName().match(name);
        if (tagged.hasMatch()) {
            const qint64 owner = tagged.captured(1).toLongLong();
            stale = owner != self && !exists(owner);
        }
        if (!stale)
            continue;
        if (QFile::remove(folder + QLatin1Char('/') + name)) {
            qCDebug(lcMedia) << "removed a killed conversion's temporary" << name;
            ++removed;
        } else {
            qCWarning(lcMedia) << "cannot remove a killed conversion's temporary" << name;
        }
    }
    return removed;
}
