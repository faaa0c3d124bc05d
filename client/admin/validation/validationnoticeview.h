#pragma once
// The console's list of notices: number, title and local date and time, one page of 30 at a time
// with "Prev" and "Next" below; a double click opens the notice in its pop-up.
#include "validation/noticerows.h"

#include <QWidget>

class CListModel;
class QLabel;
class QModelIndex;
class QPushButton;
class QTableView;

class ValidationNoticeView : public QWidget
{
    Q_OBJECT
public:
    explicit ValidationNoticeView(QWidget* parent = nullptr);

    // Fills the list from the reply to the request for `page`.
    void SetNoticeList(const QString& text, int page = 0);
    CListModel* Model() const { return m_model; }
    QTableView* Table() const { return m_table; }
    QPushButton* PrevButton() const { return m_prev; }
    QPushButton* NextButton() const { return m_next; }
    QLabel* PageLabel() const { return m_pageLabel; }
    int Page() const { return m_page; }

signals:
    // The user asks for another page; the console sends the request.
    void PageRequested(int page);

public slots:
    void OnDoubleClickedNotice(const QModelIndex& index);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void ShowPaging();

    QTableView* m_table;
    CListModel* m_model;
    QPushButton* m_prev;
    QPushButton* m_next;
    QLabel* m_pageLabel;
    QVector<NoticeRows::Row> m_rows;
    int m_totalCount = 0;
    int m_page = 0;
};
