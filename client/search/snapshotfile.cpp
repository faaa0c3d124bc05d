#include "search/snapshotfile.h"

#include "common/media/modulerecord.h"
#include "session/archivepaths.h"

namespace {

bool Number(const QString& text, int from, int length, int& value)
{
    if (from < 0 || from + length > text.size())
        return false;
    bool ok = false;
    value = text.mid(from, length).toInt(&ok);
    return ok;
}

} // namespace

bool SnapshotFile::ParseMoment(const QString& dateText, const QString& timeText, Moment& moment)
{
    return Number(dateText, dateText.size() - 4, 4, moment.year) && Number(dateText, 0, 2, moment.month)
           && Number(dateText, 3, 2, moment.day) && Number(timeText, 0, 2, moment.hour)
           && Number(timeText, 3, 2, moment.minute) && Number(timeText, 6, 2, moment.second);
}

QString SnapshotFile::StampText(const Moment& m)
{
    return QString::asprintf("%02d/%02d/%04d", m.month, m.day, m.year) + QLatin1Char('\n')
           + QString::asprintf("%02d:%02d:%02d", m.hour, m.minute, m.second);
}

QSize SnapshotFile::SavedSize(const QSize& picture)
{
    if (picture.width() > 2 * picture.height())
        return QSize(picture.width(), 2 * picture.height());
    return picture;
}

QString SnapshotFile::DayFolder(const QString& programDirectory, const QString& recorderName, const Moment& m)
{
    return ArchivePaths::RecorderFolder(programDirectory, QLatin1String(ArchivePaths::kSnapshotKind), recorderName)
           + QLatin1Char('/') + QString::asprintf("%04d%02d%02d", m.year, m.month, m.day);
}

QString SnapshotFile::FileName(const Moment& m, const QString& cameraName)
{
    const QString prefix = QString::asprintf("%02d%02d%02d_", m.hour, m.minute, m.second);
    return prefix + ModuleRecord::SafePathComponent(cameraName, ModuleRecord::kMaxNameBytes - prefix.size() - 4)
           + QStringLiteral(".jpg");
}
