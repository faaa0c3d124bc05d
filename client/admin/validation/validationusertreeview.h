#pragma once
// The account tree of the validation console: accounts, groups, recorders and their camera and
// disk rows below the logged-in account, with the context menu of the logged-in account's role.
// Its commands go to the session, which changes the tree when the server has answered.
#include <QList>
#include <QModelIndex>
#include <QPersistentModelIndex>
#include <QTreeView>

class QMenu;
class ValidationHub;
class ValidationSession;

class ValidationUserTreeView : public QTreeView
{
    Q_OBJECT
public:
    ValidationUserTreeView(ValidationSession& session, ValidationHub& hub, QWidget* parent = nullptr);

    // Fills the menu for the node (the entries of the logged-in account's role); false when no
    // menu opens (not connected, no node, no record).
    bool BuildMenu(QMenu& menu, const QModelIndex& node);

    // The menu node the commands act on (set by BuildMenu).
    QModelIndex MenuIndex() const { return m_menuIndex; }
    // Reads the recorder list of an .xls workbook and adds it below the menu node; false (with
    // "Import file error" shown, nothing sent) when the file is not a readable list.
    bool ImportFile(const QString& path);
    // The next recorder whose name holds the text, from the position after `startRow`: selected
    // and shown; its position, -1 when there is none (the next search starts from the top).
    int FindDvr(const QString& name, int startRow);
    // The drop of the dragged node on the target: false (the tree unchanged, nothing sent) when
    // the move is not allowed.
    bool MoveNode(const QModelIndex& source, const QModelIndex& target);
    // The selection kept by Copy DVR.
    int CopiedDvrCount() const { return m_copiedDvrs; }

signals:
    // The console writes the exports.
    void ExportLogRequested(const QModelIndex& node);
    void DvrCheckRequested(const QModelIndex& node);
    void ChatRequested(const QModelIndex& node);

public slots:
    void customMenuRequested(const QPoint& point);
    void insertDvrExcel();
    void exportLog();
    void healthCheck();
    void chatStart();
    void OnAddGroup();
    void OnAddAccount();
    void OnAddDvr();
    void OnModifyItem();
    void OnDeleteItem();
    void OnSearchDvr();
    void OnCopyDvr();
    void OnPasteDvr();

protected:
    void startDrag(Qt::DropActions supportedActions) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void AddExports(QMenu& menu, const QString& type);

    ValidationSession& m_session;
    ValidationHub& m_hub;
    QPersistentModelIndex m_menuIndex;
    QPersistentModelIndex m_copiedIndex;
    QList<QPersistentModelIndex> m_copiedSelection;
    int m_copiedDvrs = 0;
    QPersistentModelIndex m_dragSource;
};
