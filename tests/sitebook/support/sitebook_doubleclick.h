#pragma once
// Double clicks on the site book tree of a fixture (the site book suite's fakes or the real main
// window of the shell suite): the tree shown with every branch open, an item clicked at its centre.
#include <QTest>
#include <QTreeWidgetItem>

#include <gtest/gtest.h>

template <class Base>
class SiteBookDoubleClickOn : public Base
{
protected:
    void Show()
    {
        this->tree->resize(400, 400);
        this->tree->show();
        this->tree->expandAll();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(this->tree.get()));
    }
    void DoubleClick(QTreeWidgetItem* item)
    {
        this->tree->scrollToItem(item);
        QTest::mouseDClick(this->tree->viewport(), Qt::LeftButton, Qt::NoModifier,
                           this->tree->visualItemRect(item).center());
    }
};
