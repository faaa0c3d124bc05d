#pragma once
// "Firmware Manager": upgrades the firmware of the listed, checked recorders one after another
// with one package chosen by the user ("F/W Upgrade", which becomes "Stop" during a run), or
// checks them without an upload ("DVR Check"). The run itself is FirmwareRun; the window shows
// its rows, the current recorder's progress and the buttons' states. Closing the window says
// closed(); the main window forgets it then.
#include <QDialog>

class FirmwareRun;
class ManagerRows;
class ManagerTable;
class QModelIndex;
class QProgressBar;
class QPushButton;
class QTreeWidgetItem;
class RecorderAdmin;

class CFirmwareManager : public QDialog
{
    Q_OBJECT
public:
    CFirmwareManager(RecorderAdmin& admin, QWidget* parent = nullptr);
    ~CFirmwareManager() override;

    void AddDvrList(QTreeWidgetItem* item);
    void AddRecorder(int recorderIndex);
    void SetUpgradeState(int recorderIndex, int code);
    void SetProgress(int recorderIndex, qint64 done, qint64 total);
    // Starts an upgrade run with a package already chosen (what the file dialog ends in).
    void StartWithPackage(const QString& path);

    ManagerRows& Rows() const { return *m_rows; }
    FirmwareRun& Run() const { return *m_run; }
    ManagerTable& Table() const { return *m_table; }
    QPushButton* StartButton() const { return m_start; }
    QPushButton* CheckButton() const { return m_check; }
    QPushButton* CloseButton() const { return m_close; }
    QProgressBar* ProgressBar() const { return m_progress; }

signals:
    void closed();

public slots:
    void OnListClicked(const QModelIndex& index);
    void OnClickedClose();
    void OnClickedStart();
    void OnClickedCheck();
    // Starts the package upload to the recorder being worked on (the run does so 100 ms after
    // the recorder is ready).
    void SetConfigData();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void UpdateButtons();

    RecorderAdmin& m_admin;
    ManagerRows* m_rows;
    FirmwareRun* m_run;
    ManagerTable* m_table;
    QPushButton* m_start;
    QPushButton* m_check;
    QPushButton* m_close;
    QProgressBar* m_progress;
};
