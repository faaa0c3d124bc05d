#include "sitebook/recorderlistreader.h"

#include <QThread>

RecorderListReader::RecorderListReader(QObject* parent)
    : QObject(parent)
{}

RecorderListReader::~RecorderListReader()
{
    if (m_thread) {
        m_cancel = true;
        m_thread->wait();
        delete m_thread;
    }
}

void RecorderListReader::Start(const QString& fileName)
{
    if (m_thread)
        return;
    // The thread writes only m_error and m_rows, which are read after it has ended.
    m_thread = QThread::create(
        [this, fileName] { m_rows = ReadAndCheck(fileName, &m_error, [this] { return m_cancel.load(); }); });
    connect(m_thread, &QThread::finished, this, &RecorderListReader::OnThreadFinished, Qt::QueuedConnection);
    m_thread->start();
}

void RecorderListReader::OnThreadFinished()
{
    m_thread->wait();
    emit Finished();
}

std::vector<CheckedListRow> RecorderListReader::ReadAndCheck(const QString& fileName, QString* error,
                                                             const std::function<bool()>& stop)
{
    std::vector<RecorderListEntry> entries;
    // Only a name ending exactly in ".ini" is a list file; anything else is read as a workbook.
    if (fileName.endsWith(QLatin1String(".ini"), Qt::CaseSensitive)) {
        if (!RecorderListFile::ReadIniList(fileName, &entries)) {
            *error = QStringLiteral("the file cannot be opened");
            return {};
        }
    } else if (!RecorderListFile::ReadWorkbook(fileName, &entries)) {
        *error = QStringLiteral("it is not a workbook with a worksheet named \"%1\"")
                     .arg(QLatin1String(RecorderListFile::kSheetName));
        return {};
    }
    return RecorderListCheck::Check(entries, stop);
}
