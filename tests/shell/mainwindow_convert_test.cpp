// The MP4 convert window reached as a user reaches it: "MP4 Convert" on a recording in the site
// book opens the one convert window with that recording listed; Start converts it.
#include "backup/caviconvert.h"
#include "backup/support/recording_fixture.h"
#include "common/support/decoder_streams.h"
#include "common/support/mediaprobe.h"
#include "session/sitebook.h"
#include "shell/support/mainwin_fixture.h"
#include "sitebook/sitebookitem.h"
#include "sitebook/sitebooktreewidget.h"
#include "sitebook/support/sitebook_modal.h"
#include "widgets/messagedlg.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QMenu>
#include <QPushButton>

namespace {

class MainWindowConvertTest : public MainWinTest
{
protected:
    // A recording item as the site book lists one under a recorder's archive.
    QTreeWidgetItem* AddRecordingItem(const recording_fixture::Recording& r)
    {
        auto* record = new SiteBook;
        record->kind = QStringLiteral("archiveData");
        record->name = r.fileName;
        record->path = r.folder + r.fileName;
        auto* item = new SiteBookItem(hub->GetSiteBookTree()->GetSiteBookRoot(), record);
        item->setText(0, r.fileName);
        return item;
    }
    // Opens the item's menu and chooses "MP4 Convert".
    void ChooseConvert(QTreeWidgetItem* item)
    {
        SiteBookTreeWidget* tree = hub->GetSiteBookTree();
        for (QTreeWidgetItem* p = item->parent(); p; p = p->parent())
            p->setExpanded(true);
        tree->scrollToItem(item);
        const QPoint point = tree->visualItemRect(item).center();
        tree->SetMenuPoint(point);
        ASSERT_EQ(tree->menuItem(), item);
        std::unique_ptr<QMenu> menu = tree->PrepareContextMenu(point);
        ASSERT_TRUE(menu);
        QAction* convert = nullptr;
        const QList<QAction*> actions = menu->actions();
        for (QAction* a : actions) {
            if (a->text() == "MP4 Convert")
                convert = a;
        }
        ASSERT_NE(convert, nullptr);
        convert->trigger();
    }
    static QList<CAVIConvert*> ConvertWindows()
    {
        QList<CAVIConvert*> found;
        const QWidgetList all = QApplication::topLevelWidgets();
        for (QWidget* w : all) {
            if (auto* c = qobject_cast<CAVIConvert*>(w); c && c->isVisible())
                found.append(c);
        }
        return found;
    }
};

std::unique_ptr<ModalDriver> CloseNextBox(QString* text)
{
    return OnNextDialog<MessageDlg>(
        [text](MessageDlg* box) {
            if (QLabel* label = box->findChild<QLabel*>())
                *text = box->windowTitle() + "|" + label->text();
            box->done(0);
        },
        120000);
}

TEST_F(MainWindowConvertTest, RecordingOfTheSiteBookConvertsFromItsMenu)
{
    StartHub();
    hub->show();
    const decoder_streams::Stream& pictures = decoder_streams::Make(320, 240, 40, 10);
    ASSERT_TRUE(pictures.error.isEmpty());
    const recording_fixture::Recording r = recording_fixture::Write(programDir.path(), pictures.frames, 20261209,
                                                                    83000, 1, 10, 10);
    ASSERT_TRUE(r.error.isEmpty()) << qPrintable(r.error);
    QTreeWidgetItem* item = AddRecordingItem(r);

    ChooseConvert(item);
    QList<CAVIConvert*> windows = ConvertWindows();
    ASSERT_EQ(windows.size(), 1);
    CAVIConvert* convert = windows.first();
    ASSERT_EQ(convert->Model()->rowCount(), 1);
    EXPECT_EQ(convert->Model()->data(convert->Model()->index(0, 1)).toString(), r.fileName);

    // The same recording again: refused, and the window is the same one.
    QString seen;
    {
        auto driver = CloseNextBox(&seen);
        ChooseConvert(item);
        EXPECT_TRUE(driver->Done());
    }
    EXPECT_EQ(seen, "MP4 Convert|The same file already exists in the list.");
    EXPECT_EQ(ConvertWindows(), windows);

    convert->findChild<QCheckBox*>()->setChecked(true);
    auto driver = CloseNextBox(&seen);
    QPushButton* start = nullptr;
    const QList<QPushButton*> buttons = convert->findChildren<QPushButton*>();
    for (QPushButton* b : buttons) {
        if (b->text() == "Start")
            start = b;
    }
    ASSERT_NE(start, nullptr);
    start->click();
    QElapsedTimer timer;
    timer.start();
    while (!driver->Done() && timer.elapsed() < 120000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    ASSERT_TRUE(driver->Done());
    EXPECT_EQ(seen, "MP4 Convert|MP4 Convert Finish");
    const mediaprobe::Probe probe = mediaprobe::Run(r.folder + r.fileName + ".mp4");
    ASSERT_TRUE(probe.error.isEmpty()) << qPrintable(probe.error);
    EXPECT_EQ(probe.codecName, "h264");
    EXPECT_EQ(probe.packets.size(), 40);
    StopHub();
}

} // namespace
