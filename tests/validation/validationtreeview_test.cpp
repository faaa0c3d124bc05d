// The account tree's window over a session logged in to the central server simulator: the list
// import from a workbook, the find dialog in its validation mode, drops, and the exports with a
// write that fails.
#include "centralsessiontest.h"

#include "core/treemodel.h"
#include "importcore/support/xlsreference.h"
#include "sitebook/cfinddvrdialog.h"
#include "validation/validationsession.h"
#include "validation/validationusertreeview.h"
#include "validation/validationview.h"

#include <QApplication>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

namespace {
class TreeView : public CentralSessionTest
{
protected:
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(CentralSessionTest::SetUp());
        ASSERT_NO_FATAL_FAILURE(LogIn(session));
        ASSERT_TRUE(WaitFor([&] { return view.isVisible() && hub.validationConnected; }));
    }

    // Opens the node's menu as a right click does (the commands act on that node).
    void MenuOn(const QModelIndex& node)
    {
        QMenu menu;
        ASSERT_TRUE(view.Tree()->BuildMenu(menu, node));
    }

    QString Workbook(const QString& sheet, const QJsonArray& rows)
    {
        const QJsonObject layout{{"sheets", QJsonArray{QJsonObject{{"name", sheet}, {"rows", rows}}}}};
        const QString layoutPath = dir.filePath("layout.json");
        QFile file(layoutPath);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QJsonDocument(layout).toJson());
        file.close();
        const QString path = dir.filePath("list.xls");
        EXPECT_TRUE(xlsreference::Run({QStringLiteral("write-list"), path, layoutPath}));
        return path;
    }

    QTemporaryDir dir;
    ValidationView view{session, hub};
};

TEST_F(TreeView, AWorkbookImportsBelowTheMenuNodeUpToTheFirstEmptyCell)
{
    const QString path = Workbook(QStringLiteral("Import to KRO"),
                                  {QJsonArray{"Folder", "DVR", "IP", "Port", "ID", "Password"},
                                   QJsonArray{"Annex", "Dock", "10.0.0.7", 9000, "admin", 1234},
                                   QJsonArray{QJsonValue(), "Mill", "10.0.0.8", 9001, "user", "x"},
                                   QJsonArray{"Annex", "Barn", "10.0.0.9", 9002, "user", "y"}});
    MenuOn(session.Tree().FindAccount(4));
    QSignalSpy finished(&session, &ValidationSession::BatchFinished);
    ASSERT_TRUE(view.Tree()->ImportFile(path));
    ASSERT_TRUE(WaitFor([&] { return finished.count() == 1; }));
    EXPECT_TRUE(hub.messages.isEmpty());
    EXPECT_TRUE(hub.warnings.isEmpty());
    // The third row's empty first cell ends the list: only the second row is imported.
    const QModelIndex annex = session.Tree().FindGroupByName(session.Tree().FindAccount(4), "Annex");
    ASSERT_TRUE(annex.isValid());
    EXPECT_EQ(Names(annex), QStringList{"Dock"});
    ASSERT_EQ(sim.Requests("/dvr").size(), 1);
    const QJsonObject body = sim.Requests("/dvr").at(0).value("body").toObject();
    EXPECT_EQ(body.value("dvr_port").toString(), QStringLiteral("9000"));
    EXPECT_EQ(body.value("dvr_password").toString(), QStringLiteral("1234"));
}

TEST_F(TreeView, AFileThatIsNotAnImportListIsRefusedAndChangesNothing)
{
    QFile text(dir.filePath("notes.xls"));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("Folder,DVR,IP\nAnnex,Dock,10.0.0.7\n");
    text.close();
    // clang-format off
    const struct { const char* name; QString path; } cases[] = {
        {"text named .xls", text.fileName()},
        {"missing", dir.filePath("absent.xls")},
        {"workbook without the list's sheet",
         Workbook(QStringLiteral("Sheet1"), {QJsonArray{"Folder", "DVR", "IP", "Port", "ID", "Password"},
                                             QJsonArray{"Annex", "Dock", "10.0.0.7", 9000, "admin", "1"}})},
    };
    // clang-format on
    MenuOn(session.Tree().FindAccount(4));
    for (const auto& c : cases) {
        hub.messages.clear();
        EXPECT_FALSE(view.Tree()->ImportFile(c.path)) << c.name;
        EXPECT_EQ(hub.messages, QStringList{"Validation|Import file error"}) << c.name;
        EXPECT_FALSE(session.HasPending()) << c.name;
    }
    EXPECT_TRUE(sim.Requests("/dvr").isEmpty());
    EXPECT_TRUE(sim.Requests("/account").isEmpty());
}

TEST_F(TreeView, TheFindDialogWalksTheRecordersOfTheTree)
{
    // Tree order: admin, operator, Lobby, East, Gate.
    ValidationUserTreeView* tree = view.Tree();
    const QModelIndex lobby = session.Tree().FindDvr(5);
    const QModelIndex gate = session.Tree().FindDvr(3);
    MenuOn(session.Tree().FindAccount(2));
    int hits = 0;
    QStringList titles;
    QStringList selected;
    QTimer driver;
    QObject::connect(&driver, &QTimer::timeout, [&] {
        auto* dialog = qobject_cast<CFindDvrDialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        titles << dialog->windowTitle();
        dialog->NameEdit()->setText(QStringLiteral("a"));
        dialog->findChild<QPushButton*>(QStringLiteral("findButton"))->click();
        selected << tree->currentIndex().data().toString();
        dialog->NameEdit()->setText(QStringLiteral("o"));
        dialog->findChild<QPushButton*>(QStringLiteral("findButton"))->click();
        selected << tree->currentIndex().data().toString();
        ++hits;
        dialog->findChild<QPushButton*>(QStringLiteral("closeButton"))->click();
    });
    driver.start(10);
    tree->OnSearchDvr();
    driver.stop();
    ASSERT_EQ(hits, 1);
    EXPECT_EQ(titles, QStringList{"Validation"});
    // "a" finds Gate; "o" (only Lobby, before Gate) is looked for after Gate's place and not
    // found, so the selection stays (the next search starts from the top).
    EXPECT_EQ(selected, (QStringList{"Gate", "Gate"}));

    // The position search itself: the next hit after a position, -1 past the last.
    // clang-format off
    const struct { const char* name; int start; int position; QModelIndex node; } cases[] = {
        {"from the top", -1, 2, lobby},
        {"after Lobby", 2, -1, QModelIndex()},
    };
    // clang-format on
    for (const auto& c : cases) {
        EXPECT_EQ(tree->FindDvr(QStringLiteral("LOB"), c.start), c.position) << c.name;
        if (c.node.isValid()) {
            EXPECT_EQ(tree->currentIndex().siblingAtColumn(0), c.node) << c.name;
        }
    }
    EXPECT_EQ(tree->FindDvr(QStringLiteral("gate"), -1), 4);
    EXPECT_EQ(tree->currentIndex().siblingAtColumn(0), gate);
}

TEST_F(TreeView, ADropWithoutADraggedNodeIsIgnoredAndADropThroughTheViewMoves)
{
    ValidationUserTreeView* tree = view.Tree();
    const QRect operatorRow = tree->visualRect(session.Tree().FindAccount(4));
    ASSERT_TRUE(operatorRow.isValid());
    QMimeData mime;
    mime.setData(QStringLiteral("application/x-qabstractitemmodeldatalist"), QByteArray());
    QDropEvent drop(operatorRow.center(), Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(tree->viewport(), &drop);
    EXPECT_FALSE(drop.isAccepted());
    EXPECT_FALSE(session.HasPending());

    EXPECT_TRUE(tree->MoveNode(session.Tree().FindDvr(3), session.Tree().FindAccount(4)));
    ASSERT_TRUE(WaitFor([&] { return !session.HasPending(); }));
    EXPECT_EQ(Names(session.Tree().FindAccount(4)), (QStringList{"Gate", "Lobby"}));
    EXPECT_FALSE(tree->MoveNode(session.Tree().FindDvr(3), session.Tree().FindDvr(5)));
    EXPECT_FALSE(tree->MoveNode(QModelIndex(), session.Tree().FindAccount(4)));
}

TEST_F(TreeView, ExportsWriteTheirFilesAndAFailedWriteIsShown)
{
    view.AddEventLog(QStringLiteral("operator"), QStringLiteral("login"));
    view.AddEventLog(QStringLiteral("admin"), QStringLiteral("login"));
    const QModelIndex operatorNode = session.Tree().FindAccount(4);
    const QString log = dir.filePath("operator.log");
    ASSERT_TRUE(view.ExportLogTo(operatorNode, log));
    QFile written(log);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = written.readAll().split('\n');
    ASSERT_EQ(lines.size(), 4);
    EXPECT_EQ(lines[0], QByteArray("--start"));
    EXPECT_TRUE(lines[1].endsWith("^operator^login")) << lines[1].toStdString();
    EXPECT_EQ(lines[2], QByteArray("--end"));

    const QString csv = dir.filePath("check.csv");
    ASSERT_TRUE(view.ExportDvrCheckTo(session.Tree().FindAccount(2), csv));
    QFile check(csv);
    ASSERT_TRUE(check.open(QIODevice::ReadOnly));
    EXPECT_EQ(check.readAll(), QByteArray("DVR,Address,Online,Row,Kind,Status\nGate,127.0.0.1:9000,X,,,\n"));

    const QString blocked = log + QStringLiteral("/inside.csv");
    EXPECT_FALSE(view.ExportDvrCheckTo(session.Tree().FindAccount(2), blocked));
    ASSERT_EQ(hub.messages.size(), 1);
    EXPECT_TRUE(hub.messages[0].startsWith(QStringLiteral("Validation|The file ")))
        << hub.messages[0].toStdString();
    EXPECT_TRUE(hub.messages[0].contains(QStringLiteral("inside.csv")));
    EXPECT_FALSE(QFile::exists(blocked));
}
TEST_F(TreeView, NoMenuOpensWhileACommandWaitsForTheServer)
{
    const QModelIndex operatorNode = session.Tree().FindAccount(4);
    ASSERT_EQ(session.PasteDvrs(operatorNode, {QPersistentModelIndex(session.Tree().FindDvr(3))}), 1);
    QMenu waiting;
    EXPECT_FALSE(view.Tree()->BuildMenu(waiting, operatorNode));
    ASSERT_TRUE(WaitFor([&] { return !session.HasPending(); }));
    QMenu after;
    EXPECT_TRUE(view.Tree()->BuildMenu(after, operatorNode));
}
} // namespace
