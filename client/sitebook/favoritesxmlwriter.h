#pragma once
// Writes "favorites.xml": the book frame and one element per favorite under the favorites root.
#include "sitebook/sitebookxmlwriter.h"

class FavoritesXmlWriter : public SiteBookXmlWriter
{
public:
    explicit FavoritesXmlWriter(SiteBookTreeWidget* tree);

    bool write(QIODevice* device) override;

protected:
    void writeItem(QTreeWidgetItem* item) override;
};
