#pragma once
// The console's list of notices: number, title and local date and time; a double click opens
// the notice in its pop-up.
#include "validation/noticerows.h"

#include <QWidget>

class CListModel;
class QModelIndex;
class QTableView;

class ValidationNoticeView : public QWidget
{
    Q_OBJECT
public:
    explicit ValidationNoticeView(QWidget* parent = nullptr);

    // Fills the list from the notice list reply.
    void SetNoticeList(const QString& text);
    CListModel* Model() const { return m_model; }
    QTableView* Table() const { return m_table; }

public slots:
    void OnDoubleClickedNotice(const QModelIndex& index);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QTableView* m_table;
    CListModel* m_model;
    QVector<NoticeRows::Row> m_rows;
    int m_totalCount = 0;
    int m_pageBase = 0;
};
