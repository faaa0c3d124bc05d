// End to end: the main window in a program directory whose site book holds simulated recorders.
// The operator opens the firmware manager on a folder from the site book's menu, ticks the
// recorders, chooses a package in the file dialog and watches each recorder take it (one of them
// is offline); then opens the account manager on a recorder, enters two accounts and the
// recorder gets its settings back with them. What arrived is checked on the simulators' side.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCryptographicHash>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QTest>

#include "admin/adminui/screenshot.h"
#include "adminui/caccountinfo.h"
#include "adminui/caccountmanager.h"
#include "adminui/cfirmwaremanager.h"
#include "adminui/managertable.h"
#include "backup/listmodel.h"
#include "harness/dvrsimprocess.h"
#include "managers/accountrun.h"
#include "managers/firmwarerun.h"
#include "session/moduledevice.h"
#include "shell/adminwindows.h"
#include "shell/clientsessionhub.h"
#include "shell/mainwindow.h"
#include "shell/support/mainwin_fixture.h"
#include "sitebook/sitebooktreewidget.h"

namespace {

QAction* MenuAction(QMenu* menu, const QString& text)
{
    for (QAction* action : menu->actions()) {
        if (action->text() == text)
            return action;
        if (QMenu* sub = action->menu())
            if (QAction* found = MenuAction(sub, text))
                return found;
    }
    return nullptr;
}

QStringList SimOptions(const QString& dataDir)
{
    return {"--option-flag", "--level",    "0x10", "--apply-restarts", "--user",
            "admin",         "--password", "1234", "--data-dir",       dataDir};
}

QByteArray Device(const QString& name, int port)
{
    return "<device name=\"" + name.toUtf8() + "\" addr=\"127.0.0.1\" port=\"" + QByteArray::number(port)
           + "\" id=\"admin\" password=\"1234\" emapPath=\"\" emapPos=\"\"/>\n";
}

class AdminWindowsE2eTest : public MainWinTest
{
protected:
    // Opens the site book's menu on the item and triggers the entry.
    void Trigger(QTreeWidgetItem* item, const QString& entry)
    {
        SiteBookTreeWidget* tree = hub->GetSiteBookTree();
        tree->scrollToItem(item);
        std::unique_ptr<QMenu> menu = tree->PrepareContextMenu(tree->visualItemRect(item).center());
        QAction* action = MenuAction(menu.get(), entry);
        ASSERT_NE(action, nullptr) << entry.toStdString();
        ASSERT_TRUE(action->isEnabled()) << entry.toStdString();
        action->trigger();
    }

    static void ClickCheckBox(QTableView* view, int row)
    {
        const QRect rect = view->visualRect(view->model()->index(row, 0));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, rect.center());
    }

    static QString Status(ListModel* model, int row)
    {
        return model->data(model->index(row, 3), Qt::DisplayRole).toString();
    }
};

TEST_F(AdminWindowsE2eTest, FirmwareGoesToTwoRecordersOneAfterAnother)
{
    QTemporaryDir data1, data2;
    DvrSimProcess north(SimOptions(data1.path()));
    DvrSimProcess south(SimOptions(data2.path()));
    QString error;
    ASSERT_TRUE(north.Start(&error)) << error.toStdString();
    ASSERT_TRUE(south.Start(&error)) << error.toStdString();

    // A package of 80000 bytes: three blocks.
    QByteArray package;
    for (int i = 0; i < 80000; ++i)
        package += char((i * 7 + i / 256) & 0xFF);
    WriteFile(QStringLiteral("dvr_upgrade_test.zip"), package);
    WriteFile(
        QStringLiteral("sitebook.xml"),
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<zent version=\"1.0\">\n<folder name=\"Depot\" folded=\"no\">\n"
            + Device("North", north.Port()) + Device("Offline", 1) + Device("South", south.Port())
            + "</folder>\n</zent>\n");
    StartHub();
    ASSERT_TRUE(hub);
    hub->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(hub.get()));
    SiteBookTreeWidget* tree = hub->GetSiteBookTree();
    const QList<QTreeWidgetItem*> folders = tree->findItems("Depot", Qt::MatchExactly | Qt::MatchRecursive);
    ASSERT_EQ(folders.size(), 1);

    Trigger(folders.first(), QStringLiteral("Firmware Manager"));
    CFirmwareManager* manager = hub->GetAdminWindows()->FirmwareManager();
    ASSERT_NE(manager, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(manager));
    ListModel* model = manager->Table().Model();
    ASSERT_EQ(model->rowCount(), 3);
    for (int row = 0; row < 3; ++row)
        ClickCheckBox(manager->Table().View(), row);

    WatchBoxes([&] {
        QTest::mouseClick(manager->StartButton(), Qt::LeftButton);
        QFileDialog* dialog = nullptr;
        ASSERT_TRUE(
            QTest::qWaitFor([&] { return (dialog = manager->findChild<QFileDialog*>()) != nullptr; }, 30000));
        EXPECT_EQ(dialog->windowTitle(), "Firmware File");
        dialog->selectFile(Path(QStringLiteral("dvr_upgrade_test.zip")));
        QMetaObject::invokeMethod(dialog, "accept"); // the dialog's "Open"
        EXPECT_EQ(manager->StartButton()->text(), "Stop");
        Screenshot("firmware_manager_running");
        EXPECT_TRUE(QTest::qWaitFor([&] { return !manager->Run().IsBusy(); }, 120000)) << "the run never ended";
    });
    EXPECT_EQ(Status(model, 0), "Finish");
    EXPECT_EQ(Status(model, 1), "Connect fail");
    EXPECT_EQ(Status(model, 2), "Finish");
    EXPECT_EQ(manager->StartButton()->text(), "F/W Upgrade");
    Screenshot("firmware_manager_done");

    // Both recorders got the whole package, checked by its CRC, and restarted.
    for (DvrSimProcess* sim : {&north, &south}) {
        const QList<QJsonObject> crc = sim->Events("crc");
        ASSERT_EQ(crc.size(), 1);
        EXPECT_TRUE(crc.first().value("ok").toBool());
        EXPECT_EQ(crc.first().value("name").toString(), "dvr_upgrade_auto.zip");
        EXPECT_EQ(crc.first().value("received").toInt(), package.size());
        EXPECT_EQ(sim->Events("restart").size(), 1);
    }
    QFile stored(data2.filePath("uploads/dvr_upgrade_auto.zip"));
    ASSERT_TRUE(stored.open(QIODevice::ReadOnly));
    EXPECT_EQ(stored.readAll(), package);
    // The package chosen stays the chosen one.
    EXPECT_EQ(hub->Sessions()->FirmwarePath(), Path(QStringLiteral("dvr_upgrade_test.zip")));
}

TEST_F(AdminWindowsE2eTest, AccountsAreWrittenIntoTheRecordersSettings)
{
    QTemporaryDir data;
    const QByteArray setup = "; recorder settings\r\n[NETWORK]\r\nport=9000\r\n[PASSWORD_CLIENT]\r\n"
                             "clientId0_0=admin\r\nclientPasswd0_0=old\r\nclientId2_0=keep\r\n";
    QFile file(data.filePath("setup.ini"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(setup);
    file.close();
    QStringList options = SimOptions(data.path());
    options << "--setup-file" << data.filePath("setup.ini");
    DvrSimProcess sim(options);
    QString error;
    ASSERT_TRUE(sim.Start(&error)) << error.toStdString();
    WriteFile(QStringLiteral("sitebook.xml"),
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<zent version=\"1.0\">\n" + Device("Gate", sim.Port())
                  + "</zent>\n");
    StartHub();
    ASSERT_TRUE(hub);
    hub->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(hub.get()));
    const int recorder = hub->Sessions()->FindDeviceByName(QStringLiteral("Gate"));
    ASSERT_GE(recorder, 0);

    Trigger(static_cast<CModuleDevice*>(hub->Sessions()->GetDevice(recorder)), QStringLiteral("Account Manager"));
    CAccountManager* manager = hub->GetAdminWindows()->AccountManager();
    ASSERT_NE(manager, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(manager));
    ClickCheckBox(manager->Table().View(), 0);
    QTest::mouseClick(manager->StartButton(), Qt::LeftButton);
    CAccountInfo* info = manager->AccountDialog();
    ASSERT_NE(info, nullptr);
    QTest::mouseClick(info->Box(0), Qt::LeftButton);
    QTest::keyClicks(info->IdEdit(0), "chief");
    Screenshot("account_info_no_password");
    // Wrong input first: a ticked account without a password is refused and the dialog stays.
    WatchBoxes([&] { QTest::mouseClick(info->OkButton(), Qt::LeftButton); });
    EXPECT_TRUE(boxes.contains("Account|Input user password")) << boxes.join("; ").toStdString();
    ASSERT_EQ(manager->AccountDialog(), info);
    EXPECT_FALSE(manager->Run().IsBusy());
    QTest::keyClicks(info->PasswordEdit(0), "password");
    QTest::mouseClick(info->Box(4), Qt::LeftButton);
    QTest::keyClicks(info->IdEdit(4), "night");
    QTest::keyClicks(info->PasswordEdit(4), "abc");
    WatchBoxes([&] {
        QTest::mouseClick(info->OkButton(), Qt::LeftButton);
        EXPECT_TRUE(manager->Run().IsBusy());
        EXPECT_TRUE(QTest::qWaitFor([&] { return !manager->Run().IsBusy(); }, 120000)) << "the run never ended";
    });
    EXPECT_EQ(Status(manager->Table().Model(), 0), "Finish");
    Screenshot("account_manager_done");

    // The recorder's own text with the two accounts in it; nothing else changed.
    QFile uploaded(data.filePath("uploads/conf/setup.ini"));
    ASSERT_TRUE(uploaded.open(QIODevice::ReadOnly));
    EXPECT_EQ(uploaded.readAll(),
              QByteArray("; recorder settings\r\n[NETWORK]\r\nport=9000\r\n[PASSWORD_CLIENT]\r\n"
                         "clientId0_0=chief\r\nclientPasswd0_0=JwsCrLFuHhnWA\r\n"
                         "clientId2_0=keep\r\nclientId4_0=night\r\n"
                         "clientPasswd4_0=JwomVvntvctJw\r\n"));
    const QList<QJsonObject> actions = sim.Events("config-action");
    ASSERT_EQ(actions.size(), 1);
    EXPECT_TRUE(actions.first().value("ok").toBool());
    EXPECT_EQ(sim.Events("restart").size(), 1);
}

} // namespace
