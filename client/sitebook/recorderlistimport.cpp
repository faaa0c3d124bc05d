#include "sitebook/recorderlistimport.h"

#include <QFileInfo>
#include <QProgressDialog>
#include <QTimer>
#include <algorithm>

#include "sitebook/recorderlistreader.h"
#include "sitebook/sitebooklog.h"
#include "widgets/messagedlg.h"

RecorderListImport::RecorderListImport(QWidget* window, RecorderListTarget* target, const QString& fileName)
    : m_window(window)
    , m_target(target)
    , m_fileName(fileName)
    , m_reader(new RecorderListReader(this))
{
    connect(m_reader, &RecorderListReader::Finished, this, &RecorderListImport::OnRead);
}

RecorderListImport::~RecorderListImport()
{
    delete m_progress;
}

void RecorderListImport::Start()
{
    const QString file = QFileInfo(m_fileName).fileName();
    m_progress = new QProgressDialog(QStringLiteral("Reading %1 ...").arg(file), QStringLiteral("Cancel"), 0, 0,
                                     m_window);
    m_progress->setObjectName(QStringLiteral("importProgress"));
    m_progress->setWindowTitle(QStringLiteral("SiteBook"));
    // The book's window waits for the import: nothing in it changes under the rows meanwhile.
    m_progress->setWindowModality(Qt::WindowModal);
    m_progress->setMinimumDuration(kProgressDelayMs);
    m_progress->setAutoClose(false);
    m_progress->setAutoReset(false);
    connect(m_progress, &QProgressDialog::canceled, this, &RecorderListImport::Cancel);
    m_progress->setValue(0);
    qCDebug(lcSiteBook) << "import: reading" << m_fileName;
    m_reader->Start(m_fileName);
}

void RecorderListImport::Cancel()
{
    m_cancelled = true;
    m_reader->Cancel();
}

void RecorderListImport::OnRead()
{
    const QString error = m_reader->ReadError();
    if (!error.isEmpty()) {
        qCWarning(lcSiteBook) << "import:" << m_fileName << "not read:" << error;
        m_report.ReadFailed(error);
        Finish();
        return;
    }
    m_rows = m_reader->TakeRows();
    qCDebug(lcSiteBook) << "import:" << m_rows.size() << "rows read and checked";
    if (m_progress) {
        m_progress->setLabelText(QStringLiteral("Importing %1 ...").arg(QFileInfo(m_fileName).fileName()));
        m_progress->setRange(0, int(m_rows.size()));
    }
    ApplyBatch();
}

void RecorderListImport::ApplyBatch()
{
    m_target->BeginImportBatch();
    // After a cancel the rest is only counted, all at once.
    const std::size_t end = m_cancelled ? m_rows.size()
                                        : std::min(m_rows.size(), m_next + std::size_t(kRowsPerBatch));
    for (; m_next < end; ++m_next) {
        CheckedListRow& row = m_rows[m_next];
        if (m_cancelled && row.refusal == ListRowRefusal::None)
            row.refusal = ListRowRefusal::Cancelled;
        if (row.refusal != ListRowRefusal::None)
            m_report.Skipped(row);
        else
            m_target->ImportRow(row, &m_report);
    }
    if (m_next < m_rows.size()) {
        // A modal progress box handles the window's events inside setValue, so the next batch is
        // queued only after it: the rest follows after the window's pending events.
        if (m_progress)
            m_progress->setValue(int(m_next));
        QTimer::singleShot(0, this, &RecorderListImport::ApplyBatch);
        return;
    }
    Finish();
}

void RecorderListImport::Finish()
{
    if (!m_report.Failed())
        m_target->EndImport(m_report);
    delete m_progress;
    auto* box = new MessageDlg(m_window, MessageDlg::Fixed);
    box->setObjectName(QStringLiteral("importReport"));
    connect(box, &QDialog::finished, box, &QObject::deleteLater);
    box->SetText(QStringLiteral("SiteBook"), m_report.Text(m_fileName));
    box->show();
    emit Finished();
}
