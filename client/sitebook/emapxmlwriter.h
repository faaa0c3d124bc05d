#pragma once
// Writes "emap.xml": the book frame and one "emap_item" element per entry under the e-map root.
#include "sitebook/sitebookxmlwriter.h"

class EmapXmlWriter : public SiteBookXmlWriter
{
public:
    explicit EmapXmlWriter(SiteBookTreeWidget* tree);

    bool write(QIODevice* device) override;

protected:
    void writeItem(QTreeWidgetItem* item) override;
};
