// Items leaving the site book tree by dragging, folders and recorders moving between folders
// inside it, and what a double click on each kind of item opens.
#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QTest>

#include "session/moduledevice.h"
#include "session/sitebook.h"
#include "sitebook/csnapshow.h"
#include "sitebook/sitebookdragrules.h"
#include "sitebook/sitebookitem.h"
#include "sitebook/support/sitebook_doubleclick.h"
#include "sitebook/support/sitebook_modal.h"
#include "sitebook/support/sitebook_treefixture.h"

namespace {

const QLatin1String kItemType("application/x-qabstractitemmodeldatalist");

QTreeWidgetItem* Plain(QTreeWidgetItem* parent, const QString& kind, const QString& name)
{
    return AddPlainItem(parent, kind, name);
}

// The tree parent of an item (a session object is a Qt object with a parent of its own too).
QTreeWidgetItem* Parent(QTreeWidgetItem* item)
{
    return item->parent();
}

SiteBook ReadBack(const QMimeData* data)
{
    SiteBook record;
    EXPECT_TRUE(data && SiteBook::FromDragData(data->data(kItemType), &record));
    return record;
}

TEST(SiteBookDragRules, MovesInsideTheTree)
{
    using K = ItemKind;
    struct Case
    {
        K dragged;
        const char* name;
        bool hasTarget;
        K target;
        bool allowed;
    };
    // clang-format off
    const Case cases[] = {
        {K::Recorder, "Gate",    true,  K::Folder,       true},
        {K::Recorder, "Gate",    true,  K::SiteBookRoot, true},
        {K::Folder,   "North",   true,  K::Folder,       true},
        {K::Folder,   "North",   true,  K::Recorder,     false},
        {K::Folder,   "North",   true,  K::Camera,       false},
        {K::Folder,   "North",   true,  K::EmapRoot,     false},
        {K::Folder,   "North",   false, K::Unknown,      false},  // empty space
        {K::Recorder, "@Gate",   true,  K::Folder,       false},  // a locked entry
        {K::Camera,   "Cam 1",   true,  K::Folder,       false},
        {K::Favorite, "Night",   true,  K::Folder,       false},
        {K::SearchFavorite, "Night", true, K::Folder,    false},
        {K::EmapEntry, "Plan",   true,  K::Folder,       false},
        {K::ArchiveData, "h0.001", true, K::Folder,      false},
        {K::RecorderEmapList, "Emap", true, K::Folder,   false},
    };
    // clang-format on
    for (const Case& c : cases)
        EXPECT_EQ(SiteBookDragRules::MayMove(c.dragged, QLatin1String(c.name), c.hasTarget, c.target), c.allowed)
            << ItemKindText(c.dragged).toStdString() << " " << c.name << " onto "
            << ItemKindText(c.target).toStdString();
}

TEST(SiteBookDragRules, DragPicturesByKind)
{
    using K = ItemKind;
    const std::tuple<K, bool, const char*> cases[] = {
        {K::Recorder, true, ":/res/Resource/DVR.png"},
        {K::Recorder, false, ":/res/Resource/DVRDisable.png"},
        {K::Folder, false, ":/res/Resource/folder.png"},
        {K::Camera, false, ":/res/Resource/Camera.png"},
        {K::Favorite, false, ":/res/Resource/favoritesitem.png"},
        {K::SearchFavorite, false, ":/res/Resource/3.png"},
        {K::EmapEntry, false, ":/res/Resource/5.png"},
        {K::CameraEmap, false, ":/res/Resource/5.png"},
        {K::RecorderEmapList, false, ":/res/Resource/5.png"},
        {K::ArchiveData, false, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SiteBookDragRules::DragPicture(std::get<0>(c), std::get<1>(c)), QLatin1String(std::get<2>(c)));
}

TEST(SiteBookDragRules, PlayerCommandLineQuotesThePath)
{
    EXPECT_EQ(SiteBookDragRules::PlayerCommandLine(QStringLiteral("/opt/zent"),
                                                   QStringLiteral("/opt/zent/backup/a b/h070000.001")),
              QLatin1String("/opt/zent/Orvane.exe \"/opt/zent/backup/a b/h070000.001\""));
}

class SiteBookDragDropTest : public SiteBookTreeTest
{};

TEST_F(SiteBookDragDropTest, DragDataCarriesTheRecordAndARecordersSlot)
{
    CModuleDevice* recorder = AddRecorder(QStringLiteral("Gate"));
    ASSERT_GE(recorder->GetDeviceIndex(), 0);
    std::unique_ptr<QMimeData> data(tree->DragData(recorder));
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(data->formats(), QStringList{kItemType});
    const SiteBook record = ReadBack(data.get());
    EXPECT_EQ(record.kind, QLatin1String("device"));
    EXPECT_EQ(record.name, QLatin1String("Gate"));
    EXPECT_EQ(record.index, recorder->GetDeviceIndex());

    QTreeWidgetItem* camera = Plain(recorder, QStringLiteral("camera"), QStringLiteral("Cam 3"));
    SiteBook::FromItem(camera)->index = recorder->GetDeviceIndex();
    SiteBook::FromItem(camera)->channel = 2;
    data.reset(tree->DragData(camera));
    const SiteBook cam = ReadBack(data.get());
    EXPECT_EQ(cam.kind, QLatin1String("camera"));
    EXPECT_EQ(cam.index, recorder->GetDeviceIndex());
    EXPECT_EQ(cam.channel, 2);

    auto* bare = new QTreeWidgetItem(tree->GetSiteBookRoot());
    EXPECT_EQ(tree->DragData(bare), nullptr) << "an item without a record does not drag";
}

TEST_F(SiteBookDragDropTest, ARecorderMovesIntoAFolderInItsSortedPlaceAndTheBookWaits)
{
    CModuleDevice* north = AddFolder(QStringLiteral("North"));
    AddFolder(QStringLiteral("Sub"), north);
    AddRecorder(QStringLiteral("Apple"), north);
    AddRecorder(QStringLiteral("Zebra"), north);
    CModuleDevice* mango = AddRecorder(QStringLiteral("Mango"));
    const QByteArray book = "<zent version=\"1.0\"/>\n";
    {
        QFile file(programDir.filePath(QStringLiteral("sitebook.xml")));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(book);
    }

    EXPECT_TRUE(tree->MoveDraggedItem(mango, north, SiteBookTreeWidget::DropPlace::Onto));
    EXPECT_EQ(Parent(mango), north);
    EXPECT_EQ(ChildNames(north), QStringList({"Sub", "Apple", "Mango", "Zebra"}));
    EXPECT_EQ(ChildNames(tree->GetSiteBookRoot()), QStringList{"North"});
    QFile file(programDir.filePath(QStringLiteral("sitebook.xml")));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), book) << "the site book file is written by the next write only";
}

TEST_F(SiteBookDragDropTest, DroppedBesideAFolderItGoesIntoThatFoldersParent)
{
    CModuleDevice* north = AddFolder(QStringLiteral("North"));
    CModuleDevice* inner = AddFolder(QStringLiteral("Inner"), north);
    CModuleDevice* gate = AddRecorder(QStringLiteral("Gate"), inner);
    AddRecorder(QStringLiteral("Apple"), north);
    EXPECT_TRUE(tree->MoveDraggedItem(gate, inner, SiteBookTreeWidget::DropPlace::Below));
    EXPECT_EQ(Parent(gate), north);
    EXPECT_EQ(ChildNames(north), QStringList({"Inner", "Apple", "Gate"}));
    EXPECT_FALSE(tree->MoveDraggedItem(north, tree->GetSiteBookRoot(), SiteBookTreeWidget::DropPlace::Above))
        << "not among the roots";
    EXPECT_EQ(Parent(north), tree->GetSiteBookRoot());
}

TEST_F(SiteBookDragDropTest, RefusedMovesChangeNothing)
{
    CModuleDevice* north = AddFolder(QStringLiteral("North"));
    CModuleDevice* inner = AddFolder(QStringLiteral("Inner"), north);
    CModuleDevice* gate = AddRecorder(QStringLiteral("Gate"));
    CModuleDevice* locked = AddRecorder(QStringLiteral("@Locked"));
    QTreeWidgetItem* camera = Plain(gate, QStringLiteral("camera"), QStringLiteral("Cam 1"));
    QTreeWidgetItem* archive = Plain(gate, QStringLiteral("archive"), QStringLiteral("Archive"));
    QTreeWidgetItem* favorite = Plain(tree->GetFavoritesRoot(), QStringLiteral("favorites_item"),
                                      QStringLiteral("Night"));
    struct Case
    {
        const char* what;
        QTreeWidgetItem* dragged;
        QTreeWidgetItem* target;
    };
    const Case cases[] = {
        {"folder onto a recorder", north, gate},
        {"folder onto a camera", north, camera},
        {"folder onto the e-map root", north, tree->GetEmapRoot()},
        {"folder into its own child", north, inner},
        {"folder onto itself", north, north},
        {"locked recorder", locked, north},
        {"favorite", favorite, north},
        {"a recorder's archive", archive, north},
        {"nothing under the point", gate, nullptr},
    };
    const QStringList rootBefore = ChildNames(tree->GetSiteBookRoot());
    for (const Case& c : cases) {
        QTreeWidgetItem* parentBefore = c.dragged->parent();
        const int rowBefore = parentBefore->indexOfChild(c.dragged);
        EXPECT_FALSE(tree->MoveDraggedItem(c.dragged, c.target, SiteBookTreeWidget::DropPlace::Onto)) << c.what;
        EXPECT_EQ(c.dragged->parent(), parentBefore) << c.what;
        EXPECT_EQ(parentBefore->indexOfChild(c.dragged), rowBefore) << c.what;
    }
    EXPECT_EQ(ChildNames(tree->GetSiteBookRoot()), rootBefore);
}

TEST_F(SiteBookDragDropTest, ADropThatThisTreeDidNotDragMovesNothing)
{
    CModuleDevice* north = AddFolder(QStringLiteral("North"));
    CModuleDevice* gate = AddRecorder(QStringLiteral("Gate"));
    tree->resize(300, 300);
    tree->show();
    tree->expandAll();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(tree.get()));
    // Another view's drag (or a drop with no drag of this tree running) offers the same type.
    std::unique_ptr<QMimeData> data(tree->DragData(gate));
    const QPoint at = tree->visualItemRect(north).center();
    QDragEnterEvent enter(at, Qt::MoveAction, data.get(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(tree->viewport(), &enter);
    EXPECT_TRUE(enter.isAccepted()) << "the type is taken";
    QDropEvent drop(at, Qt::MoveAction, data.get(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(tree->viewport(), &drop);
    EXPECT_FALSE(drop.isAccepted());
    EXPECT_EQ(Parent(gate), tree->GetSiteBookRoot());

    QMimeData other;
    other.setText(QStringLiteral("Gate"));
    QDragEnterEvent text(at, Qt::MoveAction, &other, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(tree->viewport(), &text);
    EXPECT_FALSE(text.isAccepted());
}

using SiteBookDoubleClickTest = SiteBookDoubleClickOn<SiteBookTreeTest>;

TEST_F(SiteBookDoubleClickTest, AFolderNeitherOpensNorCloses)
{
    CModuleDevice* north = AddFolder(QStringLiteral("North"));
    AddRecorder(QStringLiteral("Gate"), north);
    Show();
    for (bool expanded : {true, false}) {
        north->setExpanded(expanded);
        DoubleClick(north);
        EXPECT_EQ(north->isExpanded(), expanded);
    }
}

TEST_F(SiteBookDoubleClickTest, ARecordingStartsThePlayerLaterWithItsPathAsOneArgument)
{
    // The player stand-in: a script named as the player that writes down its arguments.
    const QString out = programDir.filePath(QStringLiteral("player-args.txt"));
    {
        QFile script(programDir.filePath(QStringLiteral("orvane")));
        ASSERT_TRUE(script.open(QIODevice::WriteOnly));
        script.write("#!/bin/sh\nprintf '%s\\n' \"$#\" \"$1\" > \"" + out.toUtf8() + ".part\" && mv \""
                     + out.toUtf8() + ".part\" \"" + out.toUtf8() + "\"\n");
        script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    CModuleDevice* gate = AddRecorder(QStringLiteral("Gate"));
    QTreeWidgetItem* recording = Plain(gate, QStringLiteral("archiveData"), QStringLiteral("h071502.001"));
    const QString path = programDir.filePath(QStringLiteral("backup/Record_Live/Gate 2/20240305/h071502.001"));
    SiteBook::FromItem(recording)->path = path;
    Show();

    DoubleClick(recording);
    EXPECT_EQ(tree->PendingPlayerCommand(),
              programDir.path() + QStringLiteral("/Orvane.exe \"") + path + QLatin1Char('"'));
    EXPECT_FALSE(QFile::exists(out)) << "the player starts after the double click has returned";
    ASSERT_TRUE(QTest::qWaitFor([&] { return QFile::exists(out); }, 10000)) << "the player never started";
    QFile args(out);
    ASSERT_TRUE(args.open(QIODevice::ReadOnly));
    EXPECT_EQ(args.readAll(), "1\n" + path.toUtf8() + "\n");
    EXPECT_TRUE(tree->PendingPlayerCommand().isEmpty());
}

TEST_F(SiteBookDoubleClickTest, ASnapshotOpensInTheViewer)
{
    const QString picture = programDir.filePath(QStringLiteral("071502_Gate.jpg"));
    QImage image(704, 480, QImage::Format_RGB32);
    image.fill(Qt::darkGreen);
    ASSERT_TRUE(image.save(picture));
    CModuleDevice* gate = AddRecorder(QStringLiteral("Gate"));
    QTreeWidgetItem* shot = Plain(gate, QStringLiteral("archiveSnapshot"), QStringLiteral("071502_Gate.jpg"));
    SiteBook::FromItem(shot)->path = picture;
    Show();

    QString title;
    QSize shown;
    auto answer = OnNextDialog<CSnapShow>([&](CSnapShow* viewer) {
        title = viewer->windowTitle();
        shown = viewer->PictureLabel()->pixmap(Qt::ReturnByValue).size();
        QTest::mouseClick(viewer->CloseButton(), Qt::LeftButton);
    });
    DoubleClick(shot);
    EXPECT_TRUE(answer->Done());
    EXPECT_EQ(title, QLatin1String("SnapShot"));
    EXPECT_EQ(shown, QSize(960, 540));
}

// Opening goes to the main window: a favorite with its layout code and names, a recorder's
// channels; empty space and plain items ask for nothing.
TEST_F(SiteBookDoubleClickTest, AFavoriteAsksTheHubForALiveWindowWithItsLayout)
{
    QTreeWidgetItem* favorite = Plain(tree->GetFavoritesRoot(), QStringLiteral("favorites_item"),
                                      QStringLiteral("Night"));
    SiteBook::FromItem(favorite)->cameomode = QStringLiteral("902");
    SiteBook::FromItem(favorite)->favoritesdevice = QStringLiteral("Gate;Yard");
    SiteBook::FromItem(favorite)->favoriteschannel = QStringLiteral("0;3");
    Show();
    DoubleClick(favorite);
    EXPECT_EQ(hub->opened, QStringList({QStringLiteral("favorite 902 Gate;Yard 0;3")}));
}

TEST_F(SiteBookDoubleClickTest, EmptySpaceAndPlainItemsAskTheHubForNothing)
{
    QTreeWidgetItem* archive = Plain(AddRecorder(QStringLiteral("Gate")), QStringLiteral("archive"),
                                     QStringLiteral("Archive"));
    Show();
    DoubleClick(archive);
    QTest::mouseDClick(tree->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(200, 390));
    EXPECT_TRUE(hub->opened.isEmpty()) << hub->opened.join(QStringLiteral(", ")).toStdString();
    EXPECT_TRUE(tree->PendingPlayerCommand().isEmpty());
}

} // namespace
