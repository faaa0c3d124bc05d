#include "adminui/caccountmanager.h"
#include "adminui/caccountinfo.h"
#include "adminui/managertable.h"
#include "adminui/modalmessages.h"
#include "managers/accountrun.h"
#include "managers/managerrows.h"
#include "managers/recorderadmin.h"

#include <QCloseEvent>
#include <QIcon>
#include <QPushButton>
#include <QTableView>

CAccountManager::CAccountManager(RecorderAdmin& admin, ModalMessages& messages, QWidget* parent)
    : QDialog(parent)
    , m_admin(admin)
    , m_messages(messages)
    , m_rows(new ManagerRows(this))
    , m_run(new AccountRun(admin, *m_rows, this))
{
    setWindowTitle(tr("Account Manager"));
    setWindowIcon(QIcon(QStringLiteral(":/res/Resource/account.png")));
    setMinimumSize(640, 470);
    m_table = new ManagerTable(*m_rows, this);
    m_start = new QPushButton(tr("Apply"), this);
    m_start->setGeometry(415, 430, 110, 28);
    m_close = new QPushButton(tr("Close"), this);
    m_close->setGeometry(530, 430, 105, 28);
    connect(m_start, &QPushButton::clicked, this, &CAccountManager::OnClickedStart);
    connect(m_close, &QPushButton::clicked, this, &CAccountManager::OnClickedClose);
    connect(m_run, &AccountRun::busyChanged, this, &CAccountManager::UpdateButtons);
    UpdateButtons();
}

CAccountManager::~CAccountManager() = default;

CAccountInfo* CAccountManager::AccountDialog() const
{
    return m_info.data();
}

void CAccountManager::AddDvrList(QTreeWidgetItem* item)
{
    for (int index : m_admin.RecordersOfItem(item))
        AddRecorder(index);
}

void CAccountManager::AddRecorder(int recorderIndex)
{
    if (!m_admin.HasRecorder(recorderIndex))
        return;
    m_rows->Add(m_admin.RecorderName(recorderIndex), m_admin.RecorderAddress(recorderIndex), recorderIndex);
}

void CAccountManager::SetAccountState(int recorderIndex, int code)
{
    m_run->SetAccountState(recorderIndex, code);
}

void CAccountManager::OnListClicked(const QModelIndex& index)
{
    m_table->OnListClicked(index);
}

void CAccountManager::OnClickedClose()
{
    close();
}

void CAccountManager::OnClickedStart()
{
    if (m_run->IsBusy()) {
        m_run->Stop();
        return;
    }
    if (m_info)
        return;
    // Accounts typed in for no recorder would go nowhere: say so before asking for them.
    if (!m_rows->AnyChecked()) {
        m_messages.ShowModalMessage(tr("Account Manager"), tr("No recorder selected."));
        return;
    }
    m_info = new CAccountInfo(m_messages, this);
    m_info->setAttribute(Qt::WA_DeleteOnClose);
    connect(m_info, &QDialog::finished, this, &CAccountManager::OnAccountsEntered);
    m_info->open();
}

void CAccountManager::OnAccountsEntered(int result)
{
    if (!m_info || result != QDialog::Accepted)
        return;
    m_run->Start(m_info->Accounts());
}

void CAccountManager::SetConfigData()
{
    if (m_run->IsBusy() && m_rows->IsValid(m_run->Current()))
        m_admin.SetConfigData(m_rows->At(m_run->Current()).recorder);
}

void CAccountManager::UpdateButtons()
{
    const bool busy = m_run->IsBusy();
    m_start->setText(busy ? tr("Stop") : tr("Apply"));
    m_close->setEnabled(!busy);
    m_table->View()->setEnabled(!busy);
}

void CAccountManager::closeEvent(QCloseEvent* event)
{
    if (m_run->IsBusy()) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
    emit closed();
}
