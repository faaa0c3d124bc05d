// The recorder list import the way an operator runs it: the main window started in its program
// directory, "Import DVR list" picked from the site book's menu, the workbook typed into the file
// dialog, and the imported folders and recorders still there after the window is closed and
// started again.
#include <QAction>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>

#include "importcore/support/xlsreference.h"
#include "session/sitebook.h"
#include "shell/support/mainwin_fixture.h"
#include "sitebook/sitebooktreewidget.h"
#include "sitebook/support/sitebook_modal.h"

namespace {

// Folders and recorders below the item as "name" lines, recorders with their connection fields
// and the number of their children.
QStringList Describe(const QTreeWidgetItem* item, int depth = 0)
{
    QStringList out;
    for (int i = 0; i < item->childCount(); ++i) {
        const QTreeWidgetItem* child = item->child(i);
        const SiteBook* record = SiteBook::FromItem(child);
        if (!record || (record->kind != QLatin1String("folder") && record->kind != QLatin1String("device")))
            continue;
        QString line = QString(depth * 2, QLatin1Char(' ')) + record->name;
        if (record->kind == QLatin1String("device"))
            line += QStringLiteral(" %1:%2 %3/%4 children %5")
                        .arg(record->addr, record->port, record->id, record->password)
                        .arg(child->childCount());
        out << line;
        out << Describe(child, depth + 1);
    }
    return out;
}

class MainWindowImportTest : public MainWinTest
{
protected:
    void ImportThroughMenu(const QString& fileName)
    {
        SiteBookTreeWidget* tree = hub->GetSiteBookTree();
        ASSERT_NE(tree, nullptr);
        std::unique_ptr<QMenu> menu = tree->PrepareContextMenu(QPoint(5, tree->viewport()->height() - 3));
        ASSERT_TRUE(menu);
        QAction* import = nullptr;
        for (QAction* action : menu->actions()) {
            if (action->text() == QLatin1String("Import DVR list"))
                import = action;
        }
        ASSERT_NE(import, nullptr);
        QString directory;
        auto driver = OnNextDialog<QFileDialog>([fileName, &directory](QFileDialog* dialog) {
            directory = dialog->directory().absolutePath();
            auto* nameEdit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            ASSERT_NE(nameEdit, nullptr);
            nameEdit->setText(fileName);
            QMetaObject::invokeMethod(dialog, "accept");
            if (dialog->isVisible()) {
                ADD_FAILURE() << "the file dialog did not take " << fileName.toStdString();
                dialog->reject();
            }
        });
        // The import reads and applies the list after the menu's call returns.
        QSignalSpy finished(tree, &SiteBookTreeWidget::ImportFinished);
        import->trigger();
        EXPECT_TRUE(driver->Done());
        if (finished.isEmpty())
            finished.wait(120000);
        ASSERT_EQ(finished.count(), 1) << "the import did not end";
        // The dialog starts in the program directory, so a bare name is found there.
        EXPECT_EQ(QDir(directory).canonicalPath(), QDir(programDir.path()).canonicalPath());
    }
};

TEST_F(MainWindowImportTest, ImportedRecordersSurviveARestart)
{
    WriteFile(QStringLiteral("list.json"), R"({"sheets": [{"name": "Import to KRO", "rows": [
        ["Folder", "DVR", "IP", "Port", "ID", "Password"],
        ["Head Office", "gate", "127.0.0.1", 8000, "admin", "1234"],
        ["Head Office", "yard", "127.0.0.2", "8001", "admin", "pw"],
        ["Warehouse", "dock", "10.0.0.3", 8000.6, "user", "x"]]}]})");
    ASSERT_TRUE(xlsreference::Run(
        {QStringLiteral("write-list"), Path(QStringLiteral("list.xls")), Path(QStringLiteral("list.json"))}));
    WriteFile(QStringLiteral("old.ini"), "* Old_Site 0 1\n* cam_box 0 2\nIP 192.168.0.9\nPORT 9000\nID ad`min\n"
                                         "PASSWORD secret\n}\n");
    StartHub();
    hub->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(hub.get()));
    ImportThroughMenu(QStringLiteral("list.xls"));
    ImportThroughMenu(QStringLiteral("old.ini"));

    // Recorders made by the import get their "Archive" and "Emap" children when the book is read.
    const QStringList imported = {
        QStringLiteral("Head Office"),
        QStringLiteral("  gate 127.0.0.1:8000 admin/1234 children 0"),
        QStringLiteral("  yard 127.0.0.2:8001 admin/pw children 0"),
        QStringLiteral("Old Site"),
        QStringLiteral("  cam box 192.168.0.9:9000 ad min/secret children 0"),
        QStringLiteral("Warehouse"),
        QStringLiteral("  dock 10.0.0.3:8001 user/x children 0"),
    };
    EXPECT_EQ(Describe(hub->GetSiteBookTree()->GetSiteBookRoot()), imported);

    StopHub();
    StartHub();
    QStringList reread = imported;
    reread.replaceInStrings(QStringLiteral("children 0"), QStringLiteral("children 2"));
    EXPECT_EQ(Describe(hub->GetSiteBookTree()->GetSiteBookRoot()), reread);
    EXPECT_TRUE(boxes.isEmpty()) << boxes.join(QLatin1Char('\n')).toStdString();
}

} // namespace
