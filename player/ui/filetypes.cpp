#include "ui/filetypes.h"
#include "ui/skinbitmaps.h"
#include "ui/uilog.h"

#include <QDir>
#include <QProcess>
#include <QSaveFile>
#include <QStandardPaths>

namespace {

bool WriteWhole(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        qCWarning(lcPlayerUi) << "cannot write" << path << file.errorString();
        return false;
    }
    return true;
}

// A path as the desktop entry's Exec key wants it: quoted, with its reserved characters escaped.
QString ExecArgument(const QString& path)
{
    QString escaped;
    for (const QChar c : path) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') || c == QLatin1Char('\\'))
            escaped += QLatin1String("\\\\");
        if (c == QLatin1Char('%'))
            escaped += QLatin1Char('%');
        escaped += c;
    }
    return QLatin1Char('"') + escaped + QLatin1Char('"');
}

} // namespace

QStringList FileTypes::RecordingGlobs()
{
    QStringList globs;
    for (int n = 0; n < 16; ++n) {
        const QString hex = QString::number(n, 16);
        const QString three = QStringLiteral("%1").arg(n + 1, 3, 10, QLatin1Char('0'));
        globs << QStringLiteral("x*.") + hex << QStringLiteral("s*.") + hex << QStringLiteral("h??????.") + three
              << QStringLiteral("ih??????.") + three << QStringLiteral("*.") + three + QStringLiteral("_hd");
    }
    return globs;
}

QString FileTypes::DesktopEntry(const QString& programPath)
{
    return QStringLiteral("[Desktop Entry]\n"
                          "Type=Application\n"
                          "Name=Orvane\n"
                          "GenericName=Backup Player\n"
                          "Comment=Plays recorded video from backups\n"
                          "Exec=%1 %f\n"
                          "Icon=orvane\n"
                          "Terminal=false\n"
                          "Categories=AudioVideo;Video;Player;\n"
                          "MimeType=%2;%3;\n")
        .arg(ExecArgument(programPath), QLatin1String(kListType), QLatin1String(kRecordingType));
}

QString FileTypes::MimePackage()
{
    QString xml = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                 "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
                                 "  <mime-type type=\"%1\">\n"
                                 "    <comment>Backup player list</comment>\n"
                                 "    <glob pattern=\"file.lst\" weight=\"60\"/>\n"
                                 "  </mime-type>\n"
                                 "  <mime-type type=\"%2\">\n"
                                 "    <comment>Recorded video</comment>\n")
                      .arg(QLatin1String(kListType), QLatin1String(kRecordingType));
    for (const QString& glob : RecordingGlobs())
        xml += QStringLiteral("    <glob pattern=\"%1\"/>\n").arg(glob);
    xml += QStringLiteral("  </mime-type>\n</mime-info>\n");
    return xml;
}

bool FileTypes::Register(const QString& dataFolder, const QString& programPath, bool refreshCache)
{
    const QDir data(dataFolder);
    const bool desktop = WriteWhole(data.filePath(QStringLiteral("applications/orvane.desktop")),
                                    DesktopEntry(programPath).toUtf8());
    const bool mime = WriteWhole(data.filePath(QStringLiteral("mime/packages/orvane.xml")),
                                 MimePackage().toUtf8());
    // The entry's icon, from the program's own picture.
    SkinBitmaps::Init();
    QFile icon(QStringLiteral(":/orvane/orvane.png"));
    if (icon.open(QIODevice::ReadOnly))
        WriteWhole(data.filePath(QStringLiteral("icons/hicolor/48x48/apps/orvane.png")), icon.readAll());
    if (mime && refreshCache) {
        const QString updater = QStandardPaths::findExecutable(QStringLiteral("update-mime-database"));
        if (!updater.isEmpty())
            QProcess::startDetached(updater, {data.filePath(QStringLiteral("mime"))});
    }
    return desktop && mime;
}

QString FileTypes::DefaultDataFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
}
