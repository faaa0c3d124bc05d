#include "shell/settingsfiles.h"
#include "common/io/privatefile.h"
#include "shell/shelllog.h"

#include <QByteArray>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStringList>

namespace {
constexpr qint64 kOsdReadLimit = 4096;
// account.dat holds nine short lines; more is not read.
constexpr qint64 kAccountReadLimit = 4096;
// Server login fields that an empty text turns into "none", and those it turns into "0".
constexpr int kNoneFields[] = {0, 1, 2, 3, 4};
constexpr int kZeroFields[] = {7, 8};
// The lines of account.dat: login fields by index, -1 for a fixed "0".
constexpr int kAccountLines[] = {2, 3, 4, -1, -1, 7, 0, 1, 8};

bool WriteWhole(const QString& path, const QByteArray& text)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text) || file.write(text) != text.size() || !file.commit()) {
        qCWarning(lcShell) << "SettingsFiles: cannot write" << file.fileName() << file.errorString();
        return false;
    }
    return true;
}
} // namespace

QString SettingsFiles::WorkingDirectory()
{
    QString directory = QDir::currentPath();
    while (directory.size() > 1 && directory.endsWith(QLatin1Char('/')))
        directory.chop(1);
    return directory;
}

SettingsFiles::SettingsFiles(const QString& programDirectory)
    : m_programDirectory(programDirectory)
{}

QString SettingsFiles::FilePath(const QString& fileName) const
{
    return m_programDirectory + QLatin1Char('/') + fileName;
}

// ---------------------------------------------------------------------------------------------
// osd.dat

void SettingsFiles::ReadOsdFile()
{
    m_osdFlags.SetAll(1);
    QFile file(FilePath(QStringLiteral("osd.dat")));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return;
    // Six short words; whatever follows them is never looked at.
    const QString text = QString::fromUtf8(file.read(kOsdReadLimit));
    const QStringList words = text.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
    for (int i = 0; i < OsdFlags::kCount; ++i) {
        if (i >= words.size() || words.at(i) != QLatin1String("1"))
            m_osdFlags.Set(OsdFlags::kAll[size_t(i)], 0);
    }
}

bool SettingsFiles::SaveOsdFile() const
{
    QByteArray text;
    for (OsdFlag flag : OsdFlags::kAll)
        text += (m_osdFlags.Get(flag) == 1) ? "1\n" : "0\n";
    return WriteWhole(FilePath(QStringLiteral("osd.dat")), text);
}

// ---------------------------------------------------------------------------------------------
// smtp.dat

void SettingsFiles::LoadSmtp()
{
    m_smtp = SmtpSettingsFile::Read(FilePath(QStringLiteral("smtp.dat")));
}

// ---------------------------------------------------------------------------------------------
// account.dat

QString SettingsFiles::GetServerLogin(int field) const
{
    if (field < 0 || field >= kServerLoginFields)
        return QString();
    return m_serverLogin[size_t(field)];
}

void SettingsFiles::SetServerLogin(int field, const QString& value)
{
    if (field < 0 || field >= kServerLoginFields)
        return;
    m_serverLogin[size_t(field)] = value;
}

void SettingsFiles::FillEmptyServerLogin()
{
    for (int field : kNoneFields) {
        if (m_serverLogin[size_t(field)].isEmpty())
            m_serverLogin[size_t(field)] = QStringLiteral("none");
    }
    for (int field : kZeroFields) {
        if (m_serverLogin[size_t(field)].isEmpty())
            m_serverLogin[size_t(field)] = QStringLiteral("0");
    }
}

void SettingsFiles::ReadAccountFile()
{
    QFile file(FilePath(QStringLiteral("account.dat")));
    if (!file.open(QIODevice::ReadOnly))
        return;
    const QList<QByteArray> lines = file.read(kAccountReadLimit).split('\n');
    for (size_t line = 0; line < std::size(kAccountLines); ++line) {
        const int field = kAccountLines[line];
        if (field >= 0 && int(line) < lines.size())
            m_serverLogin[size_t(field)] = QString::fromUtf8(lines.at(int(line))).trimmed();
    }
}

bool SettingsFiles::SaveAccountFile()
{
    FillEmptyServerLogin();
    QByteArray text;
    for (int field : kAccountLines) {
        const QString line = field < 0 ? QStringLiteral("0") : m_serverLogin[size_t(field)];
        // A line break inside a value would move every later value to the wrong line.
        if (line.contains(QLatin1Char('\n')) || line.contains(QLatin1Char('\r'))) {
            qCWarning(lcShell)
                << "SettingsFiles: a server login value holds a line break; account.dat is not written";
            return false;
        }
        text += line.toUtf8() + '\n';
    }
    // The server login holds a password: readable by the owner only.
    const QString path = FilePath(QStringLiteral("account.dat"));
    QString error;
    if (!privatefile::Write(path, text, &error)) {
        qCWarning(lcShell) << "SettingsFiles: cannot write" << path << error;
        return false;
    }
    return true;
}

// ---------------------------------------------------------------------------------------------
// Style sheets

QString SettingsFiles::ReadStyleSheet(const QString& name) const
{
    return ReadStyleSheetIn(m_programDirectory, name);
}

QString SettingsFiles::ReadStyleSheetIn(const QString& folder, const QString& name)
{
    QFile file(folder + QStringLiteral("/qss/") + name.toLower() + QStringLiteral(".qss"));
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromLatin1(file.readAll());
}
