#include "adminui/managertable.h"
#include "backup/listmodel.h"
#include "managers/managerrows.h"

#include <QHeaderView>
#include <QTableView>

namespace {
constexpr int kColumns = 4;
constexpr int kWidths[kColumns] = {20, 200, 200, 180};
} // namespace

ManagerTable::ManagerTable(ManagerRows& rows, QWidget* parent)
    : QObject(parent)
    , m_rows(rows)
    , m_model(new ListModel(this))
    , m_view(new QTableView(parent))
{
    m_model->SetColumnCount(kColumns);
    m_model->SetModelCount(kColumns);
    const QStringList headers{QString(), tr("Site"), tr("Network Address"), tr("Status")};
    for (int column = 0; column < kColumns; ++column) {
        m_model->SetHeaderText(column, headers.at(column));
        m_model->SetColumnAlignment(column, QVariant(int(Qt::AlignHCenter | Qt::AlignVCenter)));
    }
    m_view->setGeometry(10, 10, 629, 409);
    m_view->setStyleSheet(
        QStringLiteral("QWidget {selection-color:#d4e6ff;selection-background-color: #7ba5de;}"));
    m_view->setModel(m_model);
    m_view->verticalHeader()->hide();
    m_view->verticalHeader()->setDefaultSectionSize(20);
    m_view->setSelectionMode(QAbstractItemView::SingleSelection);
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    for (int column = 0; column < kColumns; ++column)
        m_view->setColumnWidth(column, kWidths[column]);

    connect(m_view, &QTableView::clicked, this, &ManagerTable::OnListClicked);
    connect(&rows, &ManagerRows::rowAdded, this, &ManagerTable::OnRowAdded);
    connect(&rows, &ManagerRows::rowChanged, this, &ManagerTable::OnRowChanged);
    for (int row = 0; row < rows.Count(); ++row)
        OnRowAdded(row);
}

void ManagerTable::OnListClicked(const QModelIndex& index)
{
    if (!index.isValid() || index.column() != 0)
        return;
    m_rows.Toggle(index.row());
}

void ManagerTable::OnRowAdded(int row)
{
    const int modelRow = m_model->AppendRow();
    if (modelRow != row)
        return;
    OnRowChanged(row);
}

void ManagerTable::OnRowChanged(int row)
{
    if (!m_rows.IsValid(row) || row >= m_model->rowCount())
        return;
    const ManagerRows::Row& data = m_rows.At(row);
    m_model->setData(m_model->index(row, 0), data.checked ? 2 : 0, Qt::CheckStateRole);
    m_model->SetText(row, 0, QString());
    m_model->SetText(row, 1, data.site);
    m_model->SetText(row, 2, data.address);
    m_model->SetText(row, 3, data.status);
}
