// The backup folder tree and its multi-selection on a temporary folder tree, offscreen, with a
// fake main dialog, drop target and drives.
#include "ui/cbackuptree.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QTest>
#include <QWindow>

#include <gtest/gtest.h>

namespace {

void Touch(const QString& path)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("d");
}

class FakeHost : public BackupTreeHost
{
public:
    int SelectedTile() const override { return selected; }
    void CloseRemoteTile(int) override {}
    void StopPlayback() override {}
    bool OpenInTile(const QString& folder, const QString& name, int tile) override
    {
        opened << QStringLiteral("%1:%2%3").arg(tile).arg(folder, name);
        return QFileInfo::exists(folder + name);
    }
    void ResetAllTiles() override {}
    void SetSplitTiles(int) override {}
    void RedrawTiles() override {}
    void ShowBuffering(bool) override {}
    int selected = 2;
    QStringList opened;
};

class FakeDrop : public BackupDropTarget
{
public:
    int TileAtGlobal(const QPoint&) const override { return tile; }
    int tile = 14;
};

class FakeDrives : public BackupDrives
{
public:
    QVector<DriveInfo> Drives() const override { return drives; }
    DriveType TypeOf(const QString&) const override { return DriveType::Fixed; }
    QVector<DriveInfo> drives;
};

class BackupTreeTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        root = dir.path() + QLatin1Char('/');
        Touch(root + QStringLiteral("work/Rec/day.lst"));
        Touch(root + QStringLiteral("work/Rec/20240131/hd_idx.001"));
        QDir().mkpath(root + QStringLiteral("work/Other"));
        for (const char* name : {"backup/AVI/a.avi", "backup/Live/x080000.001", "backup/Live/x090000.001",
                                 "backup/Live/x100000.001", "backup/Live/notes.txt"})
            Touch(root + QStringLiteral("prog/") + QString::fromLatin1(name));
        drives.drives = {{root + QStringLiteral("prog/"), DriveType::Fixed}};
        context = {root + QStringLiteral("prog/"), root + QStringLiteral("prog/Backup/"),
                   root + QStringLiteral("work/"), root + QStringLiteral("prog/backup/")};
        tree = std::make_unique<CBackupTree>(host, drop, drives, context, root + QStringLiteral("CD_DATA"));
        tree->resize(400, 600);
        tree->FillRootItems();
        tree->show();
    }
    QTreeWidgetItem* Find(QTreeWidgetItem* parent, const QString& text)
    {
        for (int i = 0; parent && i < parent->childCount(); ++i) {
            if (parent->child(i)->text(0) == text)
                return parent->child(i);
        }
        return nullptr;
    }
    QStringList Texts(QTreeWidgetItem* parent)
    {
        QStringList texts;
        for (int i = 0; i < parent->childCount(); ++i)
            texts << parent->child(i)->text(0);
        return texts;
    }
    QTreeWidgetItem* Live()
    {
        QTreeWidgetItem* zent = tree->topLevelItem(1);
        zent->setExpanded(true);
        QTreeWidgetItem* live = Find(zent, QStringLiteral("Live"));
        live->setExpanded(true);
        return live;
    }
    QTemporaryDir dir;
    QString root;
    FakeHost host;
    FakeDrop drop;
    FakeDrives drives;
    BackupPathContext context;
    std::unique_ptr<CBackupTree> tree;
};

TEST_F(BackupTreeTest, RootsFoldersAndLazyFilling)
{
    ASSERT_EQ(tree->topLevelItemCount(), 3);
    EXPECT_EQ(tree->topLevelItem(0)->text(0), QStringLiteral("Rec"));
    EXPECT_EQ(tree->topLevelItem(1)->text(0), QStringLiteral("ZENT_Backup"));
    EXPECT_EQ(tree->topLevelItem(2)->text(0), QStringLiteral("My PC"));
    EXPECT_EQ(tree->topLevelItem(2)->childCount(), 1);

    QTreeWidgetItem* zent = tree->topLevelItem(1);
    zent->setExpanded(true);
    EXPECT_EQ(Texts(zent), QStringList{QStringLiteral("Live")}); // "AVI" hidden here
    QTreeWidgetItem* drive = tree->topLevelItem(2)->child(0);
    drive->setExpanded(true);
    QTreeWidgetItem* backup = Find(drive, QStringLiteral("backup"));
    ASSERT_TRUE(backup);
    backup->setExpanded(true);
    EXPECT_TRUE(Texts(backup).contains(QStringLiteral("AVI"))); // shown under a drive
    QTreeWidgetItem* live = Live();
    EXPECT_EQ(Texts(live).size(), 3);
    live->setExpanded(false);
    EXPECT_EQ(live->childCount(), 0);

    QTreeWidgetItem* rec = tree->topLevelItem(0);
    rec->setExpanded(true);
    QTreeWidgetItem* day = Find(rec, QStringLiteral("20240131"));
    ASSERT_TRUE(day);
    EXPECT_EQ(day->data(0, CBackupTree::kKindRole).toInt(), int(BackupItemKind::DayFolder));
}

TEST_F(BackupTreeTest, DoubleClickOpensInTheSelectedTile)
{
    QTreeWidgetItem* file = Find(Live(), QStringLiteral("x090000.001"));
    const QPoint p = tree->visualItemRect(file).center();
    QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, p);
    EXPECT_EQ(host.opened, QStringList{QStringLiteral("2:%1prog/backup/Live/x090000.001").arg(root)});
    host.opened.clear();
    host.selected = -1;
    QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, p);
    EXPECT_TRUE(host.opened.isEmpty());
}

TEST_F(BackupTreeTest, DraggingThreeFilesOntoTheFifteenthTileOpensTwo)
{
    QTreeWidgetItem* live = Live();
    QTreeWidgetItem* a = live->child(0);
    QTreeWidgetItem* c = live->child(2);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(a).center());
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, Qt::ShiftModifier, tree->visualItemRect(c).center());
    ASSERT_EQ(tree->GetSelectedCount(), 3);

    // Through the window, as the window system delivers them: the press goes to the widget
    // under the pointer, the moves and the release to whichever widget holds the grab.
    QWindow* window = tree->windowHandle();
    ASSERT_NE(window, nullptr);
    const auto at = [&](QPoint shift) {
        return tree->viewport()->mapTo(tree.get(), tree->visualItemRect(a).center() + shift);
    };
    QTest::mousePress(window, Qt::LeftButton, {}, at(QPoint()));
    EXPECT_EQ(tree->GetSelectedCount(), 3); // a press on the selection keeps it
    QTest::mouseMove(window, at(QPoint(0, 20)));
    QTest::mouseMove(window, at(QPoint(0, 40)));
    EXPECT_TRUE(tree->Dragging());
    QTest::mouseRelease(window, Qt::LeftButton, {}, at(QPoint(0, 40)));
    EXPECT_FALSE(tree->Dragging());
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr) << "the pointer stays grabbed after the drop";
    ASSERT_EQ(host.opened.size(), 2);
    EXPECT_TRUE(host.opened.at(0).startsWith(QStringLiteral("14:")));
    EXPECT_TRUE(host.opened.at(1).startsWith(QStringLiteral("15:")));
    EXPECT_TRUE(host.opened.at(0).endsWith(a->text(0)));
}

TEST_F(BackupTreeTest, MultiSelectionClicksCollapseAndBand)
{
    QTreeWidgetItem* live = Live();
    QTreeWidgetItem* a = live->child(0);
    QTreeWidgetItem* b = live->child(1);
    QTreeWidgetItem* c = live->child(2);
    tree->setCurrentItem(b, 0, QItemSelectionModel::NoUpdate);
    // Shift-click with no anchor starts from the current item.
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, Qt::ShiftModifier, tree->visualItemRect(c).center());
    QList<QTreeWidgetItem*> list;
    tree->GetSelectedList(list);
    EXPECT_EQ(list, (QList<QTreeWidgetItem*>{b, c}));
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, Qt::ControlModifier, tree->visualItemRect(a).center());
    EXPECT_EQ(tree->GetSelectedCount(), 3);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, Qt::ControlModifier, tree->visualItemRect(b).center());
    EXPECT_EQ(tree->GetFirstSelectedItem(), a);
    EXPECT_EQ(tree->GetNextSelectedItem(a), c);
    // A plain click on a selected item leaves it alone selected.
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(c).center());
    EXPECT_EQ(tree->GetSelectedCount(), 1);

    // Collapsing hides and deselects the children; the caret among them goes when the parent
    // itself is not selected.
    tree->SelectRange(a, c, true);
    tree->setCurrentItem(b, 0, QItemSelectionModel::NoUpdate);
    QTreeWidgetItem* zent = tree->topLevelItem(1);
    zent->setExpanded(false);
    EXPECT_EQ(tree->GetSelectedCount(), 0);
    EXPECT_EQ(tree->currentItem(), nullptr);

    // A band from the empty area below the rows selects what it covers; Escape clears it.
    live = Live();
    const QPoint below(5, tree->viewport()->height() - 5);
    const QPoint top = tree->visualItemRect(live->child(0)).topLeft() + QPoint(5, 2);
    auto send = [&](QEvent::Type type, QPoint p, Qt::MouseButtons buttons) {
        QMouseEvent e(type, p, tree->viewport()->mapToGlobal(p),
                      type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, buttons, Qt::NoModifier);
        QApplication::sendEvent(tree->viewport(), &e);
    };
    send(QEvent::MouseButtonPress, below, Qt::LeftButton);
    send(QEvent::MouseMove, top, Qt::LeftButton);
    // The rows from the first file down: the three files and "My PC" below them.
    EXPECT_EQ(tree->GetSelectedCount(), 4);
    EXPECT_TRUE(live->child(0)->isSelected() && live->child(2)->isSelected());
    EXPECT_TRUE(tree->topLevelItem(2)->isSelected());
    EXPECT_FALSE(live->isSelected());
    QTest::keyClick(tree.get(), Qt::Key_Escape);
    EXPECT_EQ(tree->GetSelectedCount(), 0);
    send(QEvent::MouseButtonRelease, top, Qt::NoButton);
}

} // namespace
