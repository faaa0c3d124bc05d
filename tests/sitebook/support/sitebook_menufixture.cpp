#include "sitebook/support/sitebook_menufixture.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "sitebook/cadddvrdialog.h"
#include "sitebook/caddfolderdialog.h"
#include "sitebook/sitebookfile.h"
#include "sitebook/sitebookitem.h"

void SiteBookMenuTest::SetUp()
{
    SiteBookTreeTest::SetUp();
    tree->resize(400, 700);
    tree->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(tree.get()));
}

QPoint SiteBookMenuTest::PointAt(QTreeWidgetItem* item)
{
    for (QTreeWidgetItem* p = item->parent(); p; p = p->parent())
        p->setExpanded(true);
    tree->scrollToItem(item);
    const QPoint point = tree->visualItemRect(item).center();
    tree->SetMenuPoint(point);
    EXPECT_EQ(tree->menuItem(), item);
    return point;
}

QPoint SiteBookMenuTest::EmptyPoint() const
{
    return QPoint(5, tree->viewport()->height() - 3);
}

QString SiteBookMenuTest::Describe(const QMenu* menu)
{
    if (!menu)
        return QStringLiteral("<none>");
    QString out;
    for (const QAction* action : menu->actions()) {
        if (action->isSeparator()) {
            out += QLatin1Char('|');
            continue;
        }
        if (!out.isEmpty() && !out.endsWith(QLatin1Char('|')))
            out += QLatin1Char(',');
        out += action->text();
        if (action->menu())
            out += QLatin1Char('{') + Describe(action->menu()) + QLatin1Char('}');
    }
    return out;
}

QString SiteBookMenuTest::MenuAt(QTreeWidgetItem* item)
{
    const QPoint point = item ? PointAt(item) : EmptyPoint();
    std::unique_ptr<QMenu> menu = tree->PrepareContextMenu(point);
    return Describe(menu.get());
}

QTreeWidgetItem* SiteBookMenuTest::AddPlain(QTreeWidgetItem* parent, const QString& kind, const QString& name)
{
    return AddPlainItem(parent, kind, name);
}

std::unique_ptr<ModalDriver> SiteBookMenuTest::AnswerFolder(const QString& name)
{
    return OnNextDialog<CAddFolderDialog>([name](CAddFolderDialog* dialog) {
        if (name.isNull()) {
            QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("cancelButton")), Qt::LeftButton);
            return;
        }
        auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("edit"));
        edit->clear();
        QTest::keyClicks(edit, name);
        QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("okButton")), Qt::LeftButton);
    });
}

std::unique_ptr<ModalDriver> SiteBookMenuTest::AnswerRecorder(const RecorderAnswer& answer)
{
    return OnNextDialog<CAddDvrDialog>([answer](CAddDvrDialog* dialog) {
        const auto type = [dialog](const char* edit, const QString& text) {
            auto* e = dialog->findChild<QLineEdit*>(QLatin1String(edit));
            if (e->isReadOnly())
                return;
            e->clear();
            QTest::keyClicks(e, text);
        };
        type("nameEdit", answer.name);
        type("addrEdit", answer.addr);
        type("portEdit", answer.port);
        type("idEdit", answer.id);
        type("passwordEdit", answer.password);
        dialog->findChild<QComboBox*>(QStringLiteral("qualityCombo"))->setCurrentIndex(answer.quality - 1);
        dialog->findChild<QCheckBox*>(QStringLiteral("sslCheck"))->setChecked(answer.ssl);
        const char* button = answer.ok ? "okButton" : "cancelButton";
        QTest::mouseClick(dialog->findChild<QPushButton*>(QLatin1String(button)), Qt::LeftButton);
    });
}

QString SiteBookMenuTest::BookFile(const char* name) const
{
    return programDir.filePath(QLatin1String(name));
}

QByteArray SiteBookMenuTest::ReadFile(const char* name) const
{
    QFile f(BookFile(name));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool SiteBookMenuTest::BookExists(const char* name) const
{
    return QFile::exists(BookFile(name));
}

void SiteBookMenuTest::WriteFile(const char* name, const QByteArray& bytes) const
{
    QFile f(BookFile(name));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

QStringList SiteBookMenuTest::DescribeSiteBook(const QTreeWidgetItem* item, int depth)
{
    QStringList out;
    for (int i = 0; i < item->childCount(); ++i) {
        const QTreeWidgetItem* child = item->child(i);
        const SiteBook* r = SiteBook::FromItem(child);
        if (!r || (r->kind != QLatin1String("folder") && r->kind != QLatin1String("device")))
            continue;
        QString line = QString(depth * 2, QLatin1Char(' ')) + r->kind + QLatin1Char(' ') + r->name;
        if (r->kind == QLatin1String("device")) {
            line += QLatin1Char(' ')
                    + QStringList({r->addr, r->port, r->id, r->password, QString::number(r->quality),
                                   QString::number(r->use_ssl)})
                          .join(QLatin1Char('|'));
        }
        out << line;
        if (r->kind == QLatin1String("folder"))
            out << DescribeSiteBook(child, depth + 1);
    }
    return out;
}

QStringList SiteBookMenuTest::DescribeFavorites(const QTreeWidgetItem* root)
{
    QStringList out;
    for (int i = 0; i < root->childCount(); ++i) {
        const SiteBook* r = SiteBook::FromItem(root->child(i));
        out << QStringList(
                   {r->kind, r->name, r->cameomode, r->favoritesdevice, r->favoriteschannel, r->favoritesmode})
                   .join(QLatin1Char('|'));
    }
    return out;
}

QStringList SiteBookMenuTest::DescribeEmap(const QTreeWidgetItem* root)
{
    QStringList out;
    for (int i = 0; i < root->childCount(); ++i) {
        const SiteBook* r = SiteBook::FromItem(root->child(i));
        out << QStringList({r->name, r->favoritesdevice, r->favoriteschannel, r->emapPath, r->emapPos})
                   .join(QLatin1Char('|'));
    }
    return out;
}

QStringList SiteBookMenuTest::SiteBookOnDisk() const
{
    SiteBookTreeWidget second;
    EXPECT_EQ(SiteBookFile::LoadSiteBook(&second, BookFile("sitebook.xml"), true),
              SiteBookFile::LoadResult::Loaded);
    return DescribeSiteBook(second.GetSiteBookRoot());
}

QStringList SiteBookMenuTest::FavoritesOnDisk() const
{
    SiteBookTreeWidget second;
    EXPECT_EQ(SiteBookFile::LoadFavorites(&second, BookFile("favorites.xml"), true),
              SiteBookFile::LoadResult::Loaded);
    return DescribeFavorites(second.GetFavoritesRoot());
}

QStringList SiteBookMenuTest::EmapOnDisk() const
{
    SiteBookTreeWidget second;
    EXPECT_EQ(SiteBookFile::LoadEmap(&second, BookFile("emap.xml"), true), SiteBookFile::LoadResult::Loaded);
    return DescribeEmap(second.GetEmapRoot());
}
