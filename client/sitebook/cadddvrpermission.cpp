#include "sitebook/cadddvrpermission.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
constexpr int kColumns = 8;
} // namespace

CAddDvrPermission::CAddDvrPermission(QWidget* parent)
    : CPopupDialog(parent)
{
    setWindowTitle(QStringLiteral("Permission"));
    setStyleSheet(QStringLiteral("QPushButton {min-width : 100px;}"));
    auto* column = new QVBoxLayout(this);
    const char* titles[Rights] = {"Live Permission", "Search Permission", "PTZ Permission", "Backup Permission"};
    void (CAddDvrPermission::*allSlots[Rights])() = {
        &CAddDvrPermission::onCheckLive, &CAddDvrPermission::onCheckSearch, &CAddDvrPermission::onCheckPTZ,
        &CAddDvrPermission::onCheckBackup};
    for (int right = 0; right < Rights; ++right) {
        auto* group = new QGroupBox(QLatin1String(titles[right]), this);
        auto* grid = new QGridLayout(group);
        m_all[right] = new QCheckBox(QStringLiteral("ALL"), group);
        grid->addWidget(m_all[right], 0, 0);
        for (int channel = 0; channel < ChannelRights::kChannels; ++channel) {
            auto* box = new QCheckBox(QStringLiteral("%1 ").arg(channel + 1, 2, 10, QLatin1Char('0')), group);
            grid->addWidget(box, 1 + channel / kColumns, channel % kColumns);
            m_channels[right][channel] = box;
        }
        connect(m_all[right], &QCheckBox::clicked, this, allSlots[right]);
        column->addWidget(group);
    }
    auto* configGroup = new QGroupBox(QStringLiteral("Config Permission"), this);
    auto* configRow = new QHBoxLayout(configGroup);
    m_remoteConfig = new QCheckBox(QStringLiteral("Remote Config"), configGroup);
    configRow->addWidget(m_remoteConfig);
    column->addWidget(configGroup);

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("okButton"));
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("cancelButton"));
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    column->addLayout(buttons);
    connect(ok, &QPushButton::clicked, this, &CAddDvrPermission::onOKButtonClicked);
    connect(cancel, &QPushButton::clicked, this, &CAddDvrPermission::onCancelButtonClicked);
    SetPermission(live, ptz, search, backup, config);
}

void CAddDvrPermission::ShowMask(Right right, int mask)
{
    const ChannelRights::Checks checks = ChannelRights::ChecksOf(mask);
    for (int channel = 0; channel < ChannelRights::kChannels; ++channel)
        m_channels[right][channel]->setChecked(checks[channel]);
    m_all[right]->setChecked(ChannelRights::IsAll(mask));
}

int CAddDvrPermission::MaskOf(Right right) const
{
    ChannelRights::Checks checks{};
    for (int channel = 0; channel < ChannelRights::kChannels; ++channel)
        checks[channel] = m_channels[right][channel]->isChecked();
    return ChannelRights::MaskOf(checks);
}

void CAddDvrPermission::SetPermission(int liveMask, int ptzMask, int searchMask, int backupMask, int configFlag)
{
    ShowMask(Live, liveMask);
    ShowMask(Ptz, ptzMask);
    ShowMask(Search, searchMask);
    ShowMask(Backup, backupMask);
    m_remoteConfig->setChecked(configFlag == 1);
}

void CAddDvrPermission::FollowAll(Right right)
{
    const bool all = m_all[right]->isChecked();
    for (QCheckBox* box : m_channels[right])
        box->setChecked(all);
}

void CAddDvrPermission::onCheckLive()
{
    FollowAll(Live);
}

void CAddDvrPermission::onCheckSearch()
{
    FollowAll(Search);
}

void CAddDvrPermission::onCheckPTZ()
{
    FollowAll(Ptz);
}

void CAddDvrPermission::onCheckBackup()
{
    FollowAll(Backup);
}

void CAddDvrPermission::onOKButtonClicked()
{
    live = MaskOf(Live);
    search = MaskOf(Search);
    ptz = MaskOf(Ptz);
    backup = MaskOf(Backup);
    config = m_remoteConfig->isChecked() ? 1 : 0;
    done(QDialog::Accepted);
}

void CAddDvrPermission::onCancelButtonClicked()
{
    done(QDialog::Rejected);
}
