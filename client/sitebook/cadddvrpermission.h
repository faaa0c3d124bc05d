#pragma once
// The per-channel rights of a recorder entry: Live, Search, PTZ and Backup, each sixteen channel
// boxes with an "ALL" box, and the remote configuration right. The entry dialog opens it, hands
// it the masks and reads them back after exec() returned Accepted.
#include "sitebook/channelrights.h"
#include "widgets/cpopupdialog.h"

class QCheckBox;

class CAddDvrPermission : public CPopupDialog
{
    Q_OBJECT
public:
    // The four rights in the order of the dialog's groups.
    enum Right { Live = 0, Search = 1, Ptz = 2, Backup = 3, Rights = 4 };

    explicit CAddDvrPermission(QWidget* parent = nullptr);

    void SetPermission(int liveMask, int ptzMask, int searchMask, int backupMask, int config);

    int live = ChannelRights::kAll;
    int search = ChannelRights::kAll;
    int ptz = ChannelRights::kAll;
    int backup = ChannelRights::kAll;
    int config = 1;

    QCheckBox* AllBox(Right right) const { return m_all[right]; }
    QCheckBox* ChannelBox(Right right, int channel) const { return m_channels[right][channel]; }
    QCheckBox* RemoteConfigBox() const { return m_remoteConfig; }

public slots:
    void onCheckLive();
    void onCheckSearch();
    void onCheckPTZ();
    void onCheckBackup();
    void onOKButtonClicked();
    void onCancelButtonClicked();

private:
    void ShowMask(Right right, int mask);
    int MaskOf(Right right) const;
    void FollowAll(Right right);

    QCheckBox* m_all[Rights] = {};
    QCheckBox* m_channels[Rights][ChannelRights::kChannels] = {};
    QCheckBox* m_remoteConfig = nullptr;
};
