#pragma once
// The event query panel: "Query" and "Next Query" over a list of events. It belongs to the
// recorder search, which needs a recorder connection; the main dialog keeps it hidden and its
// buttons have nothing to query.
#include <QWidget>

class QPushButton;
class QTreeWidget;

class CSearchEvent : public QWidget
{
    Q_OBJECT
public:
    static constexpr QPoint kPlace{14, 635};
    static constexpr QSize kSize{716, 119};

    explicit CSearchEvent(QWidget* parent = nullptr);

    QPushButton* QueryButton() const { return m_query; }
    QPushButton* NextQueryButton() const { return m_next; }
    QTreeWidget* List() const { return m_list; }

private:
    QPushButton* m_query;
    QPushButton* m_next;
    QTreeWidget* m_list;
};
