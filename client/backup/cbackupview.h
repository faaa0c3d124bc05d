#pragma once
// The "Remote Backup" window: one remote backup page. Closing it while a download runs only
// hides it (the download goes on); closing it when idle drops the page's recorder connection.
#include <QDialog>

class CDirectBackup;

class CBackupView : public QDialog
{
    Q_OBJECT
public:
    explicit CBackupView(QWidget* parent = nullptr);
    ~CBackupView() override;

    CDirectBackup* Page() const { return m_page; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    CDirectBackup* m_page = nullptr;
};
