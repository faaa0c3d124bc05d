#pragma once
// The site book tree shown on the offscreen screen, so that items have places under the mouse:
// helpers to point the menu at an item, describe a menu, answer the entry dialogs and read the
// book files back.
#include <QMenu>
#include <memory>

#include "sitebook/support/sitebook_modal.h"
#include "sitebook/support/sitebook_treefixture.h"

class SiteBookMenuTest : public SiteBookTreeTest
{
protected:
    void SetUp() override;

    // Makes the item visible and stores its centre as the menu point; returns the point.
    QPoint PointAt(QTreeWidgetItem* item);
    // A point below every item.
    QPoint EmptyPoint() const;
    // The menu for the item (the empty area when null) as text: entries separated by ",",
    // separators as "|", a submenu as "title{entries}"; "<none>" when no menu opens.
    QString MenuAt(QTreeWidgetItem* item);
    static QString Describe(const QMenu* menu);

    // A plain item as the session object or a book reader makes it.
    QTreeWidgetItem* AddPlain(QTreeWidgetItem* parent, const QString& kind, const QString& name);

    // Answers the next folder dialog with the name (OK), or cancels it when name is null.
    std::unique_ptr<ModalDriver> AnswerFolder(const QString& name);
    struct RecorderAnswer
    {
        QString name, addr, port, id, password;
        int quality = 1;
        bool ssl = false;
        bool ok = true;
    };
    std::unique_ptr<ModalDriver> AnswerRecorder(const RecorderAnswer& answer);

    QString BookFile(const char* name) const;
    QByteArray ReadFile(const char* name) const;
    bool BookExists(const char* name) const;
    void WriteFile(const char* name, const QByteArray& bytes) const;
    // The book file read into a fresh tree and described: site book "kind name" lines with
    // indentation (recorders with their connection fields); favorites and e-map entries with
    // their fields.
    QStringList SiteBookOnDisk() const;
    QStringList FavoritesOnDisk() const;
    QStringList EmapOnDisk() const;
    static QStringList DescribeSiteBook(const QTreeWidgetItem* item, int depth = 0);
    static QStringList DescribeFavorites(const QTreeWidgetItem* root);
    static QStringList DescribeEmap(const QTreeWidgetItem* root);
};
