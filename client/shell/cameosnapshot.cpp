#include "shell/cameosnapshot.h"

#include <QBuffer>
#include <QDate>
#include <QDir>
#include <QImageWriter>
#include <QPainter>
#include <QSaveFile>
#include <QTime>

#include "common/media/modulerecord.h"
#include "session/archivepaths.h"
#include "shell/shelllog.h"

#include <cerrno>

namespace {

struct DateParts
{
    int year;
    int month;
    int day;
};

struct TimeParts
{
    int hour;
    int minute;
    int second;
};

DateParts SplitDate(int date)
{
    const int year = date / 10000;
    const int month = (date - year * 10000) / 100;
    return {year, month, date - (year * 100 + month) * 100};
}

TimeParts SplitTime(int time)
{
    const int hour = time / 10000;
    const int minute = (time - hour * 10000) / 100;
    return {hour, minute, time - (hour * 100 + minute) * 100};
}

// The four texts, first as a black shadow one pixel down and right, then in white.
void DrawTexts(QPainter& painter, const CameoSnapshot::Cell& cell, int width, int height)
{
    const QString camera = CameoSnapshot::CameraText(cell.cell, cell.cameraTitle);
    const QString dateTime = CameoSnapshot::DateText(cell.osdDate) + QLatin1Char('\n')
                             + CameoSnapshot::TimeText(cell.osdTime);
    const QString event = CameoSnapshot::EventText(cell.videoLoss, cell.sensor, cell.motion);
    const auto draw = [&](const QRect& area) {
        painter.drawText(area, Qt::AlignLeft | Qt::AlignTop, camera);
        painter.drawText(area, Qt::AlignRight | Qt::AlignTop, dateTime);
        painter.drawText(area, Qt::AlignLeft | Qt::AlignBottom, cell.recorderName);
        painter.drawText(area, Qt::AlignCenter, event);
    };
    painter.setPen(Qt::black);
    draw(QRect(QPoint(5, 5), QPoint(width - 6, height - 6)));
    painter.setPen(Qt::white);
    draw(QRect(QPoint(4, 4), QPoint(width - 6, height - 6)));
}

} // namespace

QString CameoSnapshot::CameraText(int cell, const QString& cameraTitle)
{
    return QString::asprintf("%02d ", cell + 1) + cameraTitle;
}

QString CameoSnapshot::DateText(int date)
{
    const DateParts d = SplitDate(date);
    return QString::asprintf("%02d/%02d/%04d", d.month, d.day, d.year);
}

QString CameoSnapshot::TimeText(int time)
{
    const TimeParts t = SplitTime(time);
    return QString::asprintf("%02d:%02d:%02d", t.hour, t.minute, t.second);
}

QString CameoSnapshot::DateFolder(int date)
{
    const DateParts d = SplitDate(date);
    return QString::asprintf("%04d%02d%02d", d.year, d.month, d.day);
}

QString CameoSnapshot::FilePrefix(int time)
{
    const TimeParts t = SplitTime(time);
    return QString::asprintf("%02d%02d%02d_", t.hour, t.minute, t.second);
}

QString CameoSnapshot::EventText(bool videoLoss, bool sensor, bool motion)
{
    if (videoLoss)
        return QStringLiteral("Video loss");
    QString text;
    if (sensor)
        text = QStringLiteral("Sensor");
    if (motion)
        text += text.isEmpty() ? QStringLiteral("Motion") : QStringLiteral(" & Motion");
    return text;
}

bool CameoSnapshot::CanTake(const Cell& cell)
{
    if (cell.picture.isNull() || cell.osdDate <= 0 || cell.osdTime < 0)
        return false;
    const DateParts d = SplitDate(cell.osdDate);
    const TimeParts t = SplitTime(cell.osdTime);
    return QDate(d.year, d.month, d.day).isValid() && QTime(t.hour, t.minute, t.second).isValid();
}

QImage CameoSnapshot::Render(const Cell& cell, const QFont& font)
{
    QImage picture = cell.picture;
    int width = picture.width();
    int height = picture.height();
    if (width > 2 * height) {
        height *= 2;
        picture = picture.scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    QImage out(width, height, QImage::Format_RGB32);
    out.fill(Qt::black);
    QPainter painter(&out);
    painter.drawImage(0, 0, picture);
    painter.setFont(font);
    DrawTexts(painter, cell, width, height);
    painter.end();
    return out;
}

QString CameoSnapshot::Folder(const QString& programDirectory, const QString& recorderName, int date)
{
    return ArchivePaths::RecorderFolder(programDirectory, QLatin1String(ArchivePaths::kSnapshotKind), recorderName)
           + QLatin1Char('/') + DateFolder(date);
}

QString CameoSnapshot::FilePath(const QString& programDirectory, const Cell& cell)
{
    return Folder(programDirectory, cell.recorderName, cell.osdDate) + QLatin1Char('/')
           + ModuleRecord::SafePathComponent(FilePrefix(cell.osdTime) + cell.cameraTitle,
                                             ModuleRecord::kMaxNameBytes - 4)
           + QStringLiteral(".jpg");
}

QString CameoSnapshot::Save(const QString& programDirectory, const Cell& cell, const QFont& font, QString* error)
{
    if (!CanTake(cell)) {
        qCDebug(lcShell) << "snapshot: no picture with a date and time in cell" << cell.cell;
        return QString();
    }
    const QString folder = Folder(programDirectory, cell.recorderName, cell.osdDate);
    if (!QDir().mkpath(folder)) {
        qCWarning(lcShell) << "snapshot: cannot create" << folder;
        if (error)
            *error = QStringLiteral("The snapshot folder %1 could not be created.")
                         .arg(QDir::toNativeSeparators(folder));
        return QString();
    }
    const QString path = FilePath(programDirectory, cell);
    // The picture is made in memory first: the image writer does not notice a write that takes
    // only part of its bytes.
    QByteArray bytes;
    {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QImageWriter writer(&buffer, "jpeg");
        if (!writer.write(Render(cell, font))) {
            qCWarning(lcShell) << "snapshot: cannot encode" << path << writer.errorString();
            if (error)
                *error = QStringLiteral("The snapshot %1 could not be made (%2).")
                             .arg(QDir::toNativeSeparators(path), writer.errorString());
            return QString();
        }
    }
    QSaveFile file(path);
    bool written = file.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    // Written until every byte landed: a disk that fills up takes part of a write, and only the
    // next one names the reason.
    for (qint64 done = 0; written && done < bytes.size();) {
        const qint64 n = file.write(bytes.constData() + done, bytes.size() - done);
        written = n > 0;
        done += qMax<qint64>(n, 0);
    }
    // The reason is taken before cancelling, which words its own.
    QString reason = file.errorString();
    if (!written)
        file.cancelWriting();
    // commit() renames the whole file into place; on failure it removes the temporary file.
    if (!written || !file.commit()) {
        if (written)
            reason = file.errorString();
        if (reason == qt_error_string(ENOSPC))
            reason = QStringLiteral("the disk is full");
        qCWarning(lcShell) << "snapshot: cannot write" << path << reason;
        if (error)
            *error = QStringLiteral("The snapshot %1 could not be written (%2).")
                         .arg(QDir::toNativeSeparators(path), reason);
        return QString();
    }
    return path;
}
