#include "validation/validationnoticeview.h"

#include "core/clistmodel.h"
#include "validation/cnoticedlg.h"

#include <QHeaderView>
#include <QResizeEvent>
#include <QTableView>

ValidationNoticeView::ValidationNoticeView(QWidget* parent)
    : QWidget(parent)
    , m_table(new QTableView(this))
    , m_model(new CListModel(this))
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
}

void ValidationNoticeView::SetNoticeList(const QString& text)
{
    while (m_model->rowCount() > 0)
        m_model->removeRows(0, 1);
    m_rows = NoticeRows::Read(text, m_pageBase, &m_totalCount);
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
    m_table->setGeometry(QRect(QPoint(0, 0), event->size()));
    QWidget::resizeEvent(event);
}
