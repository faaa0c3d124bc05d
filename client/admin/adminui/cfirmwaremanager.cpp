#include "adminui/cfirmwaremanager.h"
#include "adminui/managertable.h"
#include "managers/firmwarerun.h"
#include "managers/managerrows.h"
#include "managers/recorderadmin.h"

#include <QCloseEvent>
#include <QFileDialog>
#include <QIcon>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>

CFirmwareManager::CFirmwareManager(RecorderAdmin& admin, QWidget* parent)
    : QDialog(parent)
    , m_admin(admin)
    , m_rows(new ManagerRows(this))
    , m_run(new FirmwareRun(admin, *m_rows, this))
{
    setWindowTitle(tr("Firmware Manager"));
    setWindowIcon(QIcon(QStringLiteral(":/res/Resource/39.png")));
    setMinimumSize(640, 470);
    m_table = new ManagerTable(*m_rows, this);
    m_progress = new QProgressBar(this);
    m_progress->setGeometry(10, 430, 280, 24);
    m_progress->setRange(0, 100);
    m_progress->setValue(0);
    m_start = new QPushButton(tr("F/W Upgrade"), this);
    m_start->setGeometry(300, 430, 110, 28);
    m_check = new QPushButton(tr("DVR Check"), this);
    m_check->setGeometry(415, 430, 110, 28);
    m_close = new QPushButton(tr("Close"), this);
    m_close->setGeometry(530, 430, 105, 28);

    connect(m_start, &QPushButton::clicked, this, &CFirmwareManager::OnClickedStart);
    connect(m_check, &QPushButton::clicked, this, &CFirmwareManager::OnClickedCheck);
    connect(m_close, &QPushButton::clicked, this, &CFirmwareManager::OnClickedClose);
    connect(m_run, &FirmwareRun::busyChanged, this, &CFirmwareManager::UpdateButtons);
    connect(m_run, &FirmwareRun::progressChanged, m_progress, &QProgressBar::setValue);
    UpdateButtons();
}

CFirmwareManager::~CFirmwareManager() = default;

void CFirmwareManager::AddDvrList(QTreeWidgetItem* item)
{
    for (int index : m_admin.RecordersOfItem(item))
        AddRecorder(index);
}

void CFirmwareManager::AddRecorder(int recorderIndex)
{
    if (!m_admin.HasRecorder(recorderIndex))
        return;
    m_rows->Add(m_admin.RecorderName(recorderIndex), m_admin.RecorderAddress(recorderIndex), recorderIndex);
}

void CFirmwareManager::SetUpgradeState(int recorderIndex, int code)
{
    m_run->SetUpgradeState(recorderIndex, code);
}

void CFirmwareManager::SetProgress(int recorderIndex, qint64 done, qint64 total)
{
    m_run->SetProgress(recorderIndex, done, total);
}

void CFirmwareManager::OnListClicked(const QModelIndex& index)
{
    m_table->OnListClicked(index);
}

void CFirmwareManager::OnClickedClose()
{
    close();
}

void CFirmwareManager::OnClickedStart()
{
    if (m_run->IsBusy()) {
        m_run->Stop();
        return;
    }
    m_progress->setValue(0);
    if (!m_rows->AnyChecked())
        return;
    auto* dialog = new QFileDialog(this, tr("Firmware File"), m_admin.ProgramDirectory(),
                                   tr("Firmware Files (dvr_upgrade_*.zip);;All (*.*)"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setFileMode(QFileDialog::ExistingFile);
    connect(dialog, &QFileDialog::fileSelected, this, &CFirmwareManager::StartWithPackage);
    dialog->open();
}

void CFirmwareManager::StartWithPackage(const QString& path)
{
    if (!m_run->IsBusy() && !path.isEmpty())
        m_run->Start(path);
}

void CFirmwareManager::OnClickedCheck()
{
    m_run->Check();
}

void CFirmwareManager::SetConfigData()
{
    if (m_run->IsBusy() && m_rows->IsValid(m_run->Current()))
        m_admin.SetFirmwareData(m_rows->At(m_run->Current()).recorder);
}

void CFirmwareManager::UpdateButtons()
{
    const bool busy = m_run->IsBusy();
    const bool check = m_run->IsCheckRun();
    m_start->setText(busy && !check ? tr("Stop") : tr("F/W Upgrade"));
    m_start->setEnabled(!check);
    m_check->setEnabled(!busy);
    m_close->setEnabled(!busy);
    m_table->View()->setEnabled(!busy);
}

void CFirmwareManager::closeEvent(QCloseEvent* event)
{
    // A run keeps the window: its recorders still report to it.
    if (m_run->IsBusy()) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
    emit closed();
}
