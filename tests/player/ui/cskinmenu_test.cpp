#include "ui/cskinmenu.h"

#include <QImage>
#include <QPixmap>
#include <QStyle>
#include <QStyleOptionMenuItem>
#include <gtest/gtest.h>

namespace {

QVector<SkinMenuTemplateItem> GridTemplate()
{
    SkinMenuTemplateItem popup;
    popup.text = "Popup";
    popup.children = {{"View\tEnter", 32771, false, false, {}},
                      {QString(), 0, true, false, {}},
                      {"Audio", 32800, false, true, {}},
                      {"Print & Save\tP", 32870, false, false, {}}};
    return {popup};
}

TEST(CSkinMenu, LoadsPopupsAndFindsCommandsBelowThem)
{
    CSkinMenu menu;
    EXPECT_FALSE(menu.LoadMenu({}));
    ASSERT_TRUE(menu.LoadMenu(GridTemplate()));
    QMenu* holder = nullptr;
    int position = -1;
    ASSERT_TRUE(menu.FindMenuOf(32800, &holder, &position));
    EXPECT_EQ(position, 2);
    EXPECT_TRUE(CSkinMenu::IsSkinMenu(holder));
    EXPECT_TRUE(holder->actions().at(2)->isCheckable());
    EXPECT_FALSE(menu.FindMenuOf(1, &holder, &position));
    QMenu plain;
    EXPECT_FALSE(CSkinMenu::IsSkinMenu(&plain));
}

TEST(CSkinMenu, ShortcutPartsStartInOneColumn)
{
    CSkinMenu menu;
    menu.LoadMenu(GridTemplate());
    QMenu* holder = nullptr;
    int position = -1;
    ASSERT_TRUE(menu.FindMenuOf(32771, &holder, &position));
    const QFontMetrics metrics(holder->font());
    const QString view = holder->actions().at(0)->text();
    const QString print = holder->actions().at(3)->text();
    EXPECT_TRUE(view.startsWith("View ")); // padded toward the longer head
    EXPECT_GE(metrics.horizontalAdvance(view.left(view.indexOf('\t'))),
              metrics.horizontalAdvance(print.left(print.indexOf('\t'))));
}

TEST(CSkinMenu, SetItemTextReachesPopupsAndIgnoresUnknownIds)
{
    CSkinMenu menu;
    menu.LoadMenu(GridTemplate());
    EXPECT_TRUE(menu.SetItemText(32870, "Drucken"));
    EXPECT_FALSE(menu.SetItemText(4242, "nothing"));
    QMenu* holder = nullptr;
    int position = -1;
    ASSERT_TRUE(menu.FindMenuOf(32870, &holder, &position));
    EXPECT_EQ(holder->actions().at(position)->text(), QString("Drucken"));
}

TEST(CSkinMenu, ItemsAddedLaterGetARecordWhenThePopupOpens)
{
    CSkinMenu menu;
    QPixmap picture(16, 15);
    picture.fill(Qt::red);
    menu.SetImageList({QIcon(picture)});
    QAction* first = menu.AppendItem("One", 10, 0);
    EXPECT_FALSE(first->icon().isNull());
    EXPECT_EQ(menu.AppendItem("Uno", 10), first); // the same command id reuses its item
    EXPECT_EQ(first->text(), QString("Uno"));
    EXPECT_TRUE(first->icon().isNull());
    EXPECT_FALSE(menu.ModifyItem("x", 11));
    EXPECT_EQ(menu.PreparePopup(), 0);
    menu.addAction("added by the owner");
    EXPECT_EQ(menu.PreparePopup(), 1);
    EXPECT_EQ(menu.Records(), 2);
    menu.removeAction(first);
    delete first;
    menu.PreparePopup();
    EXPECT_EQ(menu.Records(), 1);
}

TEST(CSkinMenu, SeparatorsMeasureHalfALine)
{
    CSkinMenu menu;
    QStyleOptionMenuItem separator;
    separator.menuItemType = QStyleOptionMenuItem::Separator;
    separator.font = menu.font();
    QStyleOptionMenuItem item = separator;
    item.menuItemType = QStyleOptionMenuItem::Normal;
    item.text = "Zoom In";
    const QSize line = menu.style()->sizeFromContents(QStyle::CT_MenuItem, &item, QSize(), &menu);
    const QSize half = menu.style()->sizeFromContents(QStyle::CT_MenuItem, &separator, QSize(), &menu);
    EXPECT_EQ(half.height(), line.height() / 2);
    EXPECT_GE(line.height(), 19);
}

TEST(CSkinMenu, DrawsTheFlatLookWithTheImageColumn)
{
    CSkinMenu menu;
    menu.AppendItem("Zoom In", 1);
    QAction* checked = menu.AppendItem("Audio", 2);
    checked->setCheckable(true);
    checked->setChecked(true);
    menu.show();
    const QImage shot = menu.grab().toImage();
    ASSERT_FALSE(shot.isNull());
    // The column beside the items differs from the menu's background in the flat look.
    const QRect second = menu.actionGeometry(checked);
    EXPECT_NE(shot.pixel(second.left() + 2, second.top() + 1), shot.pixel(second.right() - 2, second.top() + 1));
    menu.hide();
}

} // namespace
