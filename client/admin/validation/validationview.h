#pragma once
// The validation console: the account tree, the monitoring list, the notices and the event log
// in four tabs, and the validation server's state. The session does the work; this window shows
// it. Hidden until the first login succeeds.
#include <QDialog>

class QLabel;
class QPushButton;
class QTabWidget;
class QTreeView;
class QModelIndex;
class TreeModel;
class ValidationChat;
class ValidationEventRows;
class ValidationHub;
class ValidationNoticeView;
class ValidationSession;
class ValidationUserTreeView;

class ValidationView : public QDialog
{
    Q_OBJECT
public:
    ValidationView(ValidationSession& session, ValidationHub& hub, QWidget* parent = nullptr);
    ~ValidationView() override;

    // A row at the top of the event log (today's date and the time now).
    void AddEventLog(const QString& name, const QString& text);
    // Opens the chat with the node (the logged-in account's own node: with its parent).
    void ChatStart(const QModelIndex& index);
    ValidationChat* Chat() const { return m_chat; }

    ValidationUserTreeView* Tree() const { return m_tree; }
    ValidationNoticeView* Notices() const { return m_notices; }
    QTabWidget* Tabs() const { return m_tabs; }
    QPushButton* OpenLogButton() const { return m_openLog; }
    QLabel* StatusIcon() const { return m_statusIcon; }
    TreeModel* EventModel() const { return m_eventModel; }
    TreeModel* MonitoringModel() const { return m_monitoringModel; }

    // The exports of a node to a chosen file; false (and the reason shown) when the file could
    // not be written.
    bool ExportLogTo(const QModelIndex& node, const QString& path);
    bool ExportDvrCheckTo(const QModelIndex& node, const QString& path);

public slots:
    void OnSelectTab(int index);
    void onOpenLogClicked();
    void OnServerMessage();
    void OnSendEmail();
    void OnExportLogStart(const QModelIndex& node);
    void OnDvrCheckStart(const QModelIndex& node);

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void SetTabs(bool admin);
    void SetStatusIcon(bool connected);
    QWidget* Page(QWidget* content);
    QString ChooseExportFile(const QString& title, const QString& proposed, const QString& filter);
    bool WriteExport(const QString& path, const QByteArray& data);

    ValidationSession& m_session;
    ValidationHub& m_hub;
    QTabWidget* m_tabs;
    ValidationUserTreeView* m_tree;
    TreeModel* m_monitoringModel;
    TreeModel* m_eventModel;
    ValidationEventRows* m_monitoringRows;
    ValidationEventRows* m_eventRows;
    QTreeView* m_monitoring;
    QWidget* m_monitoringPage;
    ValidationNoticeView* m_notices;
    QPushButton* m_openLog;
    QLabel* m_statusIcon;
    ValidationChat* m_chat;
    bool m_showingMessage = false;
};
