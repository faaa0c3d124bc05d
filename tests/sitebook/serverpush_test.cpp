// Recorders and groups pushed by the central server and the validation console.
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

#include "core/validationaccount.h"
#include "sitebook/support/sitebook_treefixture.h"

namespace {

// The hub's side of the pushes: its bulk-load flag and connect setting, and what it is told.
class PushHub : public SiteBookTestHub
{
public:
    bool IsBulkLoading() const override { return bulk; }
    QString ConnectSetting() const override { return setting; }
    void SetPendingConnectCount(int count) override { pendingCounts << count; }
    void CountReconnect() override { ++reconnects; }

    bool bulk = false;
    QString setting = QStringLiteral("0");
    QList<int> pendingCounts;
    int reconnects = 0;
};

ValidationAccount Group(int id, const QString& name)
{
    ValidationAccount account;
    account.id = id;
    account.type = QStringLiteral("group");
    account.name = name;
    return account;
}

ValidationAccount Dvr(int id, const QString& name)
{
    ValidationAccount account;
    account.id = id;
    account.type = QStringLiteral("dvr");
    account.name = name;
    // Nothing listens there: a connect that starts fails at once and quietly.
    account.dvr_host = QStringLiteral("127.0.0.1");
    account.dvr_port = QStringLiteral("1");
    account.dvr_login_id = QStringLiteral("admin");
    account.dvr_password = QStringLiteral("pw");
    return account;
}

QJsonObject FixtureRoot()
{
    QFile file(QStringLiteral(ZENT_SOURCE_DIR "/tests/sitebook/fixtures/server_sitebook.json"));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return QJsonDocument::fromJson(file.readAll()).object();
}

class ServerPushTest : public SiteBookTreeTest
{
protected:
    void SetUp() override
    {
        SiteBookTreeTest::SetUp();
        hub.reset();
        auto pushHub = std::make_unique<PushHub>();
        push = pushHub.get();
        hub = std::move(pushHub);
    }

    // A folder pushed under the site book root (server id 1 is a folder made here first).
    CModuleDevice* PushedFolder(int id, const QString& name)
    {
        CModuleDevice* folder = AddFolder(name);
        folder->SetServerId(id);
        return folder;
    }

    PushHub* push = nullptr;
};

} // namespace

TEST_F(ServerPushTest, ServerSiteBookBecomesTheTree)
{
    AddRecorder(QStringLiteral("Old recorder"));
    tree->LoadServerSiteBook(FixtureRoot());

    QTreeWidgetItem* root = tree->GetSiteBookRoot();
    EXPECT_EQ(ChildNames(root), (QStringList{"Attic", "North", "Yard"})) << "the old site book is gone";
    QTreeWidgetItem* north = tree->FindFolderById(11);
    ASSERT_NE(north, nullptr);
    EXPECT_EQ(north->text(0), QStringLiteral("North"));
    EXPECT_EQ(ChildNames(north), (QStringList{"Gates", "Barn"}));
    EXPECT_EQ(tree->FindFolderById(12)->parent(), north);

    struct Case
    {
        int id;
        const char* name;
        int live, search, ptz, backup;
        bool config;
        const char* user;
    };
    // Permissions come as decimal text; a number or a word gives 0.
    const Case cases[] = {
        {30, "Yard", 15, 3, 1, 0, false, "admin"},
        {31, "Gate", 65535, 65535, 65535, 65535, true, "guard"},
        {32, "Barn", 0, 0, 2, 4, true, "admin"},
    };
    for (const Case& c : cases) {
        CModuleDevice* device = tree->FindDeviceById(c.id);
        ASSERT_NE(device, nullptr) << c.name;
        const SiteBook* record = SiteBook::FromItem(device);
        ASSERT_NE(record, nullptr) << c.name;
        EXPECT_EQ(record->kind, QStringLiteral("device")) << c.name;
        EXPECT_EQ(record->name, QString::fromLatin1(c.name));
        EXPECT_EQ(device->text(0), QString::fromLatin1(c.name));
        EXPECT_EQ(record->addr, QStringLiteral("127.0.0.1")) << c.name;
        EXPECT_EQ(record->id, QString::fromLatin1(c.user)) << c.name;
        EXPECT_EQ(record->permissionLive, c.live) << c.name;
        EXPECT_EQ(record->permissionSearch, c.search) << c.name;
        EXPECT_EQ(record->permissionPtz, c.ptz) << c.name;
        EXPECT_EQ(record->permissionBackup, c.backup) << c.name;
        EXPECT_EQ(record->permissionConfig, c.config) << c.name;
        EXPECT_TRUE(record->emapPos.isEmpty()) << c.name;
        EXPECT_TRUE(record->emapCameraPos[0].isEmpty()) << c.name << ": no default camera position";
        EXPECT_EQ(ChildNames(device), (QStringList{"Archive", "Emap"})) << c.name;
        EXPECT_GE(hub->FindDeviceByName(QString::fromLatin1(c.name)), 0) << c.name;
    }
    EXPECT_EQ(push->pendingCounts, (QList<int>{0, 3})) << "three recorders were queued and connected";
    EXPECT_EQ(tree->ConnectList().Count(), 0);
}

TEST_F(ServerPushTest, ConnectSettingOtherThanZeroQueuesNothing)
{
    push->setting = QStringLiteral("1");
    tree->LoadServerSiteBook(FixtureRoot());
    EXPECT_EQ(push->pendingCounts, (QList<int>{0}));
    EXPECT_NE(tree->FindDeviceById(31), nullptr);
}

TEST_F(ServerPushTest, BulkLoadQueuesRecordersFiveHundredApartInArrivalOrder)
{
    PushedFolder(1, QStringLiteral("Site"));
    push->bulk = true;
    const ValidationAccount a = Dvr(40, QStringLiteral("Zulu"));
    const ValidationAccount b = Dvr(41, QStringLiteral("Alpha"));
    tree->OnAddDvr(&a, 1);
    tree->OnAddDvr(&b, 1);
    const auto& pending = tree->ConnectList().Pending();
    ASSERT_EQ(pending.size(), 2u);
    EXPECT_EQ(pending[0].first, tree->FindDeviceById(40)->GetDeviceIndex());
    EXPECT_EQ(pending[0].second, 1000) << "pushed codes are plain connects, 1000 or more";
    EXPECT_EQ(pending[1].first, tree->FindDeviceById(41)->GetDeviceIndex());
    EXPECT_EQ(pending[1].second, 1500);

    // A recorder that is not to connect still takes its half second.
    push->setting = QStringLiteral("1");
    const ValidationAccount c = Dvr(42, QStringLiteral("Mike"));
    tree->OnAddDvr(&c, 1);
    EXPECT_EQ(tree->ConnectList().RunningValue(), 2500);

    push->setting = QStringLiteral("0");
    tree->OnConnectList();
    EXPECT_EQ(push->pendingCounts, (QList<int>{0, 2}));
    EXPECT_EQ(tree->ConnectList().Count(), 0);
    EXPECT_EQ(tree->ConnectList().RunningValue(), 1000) << "the next load starts over";
}

TEST_F(ServerPushTest, AddsOnlyTheRightTypeUnderAKnownParent)
{
    CModuleDevice* site = PushedFolder(1, QStringLiteral("Site"));
    const ValidationAccount group = Group(5, QStringLiteral("East"));
    const ValidationAccount dvrAsGroup = Dvr(6, QStringLiteral("NotAGroup"));
    const ValidationAccount orphan = Group(7, QStringLiteral("Orphan"));
    tree->OnAddGroup(&group, 1);
    tree->OnAddGroup(&dvrAsGroup, 1);
    tree->OnAddGroup(&orphan, 99);

    const ValidationAccount dvr = Dvr(20, QStringLiteral("Dock"));
    const ValidationAccount groupAsDvr = Group(21, QStringLiteral("NotADvr"));
    const ValidationAccount lost = Dvr(22, QStringLiteral("Lost"));
    tree->OnAddDvr(&dvr, 5);
    tree->OnAddDvr(&groupAsDvr, 5);
    tree->OnAddDvr(&lost, 99);

    EXPECT_EQ(ChildNames(site), (QStringList{"East"}));
    QTreeWidgetItem* east = tree->FindFolderById(5);
    ASSERT_NE(east, nullptr);
    EXPECT_EQ(KindOf(east), QStringLiteral("folder"));
    EXPECT_TRUE(east->isExpanded());
    EXPECT_EQ(ChildNames(east), (QStringList{"Dock"}));
    EXPECT_EQ(tree->FindDeviceById(22), nullptr);
    EXPECT_EQ(hub->FindDeviceByName(QStringLiteral("Lost")), -1);
}

TEST_F(ServerPushTest, RenamingRecorderResortsItKeepingTheNameLeavesIt)
{
    CModuleDevice* site = PushedFolder(1, QStringLiteral("Site"));
    for (const auto& [id, name] : {std::pair{50, "Bravo"}, std::pair{51, "Delta"}, std::pair{52, "Foxtrot"}}) {
        const ValidationAccount a = Dvr(id, QString::fromLatin1(name));
        tree->OnAddDvr(&a, 1);
    }
    ASSERT_EQ(ChildNames(site), (QStringList{"Bravo", "Delta", "Foxtrot"}));

    ValidationAccount same = Dvr(51, QStringLiteral("Delta"));
    same.dvr_host = QStringLiteral("10.0.0.9");
    same.dvr_permission_ptz = 7;
    same.use_ssl = 1;
    tree->OnModifyDvr(&same);
    EXPECT_EQ(ChildNames(site), (QStringList{"Bravo", "Delta", "Foxtrot"}));
    const SiteBook* record = SiteBook::FromItem(tree->FindDeviceById(51));
    EXPECT_EQ(record->addr, QStringLiteral("10.0.0.9"));
    EXPECT_EQ(record->permissionPtz, 7);
    EXPECT_EQ(record->use_ssl, 1);
    EXPECT_EQ(push->reconnects, 0) << "a recorder that is not connected is not reconnected";

    const ValidationAccount renamed = Dvr(51, QStringLiteral("Zulu"));
    tree->OnModifyDvr(&renamed);
    EXPECT_EQ(ChildNames(site), (QStringList{"Bravo", "Foxtrot", "Zulu"}));
    EXPECT_EQ(tree->FindDeviceById(51)->text(0), QStringLiteral("Zulu"));

    const ValidationAccount group = Group(1, QStringLiteral("Aardvark"));
    AddFolder(QStringLiteral("Moose"));
    tree->OnModifyGroup(&group);
    EXPECT_EQ(ChildNames(tree->GetSiteBookRoot()), (QStringList{"Aardvark", "Moose"}));
}

TEST_F(ServerPushTest, MovedRecorderKeepsItsConnectionAndMapInItsNewFolder)
{
    PushedFolder(1, QStringLiteral("From"));
    CModuleDevice* to = PushedFolder(2, QStringLiteral("To"));
    const ValidationAccount a = Dvr(60, QStringLiteral("Mover"));
    tree->OnAddDvr(&a, 1);
    SiteBook* old = SiteBook::FromItem(tree->FindDeviceById(60));
    old->quality = 2;
    old->use_ssl = 1;
    old->emapPath = QStringLiteral("/maps/yard.png");
    old->emapPos = QStringLiteral("0.250000;0.666667;");
    old->permissionSearch = 9;

    tree->OnMoveDvr(60, 2);
    CModuleDevice* moved = tree->FindDeviceById(60);
    ASSERT_NE(moved, nullptr);
    EXPECT_EQ(moved->QTreeWidgetItem::parent(), to);
    const SiteBook* record = SiteBook::FromItem(moved);
    EXPECT_EQ(record->quality, 2);
    EXPECT_EQ(record->use_ssl, 1) << "a TLS recorder must not reconnect in clear text";
    EXPECT_EQ(record->emapPath, QStringLiteral("/maps/yard.png"));
    EXPECT_EQ(record->emapPos, QStringLiteral("0.250000;0.666667;"));
    EXPECT_EQ(record->permissionSearch, 9);
    EXPECT_EQ(ChildNames(moved), (QStringList{"Archive", "Emap"}));
    EXPECT_EQ(hub->FindDeviceByName(QStringLiteral("Mover")), moved->GetDeviceIndex());
}

TEST_F(ServerPushTest, MoveToUnknownGroupRemovesTheRecorder)
{
    CModuleDevice* site = PushedFolder(1, QStringLiteral("Site"));
    const ValidationAccount a = Dvr(70, QStringLiteral("Gone"));
    tree->OnAddDvr(&a, 1);
    tree->OnMoveDvr(70, 404);
    EXPECT_EQ(tree->FindDeviceById(70), nullptr);
    EXPECT_EQ(site->childCount(), 0);
    EXPECT_EQ(hub->FindDeviceByName(QStringLiteral("Gone")), -1);
}

TEST_F(ServerPushTest, DeletesByIdAndIgnoresUnknownIds)
{
    CModuleDevice* site = PushedFolder(1, QStringLiteral("Site"));
    const ValidationAccount inner = Group(2, QStringLiteral("Inner"));
    tree->OnAddGroup(&inner, 1);
    const ValidationAccount a = Dvr(80, QStringLiteral("Kept"));
    const ValidationAccount b = Dvr(81, QStringLiteral("Deep"));
    tree->OnAddDvr(&a, 1);
    tree->OnAddDvr(&b, 2);

    tree->OnDeleteDvr(999);
    tree->OnDeleteGroup(999);
    EXPECT_EQ(ChildNames(site), (QStringList{"Inner", "Kept"}));

    tree->OnDeleteGroup(2);
    EXPECT_EQ(ChildNames(site), (QStringList{"Kept"}));
    EXPECT_EQ(hub->FindDeviceByName(QStringLiteral("Deep")), -1) << "the group took its recorders along";

    tree->OnDeleteDvr(80);
    EXPECT_EQ(site->childCount(), 0);
}
