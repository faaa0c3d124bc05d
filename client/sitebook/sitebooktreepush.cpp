// Recorders and groups that the central server and the validation console push into the site
// book: each becomes a session object like those of the site book file, carries the server's
// node id and takes its sorted place.
#include <QJsonArray>
#include <QJsonObject>

#include "core/validationaccount.h"
#include "core/validationaccountreader.h"
#include "session/connectpurpose.h"
#include "session/recordersession.h"
#include "session/sessionhub.h"
#include "session/sitebook.h"
#include "sitebook/sitebookhub.h"
#include "sitebook/sitebooklog.h"
#include "sitebook/sitebooksessions.h"
#include "sitebook/sitebooktreewidget.h"

namespace {
// Nested groups deeper than this are not read (a hostile or broken reply must not exhaust the
// stack).
constexpr int kMaxGroupDepth = 64;
// A pushed recorder connects on its own, half a second after it was added.
constexpr int kPushedConnectCode = PushConnectList::kFirstCode;

const QString kGroup = QStringLiteral("group");
const QString kDvr = QStringLiteral("dvr");

// The connection and rights of a recorder as the server gives them.
void ApplyAccount(SiteBook& record, const ValidationAccount& account)
{
    record.name = account.name;
    record.addr = account.dvr_host;
    record.port = account.dvr_port;
    record.id = account.dvr_login_id;
    record.password = account.dvr_password;
    record.permissionLive = account.dvr_permission_live;
    record.permissionSearch = account.dvr_permission_search;
    record.permissionBackup = account.dvr_permission_backup;
    record.permissionPtz = account.dvr_permission_ptz;
    record.permissionConfig = account.dvr_permission_config;
    record.use_ssl = account.use_ssl;
}

// The record of a pushed recorder: no e-map yet, and no camera placed anywhere.
SiteBook* RecorderRecord(const ValidationAccount& account)
{
    auto* record = new SiteBook;
    record->kind = ItemKindText(ItemKind::Recorder);
    ApplyAccount(*record, account);
    record->emapPath.clear();
    record->emapPos.clear();
    for (int i = 0; i < SiteBook::CameraCount; ++i) {
        record->emapCameraPath[i].clear();
        record->emapCameraPos[i].clear();
    }
    return record;
}

SiteBookHub* Hub()
{
    return SiteBookHub::Instance();
}

bool ConnectSettingAllowsQueue()
{
    return !Hub() || Hub()->ConnectSetting() == QLatin1String("0");
}
} // namespace

void SiteBookTreeWidget::DisconnectIfConnected(QTreeWidgetItem* item)
{
    RecorderSession* device = SiteBookSessions::SessionOf(item);
    if (device && (device->IsLoggedIn() || SiteBookSessions::IsSocketConnected(item)))
        device->Disconnect();
}

QTreeWidgetItem* SiteBookTreeWidget::AddPushedRecorder(QTreeWidgetItem* folder, SiteBook* record, int serverId)
{
    QTreeWidgetItem* device = CreateEntry(folder, record, EntryMode::Recorder);
    SiteBookSessions::SetServerId(device, serverId);
    SiteBookSessions::SessionOf(device)->LoadSiteBookInfo();
    device->setText(0, record->name);
    device->setIcon(0, m_dvrDisableIcon);
    AddRecorderChildren(device);
    return device;
}

QTreeWidgetItem* SiteBookTreeWidget::AddPushedFolder(QTreeWidgetItem* parent, const QString& name, int serverId)
{
    auto* record = new SiteBook;
    record->kind = ItemKindText(ItemKind::Folder);
    record->name = name;
    QTreeWidgetItem* folder = CreateEntry(parent, record, EntryMode::Folder);
    SiteBookSessions::SetServerId(folder, serverId);
    folder->setText(0, name);
    folder->setExpanded(true);
    folder->setIcon(0, m_folderIcon);
    return folder;
}

void SiteBookTreeWidget::OnAddDvr(const ValidationAccount* account, int groupId)
{
    if (!account || account->type != kDvr)
        return;
    QTreeWidgetItem* folder = FindFolderById(groupId);
    if (!folder)
        return;
    qCDebug(lcSiteBook) << "Add DVR" << account->name;
    RecorderSession* device = SiteBookSessions::SessionOf(
        AddPushedRecorder(folder, RecorderRecord(*account), account->id));
    if (Hub() && Hub()->IsBulkLoading()) {
        if (ConnectSettingAllowsQueue())
            m_connectList.Queue(device->GetDeviceIndex());
        else
            m_connectList.Skip();
        return;
    }
    device->StartConnect(kPushedConnectCode);
}

void SiteBookTreeWidget::OnConnectList()
{
    SiteBookHub* hub = Hub();
    if (hub)
        hub->SetPendingConnectCount(0);
    if (!ConnectSettingAllowsQueue())
        return;
    const std::vector<std::pair<int, int>> pairs = m_connectList.Take();
    qCDebug(lcSiteBook) << "Connect list" << pairs.size();
    if (pairs.empty())
        return;
    if (hub)
        hub->SetPendingConnectCount(int(pairs.size()));
    const SessionHub* sessions = SessionHub::Instance();
    for (const auto& [slot, code] : pairs) {
        if (RecorderSession* device = sessions ? sessions->GetDevice(slot) : nullptr)
            device->StartConnect(code);
    }
}

void SiteBookTreeWidget::OnAddGroup(const ValidationAccount* account, int parentId)
{
    if (!account || account->type != kGroup)
        return;
    QTreeWidgetItem* parent = FindFolderById(parentId);
    if (!parent)
        return;
    qCDebug(lcSiteBook) << "Add Group" << account->name;
    AddPushedFolder(parent, account->name, account->id);
    qCDebug(lcSiteBook) << "Add Group finish";
}

void SiteBookTreeWidget::OnModifyDvr(const ValidationAccount* account)
{
    if (!account)
        return;
    QTreeWidgetItem* item = SiteBookSessions::Item(FindDeviceById(account->id));
    SiteBook* record = item ? SiteBook::FromItem(item) : nullptr;
    if (!record)
        return;
    const bool renamed = record->name != account->name;
    ApplyAccount(*record, *account);
    SiteBook::SetOnItem(item, record);
    item->setText(0, record->name);
    if (renamed)
        insertSorted(item, record->name, EntryMode::Recorder);
    RecorderSession* device = SiteBookSessions::SessionOf(item);
    if (device->IsLoggedIn()) {
        if (Hub())
            Hub()->CountReconnect();
        device->Disconnect();
        device->StartConnect(kPushedConnectCode);
    }
}

void SiteBookTreeWidget::OnModifyGroup(const ValidationAccount* account)
{
    if (!account)
        return;
    QTreeWidgetItem* folder = FindFolderById(account->id);
    SiteBook* record = SiteBook::FromItem(folder);
    if (!record)
        return;
    const bool renamed = record->name != account->name;
    // A folder carries no connection or e-map.
    *record = SiteBook();
    record->kind = ItemKindText(ItemKind::Folder);
    record->name = account->name;
    record->emapPath.clear();
    record->emapPos.clear();
    SiteBook::SetOnItem(folder, record);
    folder->setText(0, record->name);
    if (renamed)
        insertSorted(folder, record->name, EntryMode::Folder);
}

void SiteBookTreeWidget::OnMoveDvr(int dvrId, int groupId)
{
    QTreeWidgetItem* old = SiteBookSessions::Item(FindDeviceById(dvrId));
    const SiteBook* oldRecord = old ? SiteBook::FromItem(old) : nullptr;
    if (!oldRecord)
        return;
    QTreeWidgetItem* folder = FindFolderById(groupId);
    if (!folder) {
        // The server moved it where this site book has no folder: it leaves the site book.
        DisconnectIfConnected(old);
        m_findScope = nullptr;
        SiteBookSessions::DeleteItemTree(old);
        return;
    }
    auto* record = new SiteBook;
    record->kind = ItemKindText(ItemKind::Recorder);
    record->name = oldRecord->name;
    record->addr = oldRecord->addr;
    record->port = oldRecord->port;
    record->id = oldRecord->id;
    record->password = oldRecord->password;
    record->emapPath = oldRecord->emapPath;
    record->emapPos = oldRecord->emapPos;
    record->permissionLive = oldRecord->permissionLive;
    record->permissionSearch = oldRecord->permissionSearch;
    record->permissionBackup = oldRecord->permissionBackup;
    record->permissionPtz = oldRecord->permissionPtz;
    record->permissionConfig = oldRecord->permissionConfig;
    // The moved recorder reconnects at once: over TLS when it did, at the stream it had.
    record->quality = oldRecord->quality;
    record->use_ssl = oldRecord->use_ssl;
    QTreeWidgetItem* moved = AddPushedRecorder(folder, record, SiteBookSessions::ServerId(old));
    DisconnectIfConnected(old);
    m_findScope = nullptr;
    SiteBookSessions::DeleteItemTree(old);
    SiteBookSessions::SessionOf(moved)->StartConnect(kPushedConnectCode);
}

void SiteBookTreeWidget::OnDeleteDvr(int dvrId)
{
    QTreeWidgetItem* device = SiteBookSessions::Item(FindDeviceById(dvrId));
    if (!device)
        return;
    DisconnectIfConnected(device);
    m_findScope = nullptr;
    SiteBookSessions::DeleteItemTree(device);
}

void SiteBookTreeWidget::OnDeleteGroup(int groupId)
{
    QTreeWidgetItem* folder = FindFolderById(groupId);
    if (!folder)
        return;
    m_findScope = nullptr;
    SiteBookSessions::DeleteItemTree(folder);
}

// ---------------------------------------------------------------------------------------------
// The central server's whole site book

void SiteBookTreeWidget::LoadServerSiteBook(const QJsonObject& root)
{
    const int rootId = root.value(QLatin1String("id")).toInt(0);
    qCDebug(lcSiteBook) << "server site book" << rootId;
    clearSiteBook();
    ReadServerNodes(m_pSiteBookRoot, root, 0);
    OnConnectList();
}

void SiteBookTreeWidget::ReadServerNodes(QTreeWidgetItem* parent, const QJsonObject& node, int depth)
{
    if (depth > kMaxGroupDepth) {
        qCWarning(lcSiteBook) << "server site book: groups nested deeper than" << kMaxGroupDepth << "are left out";
        return;
    }
    const QJsonArray children = node.value(QLatin1String("children")).toArray();
    for (const QJsonValue& value : children) {
        const QJsonObject child = value.toObject();
        const int id = child.value(QLatin1String("id")).toInt(0);
        if (child.value(QLatin1String("type")).toString() == kGroup) {
            QTreeWidgetItem* folder = AddPushedFolder(parent, child.value(QLatin1String("name")).toString(), id);
            ReadServerNodes(folder, child, depth + 1);
            continue;
        }
        const std::unique_ptr<ValidationAccount> account = ValidationAccountReader::ReadDvr(child);
        QTreeWidgetItem* device = AddPushedRecorder(parent, RecorderRecord(*account), id);
        if (ConnectSettingAllowsQueue())
            m_connectList.Queue(SiteBookSessions::SessionOf(device)->GetDeviceIndex());
    }
}
