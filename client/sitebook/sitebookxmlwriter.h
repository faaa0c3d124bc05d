#pragma once
// Writes "sitebook.xml": the frame (root "zent", version="1.0", automatic formatting) and the
// folders and recorders under the site book root, in tree order. The e-map and favorites
// writers share the frame.
#include <QXmlStreamWriter>

class QIODevice;
class QTreeWidgetItem;
class SiteBookTreeWidget;

class SiteBookXmlWriter
{
public:
    explicit SiteBookXmlWriter(SiteBookTreeWidget* tree);
    virtual ~SiteBookXmlWriter();

    // Writes the whole document to an open, writable device; false when the device refused
    // the bytes.
    virtual bool write(QIODevice* device);

protected:
    // Starts the document and the root element, and ends the document.
    void beginBook(QIODevice* device);
    bool endBook();

    // Writes one item (and what belongs below it) by its record's kind.
    virtual void writeItem(QTreeWidgetItem* item);

    QXmlStreamWriter m_xml;
    SiteBookTreeWidget* m_pTree = nullptr;
};
