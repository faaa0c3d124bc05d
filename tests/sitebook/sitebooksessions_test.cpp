// The site book's road to its session items: which items are sessions, the way back from a
// session of the recorder table to its item, and the server ids only session items carry.
#include "session/moduledevice.h"
#include "sitebook/sitebooksessions.h"
#include "sitebook/support/sitebook_treefixture.h"

namespace {

TEST_F(SiteBookTreeTest, OnlyFolderAndRecorderEntriesAreSessions)
{
    CModuleDevice* folder = AddFolder(QStringLiteral("north"));
    CModuleDevice* recorder = AddRecorder(QStringLiteral("yard"), folder);
    auto* camera = new QTreeWidgetItem(static_cast<QTreeWidgetItem*>(recorder));
    const struct
    {
        const char* name;
        QTreeWidgetItem* item;
        RecorderSession* session;
    } cases[] = {
        {"folder", folder, folder},
        {"recorder", recorder, recorder},
        {"camera entry", camera, nullptr},
        {"site book root", tree->topLevelItem(0), nullptr},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SiteBookSessions::SessionOf(c.item), c.session) << c.name;
        EXPECT_EQ(SiteBookSessions::SessionOf(static_cast<const QTreeWidgetItem*>(c.item)), c.session) << c.name;
        EXPECT_EQ(SiteBookSessions::DeviceOf(c.item) != nullptr, c.session != nullptr) << c.name;
        if (c.session) {
            EXPECT_EQ(SiteBookSessions::ItemOf(c.session), c.item) << c.name;
        }
    }
    EXPECT_EQ(SiteBookSessions::SessionOf(static_cast<QTreeWidgetItem*>(nullptr)), nullptr);
    EXPECT_EQ(SiteBookSessions::ItemOf(nullptr), nullptr);
}

TEST_F(SiteBookTreeTest, ASessionOfTheRecorderTableLeadsBackToItsEntry)
{
    CModuleDevice* recorder = AddRecorder(QStringLiteral("gate"));
    ASSERT_GE(recorder->GetDeviceIndex(), 0);
    RecorderSession* session = hub->GetDevice(recorder->GetDeviceIndex());
    ASSERT_NE(session, nullptr);
    QTreeWidgetItem* item = SiteBookSessions::ItemOf(session);
    EXPECT_EQ(item, static_cast<QTreeWidgetItem*>(recorder));
    EXPECT_EQ(item->text(0), QStringLiteral("gate"));
}

TEST_F(SiteBookTreeTest, ServerIdsStayOnSessionItems)
{
    CModuleDevice* folder = AddFolder(QStringLiteral("south"));
    CModuleDevice* recorder = AddRecorder(QStringLiteral("dock"), folder);
    auto* camera = new QTreeWidgetItem(static_cast<QTreeWidgetItem*>(recorder));
    SiteBookSessions::SetServerId(folder, 12);
    SiteBookSessions::SetServerId(recorder, 34);
    SiteBookSessions::SetServerId(camera, 56);
    EXPECT_EQ(folder->GetServerId(), 12);
    EXPECT_EQ(recorder->GetServerId(), 34);
    EXPECT_EQ(SiteBookSessions::ServerId(folder), 12);
    EXPECT_EQ(SiteBookSessions::ServerId(recorder), 34);
    EXPECT_EQ(SiteBookSessions::ServerId(camera), 0) << "an entry that is no session carries none";
    EXPECT_FALSE(SiteBookSessions::IsSocketConnected(camera));
    EXPECT_FALSE(SiteBookSessions::IsSocketConnected(recorder)) << "nothing connected it";
    EXPECT_FALSE(SiteBookSessions::LoginOption(camera));
}

} // namespace
