#pragma once
// The recorder table both managers show: a ListModel of four columns (check box, "Site",
// "Network Address", "Status"), centred, that follows a ManagerRows list, in a table view of
// the managers' geometry and style. A click on a check box cell toggles the row.
#include <QObject>

class ListModel;
class ManagerRows;
class QModelIndex;
class QTableView;
class QWidget;

class ManagerTable : public QObject
{
    Q_OBJECT
public:
    ManagerTable(ManagerRows& rows, QWidget* parent);

    QTableView* View() const { return m_view; }
    ListModel* Model() const { return m_model; }

    void OnListClicked(const QModelIndex& index);

private:
    void OnRowAdded(int row);
    void OnRowChanged(int row);

    ManagerRows& m_rows;
    ListModel* m_model;
    QTableView* m_view;
};
