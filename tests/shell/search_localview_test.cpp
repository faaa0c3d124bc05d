// The local backup browser: its file tree starts the backup player on a chosen file, and the
// style sheet loader reads the program directory's qss file of a name.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QSignalSpy>
#include <QTest>

#include "platform/process.h"
#include "search/filetreeview.h"
#include "search/searchhub.h"
#include "search/searchlocalview.h"
#include "search/stylesheetloader.h"
#include "shell/childwindowslots.h"
#include "shell/support/grid_fixture.h"

namespace {

class LocalView : public GridTest
{
protected:
    static void Write(const QString& path, const QByteArray& bytes)
    {
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
};

TEST_F(LocalView, ChosenFileStartsTheBackupPlayerWithItsQuotedPath)
{
    const QString dir = QDir::currentPath();
    // Only the test's program directory is looked at, not the folder of the built player (which
    // would be left running).
    hub->SetPlayerLookup([dir] { return platform::Process::FindProgramIn("Orvane.exe", {dir}); });
    const QString file = dir + QStringLiteral("/backup/Record_Live/Lobby/20240205/rec 1.dat");
    Write(file, "data");
    FileTreeView tree(nullptr, dir + QStringLiteral("/backup"));
    QSignalSpy started(&tree, &FileTreeView::playerStarted);
    const QModelIndex index = tree.FileModel()->index(file);
    ASSERT_TRUE(index.isValid());
    tree.OnSelectFile(index);
    QString expected = QStringLiteral("\"") + file + QStringLiteral("\"");
    expected.replace(QLatin1Char('/'), QLatin1Char('\\'));
    EXPECT_EQ(tree.PendingCommand(), dir + QStringLiteral("/Orvane.exe ") + expected);
    ASSERT_TRUE(started.wait(5000));
    EXPECT_EQ(started.at(0).at(0).toString(), file);
    EXPECT_FALSE(started.at(0).at(1).toBool()) << "no backup player in the program directory";
    EXPECT_TRUE(tree.PendingCommand().isEmpty());
}

TEST_F(LocalView, FolderStartsNothing)
{
    const QString dir = QDir::currentPath() + QStringLiteral("/backup");
    QDir().mkpath(dir + QStringLiteral("/EventData"));
    FileTreeView tree(nullptr, dir);
    tree.OnSelectFile(tree.FileModel()->index(dir + QStringLiteral("/EventData")));
    EXPECT_TRUE(tree.PendingCommand().isEmpty());
}

// In the browser's width (as the Local Backup window gives it) every folder and recording name
// is shown whole, down to a recording three folders deep.
TEST_F(LocalView, NamesAreShownWholeInTheBrowsersWidth)
{
    const QString dir = QDir::currentPath() + QStringLiteral("/backup");
    const QString day = dir + QStringLiteral("/Record_Live/Demo DVR/20261211");
    Write(day + QStringLiteral("/h152414.001"), "data");
    QDir().mkpath(dir + QStringLiteral("/Record_Search"));
    FileTreeView tree(nullptr, dir);
    tree.resize(210, 400);
    tree.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&tree));
    const QStringList shown{dir + QStringLiteral("/Record_Search"), dir + QStringLiteral("/Record_Live"),
                            dir + QStringLiteral("/Record_Live/Demo DVR"), day,
                            day + QStringLiteral("/h152414.001")};
    for (const QString& path : shown)
        tree.expand(tree.FileModel()->index(path));
    for (const QString& path : shown) {
        const QString name = QFileInfo(path).fileName();
        ASSERT_TRUE(QTest::qWaitFor(
            [&] {
                QCoreApplication::processEvents();
                const QModelIndex index = tree.FileModel()->index(path);
                const QRect cell = tree.visualRect(index);
                // The name's text after its icon must fit in the cell.
                return cell.isValid() && cell.width() >= 16 + tree.fontMetrics().horizontalAdvance(name) + 8;
            },
            10000))
            << qPrintable(name) << " is cut: " << tree.visualRect(tree.FileModel()->index(path)).width() << " px";
    }
}

TEST_F(LocalView, StyleSheetNameIsReadInLowerCase)
{
    Write(QDir::currentPath() + QStringLiteral("/qss/main.qss"), "QDialog { background: #123456; }");
    QWidget widget;
    loadStyleSheet(&widget, QStringLiteral("Main"));
    EXPECT_EQ(widget.styleSheet(), QStringLiteral("QDialog { background: #123456; }"));
    loadStyleSheet(&widget, QStringLiteral("missing"));
    EXPECT_TRUE(widget.styleSheet().isEmpty());
}

TEST_F(LocalView, WindowOpensInAFreeSlotWithItsGrid)
{
    const int slot = hub->exeSearchLocalView();
    ASSERT_EQ(slot, 0);
    auto* view = qobject_cast<SearchLocalView*>(hub->SearchLocalViewSlots()->Window(slot));
    ASSERT_TRUE(view);
    EXPECT_EQ(view->windowTitle(), QStringLiteral("Backup Player"));
    ASSERT_TRUE(view->GetGrid());
    EXPECT_EQ(SearchHub::Instance()->GridCellCount(view->GetGrid()), 16);
    EXPECT_EQ(hub->exeSearchLocalView(), 1);
    EXPECT_EQ(hub->exeSearchLocalView(), -1) << "two at most";
    hub->SearchLocalViewSlots()->Destroy(slot);
    EXPECT_EQ(hub->SearchLocalViewSlots()->Window(slot), nullptr);
}

} // namespace
