#pragma once
// "Account Manager": writes up to eight client accounts into the listed, checked recorders one
// after another. "Apply" asks for the accounts (CAccountInfo) and starts the run (AccountRun);
// during the run it reads "Stop". Closing the window says closed().
#include <QDialog>
#include <QPointer>

class AccountRun;
class CAccountInfo;
class ManagerRows;
class ManagerTable;
class ModalMessages;
class QModelIndex;
class QPushButton;
class QTreeWidgetItem;
class RecorderAdmin;

class CAccountManager : public QDialog
{
    Q_OBJECT
public:
    CAccountManager(RecorderAdmin& admin, ModalMessages& messages, QWidget* parent = nullptr);
    ~CAccountManager() override;

    void AddDvrList(QTreeWidgetItem* item);
    void AddRecorder(int recorderIndex);
    void SetAccountState(int recorderIndex, int code);

    ManagerRows& Rows() const { return *m_rows; }
    AccountRun& Run() const { return *m_run; }
    ManagerTable& Table() const { return *m_table; }
    QPushButton* StartButton() const { return m_start; }
    QPushButton* CloseButton() const { return m_close; }
    // The account dialog while it is open, else null.
    CAccountInfo* AccountDialog() const;

signals:
    void closed();

public slots:
    void OnListClicked(const QModelIndex& index);
    void OnClickedClose();
    void OnClickedStart();
    void SetConfigData();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void OnAccountsEntered(int result);
    void UpdateButtons();

    RecorderAdmin& m_admin;
    ModalMessages& m_messages;
    ManagerRows* m_rows;
    AccountRun* m_run;
    ManagerTable* m_table;
    QPushButton* m_start;
    QPushButton* m_close;
    QPointer<CAccountInfo> m_info;
};
