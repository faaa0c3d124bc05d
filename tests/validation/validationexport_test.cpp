// What the console's exports write: the event log of one account in the form the log list
// reads back, the recorders' camera and disk rows, and a write that fails.
#include "core/treemodel.h"
#include "validation/validationeventrows.h"
#include "validation/validationexport.h"
#include "validation/validationtreeops.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {
std::unique_ptr<ValidationAccount> Node(const char* type, int id, const char* name, const char* userId = "")
{
    auto record = std::make_unique<ValidationAccount>();
    record->type = QString::fromLatin1(type);
    record->id = id;
    record->name = QString::fromUtf8(name);
    record->user_id = QString::fromLatin1(userId);
    return record;
}

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
}

TEST(ValidationExportLog, OnlyTheAccountsEventsOldestFirst)
{
    TreeModel events(ValidationEventRows::EventHeaders());
    ValidationEventRows rows(events);
    rows.InsertEventRow("mia", "login", "03/05/2014", "10:20:30");
    rows.InsertEventRow("bob", "login", "03/05/2014", "10:21:00");
    rows.InsertEventRow("mia", "camera 2 ^ lost\nagain", "03/05/2014", "10:22:00");
    rows.InsertEventRow("mia", "logout", "03/05/2014", "10:23:00");
    EXPECT_EQ(ValidationExport::LogText(events, "mia"),
              QByteArray("--start\n"
                         "03/05/2014^10:20:30^mia^login\n"
                         "03/05/2014^10:22:00^mia^camera 2   lost again\n"
                         "03/05/2014^10:23:00^mia^logout\n"
                         "--end\n"));
    EXPECT_EQ(ValidationExport::LogText(events, "nobody"), QByteArray("--start\n--end\n"));
}

TEST(ValidationExportLog, AWrittenLogReadsBackIntoTheList)
{
    QTemporaryDir dir;
    TreeModel events(ValidationEventRows::EventHeaders());
    ValidationEventRows rows(events);
    rows.InsertEventRow("mia", "login", "03/05/2014", "10:20:30");
    rows.InsertEventRow("mia", "logout", "03/05/2014", "11:00:00");
    const QString path = dir.filePath("mia.log");
    QString error;
    ASSERT_TRUE(ValidationExport::Write(path, ValidationExport::LogText(events, "mia"), &error))
        << error.toStdString();

    TreeModel read(ValidationEventRows::EventHeaders());
    EXPECT_EQ(ValidationEventRows(read).LoadLog(path), 2);
    ASSERT_EQ(read.rowCount(), 2);
    EXPECT_EQ(read.index(0, 3).data().toString(), QStringLiteral("logout"));
    EXPECT_EQ(read.index(1, 1).data().toString(), QStringLiteral("10:20:30"));
}

TEST(ValidationExportDvrCheck, EveryRecorderBelowTheNodeWithItsRows)
{
    TreeModel model(ValidationTreeOps::Headers());
    ValidationTreeOps tree(model);
    const QModelIndex root = tree.Insert({}, Node("admin", 1, "", "admin"));
    const QModelIndex group = tree.Insert(root, Node("group", 2, "East"));
    auto gate = Node("dvr", 3, "Gate, north");
    gate->dvr_host = "10.0.0.1";
    gate->dvr_port = "9000";
    const QModelIndex gateNode = tree.Insert(group, std::move(gate));
    tree.HealthCheck(gateNode, "125");
    auto yard = Node("dvr", 4, "Yard \"B\"");
    yard->dvr_host = "yard.example";
    yard->dvr_port = "9001";
    tree.Insert(root, std::move(yard));

    const QByteArray header = "DVR,Address,Online,Row,Kind,Status\n";
    const QByteArray gateRows = "\"Gate, north\",10.0.0.1:9000,O,Camera 01,Camera,On\n"
                                "\"Gate, north\",10.0.0.1:9000,O,Camera 02,Camera,Videoloss\n"
                                "\"Gate, north\",10.0.0.1:9000,O,HDD 01,HDD,Good\n";
    const QByteArray yardRow = "\"Yard \"\"B\"\"\",yard.example:9001,X,,,\n";
    // clang-format off
    const struct { const char* name; QModelIndex node; QByteArray expected; } cases[] = {
        {"a recorder", gateNode, header + gateRows},
        {"a group", group, header + gateRows},
        {"the account", root, header + gateRows + yardRow},
        {"nothing", QModelIndex(), header},
    };
    // clang-format on
    for (const auto& c : cases)
        EXPECT_EQ(ValidationExport::DvrCheckText(tree, c.node), c.expected) << c.name;
}

TEST(ValidationExportFile, ProposedNamesCarryTheNodeAndTheDay)
{
    const QDate day(2014, 3, 5);
    EXPECT_EQ(ValidationExport::LogFileName("/prog", "mia", day),
              QStringLiteral("/prog/ZENT_LOG/Export_mia_03_05_2014.log"));
    EXPECT_EQ(ValidationExport::DvrCheckFileName("/prog", "Gate/1:a", day),
              QStringLiteral("/prog/ZENT_LOG/DVRCheck_Gate_1_a_03_05_2014.csv"));
}

TEST(ValidationExportFile, AFailedWriteSaysWhyAndLeavesNoFile)
{
    QTemporaryDir dir;
    QFile blocker(dir.filePath("plain"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.write("x");
    blocker.close();
    const QString path = dir.filePath("plain/out.log");
    QString error;
    EXPECT_FALSE(ValidationExport::Write(path, "--start\n--end\n", &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_EQ(ReadAll(blocker.fileName()), QByteArray("x"));
    // A good path takes the whole text and leaves no temporary file beside it.
    const QString good = dir.filePath("good.log");
    ASSERT_TRUE(ValidationExport::Write(good, "--start\n--end\n", &error));
    EXPECT_EQ(ReadAll(good), QByteArray("--start\n--end\n"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), (QStringList{"good.log", "plain"}));
}
} // namespace
