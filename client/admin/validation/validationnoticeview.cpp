#include "validation/validationnoticeview.h"

#include "core/clistmodel.h"
#include "validation/cnoticedlg.h"

#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QResizeEvent>
#include <QTableView>

namespace {
constexpr int kPageBarHeight = 28;
} // namespace

ValidationNoticeView::ValidationNoticeView(QWidget* parent)
    : QWidget(parent)
    , m_table(new QTableView(this))
    , m_model(new CListModel(this))
    , m_prev(new QPushButton(QStringLiteral("Prev"), this))
    , m_next(new QPushButton(QStringLiteral("Next"), this))
    , m_pageLabel(new QLabel(this))
{
    m_model->SetColumnCount(3);
    m_model->SetHeaderText(0, QStringLiteral("No."));
    m_model->SetHeaderText(1, QStringLiteral("Title"));
    m_model->SetHeaderText(2, QStringLiteral("DateTime"));
    m_table->setModel(m_model);
    m_table->setColumnWidth(0, 50);
    m_table->setColumnWidth(1, 540);
    m_table->setColumnWidth(2, 240);
    m_table->verticalHeader()->hide();
    m_table->setFrameShape(QFrame::Box);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    connect(m_table, &QAbstractItemView::doubleClicked, this, &ValidationNoticeView::OnDoubleClickedNotice);
    m_pageLabel->setAlignment(Qt::AlignCenter);
    connect(m_prev, &QPushButton::clicked, this, [this] { emit PageRequested(m_page - 1); });
    connect(m_next, &QPushButton::clicked, this, [this] { emit PageRequested(m_page + 1); });
    ShowPaging();
}

void ValidationNoticeView::ShowPaging()
{
    m_prev->setEnabled(m_page > 0);
    m_next->setEnabled(NoticeRows::HasNextPage(m_totalCount, m_page));
    m_pageLabel->setText(
        QStringLiteral("%1 / %2").arg(m_page + 1).arg(std::max(NoticeRows::PageCount(m_totalCount), m_page + 1)));
}

void ValidationNoticeView::SetNoticeList(const QString& text, int page)
{
    // A reply that never came whole leaves the page shown as it was, and says so.
    if (!NoticeRows::IsReply(text)) {
        m_pageLabel->setText(QStringLiteral("The notice list could not be read."));
        return;
    }
    while (m_model->rowCount() > 0)
        m_model->removeRows(0, 1);
    m_page = std::max(page, 0);
    m_rows = NoticeRows::ReadPage(text, m_page, &m_totalCount);
    ShowPaging();
    // Rows go in at the top: insert from the last so that the first notice ends on top.
    for (int i = m_rows.size() - 1; i >= 0; --i) {
        m_model->insertRows(0, 1);
        m_model->setData(m_model->index(0, 0), m_rows[i].number, Qt::DisplayRole);
        m_model->setData(m_model->index(0, 1), m_rows[i].title, Qt::DisplayRole);
        m_model->setData(m_model->index(0, 2), m_rows[i].dateTime, Qt::DisplayRole);
    }
}

void ValidationNoticeView::OnDoubleClickedNotice(const QModelIndex& index)
{
    if (!index.isValid() || index.row() >= m_rows.size())
        return;
    CNoticeDlg dialog(this);
    dialog.SetNotice(m_rows[index.row()].title, m_rows[index.row()].contents);
    dialog.setModal(true);
    dialog.exec();
}

void ValidationNoticeView::resizeEvent(QResizeEvent* event)
{
    // The table fills the view above the page bar.
    const QSize size = event->size();
    const int tableHeight = std::max(0, size.height() - kPageBarHeight);
    m_table->setGeometry(0, 0, size.width(), tableHeight);
    const int top = tableHeight + 2;
    const int button = 80;
    m_prev->setGeometry(0, top, button, kPageBarHeight - 4);
    m_next->setGeometry(std::max(0, size.width() - button), top, button, kPageBarHeight - 4);
    m_pageLabel->setGeometry(button, top, std::max(0, size.width() - 2 * button), kPageBarHeight - 4);
    QWidget::resizeEvent(event);
}
