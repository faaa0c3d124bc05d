#pragma once
// The frame shared by the book readers: an XML document whose root element is "zent" with
// version="1.0"; a derived reader reads the entries below the root into the site book tree.
#include <QXmlStreamReader>

class QIODevice;
class SiteBookTreeWidget;

class XmlBookReader
{
public:
    explicit XmlBookReader(SiteBookTreeWidget* tree);
    virtual ~XmlBookReader();

    // Reads the whole document from an open, readable device; true when it was read without
    // an XML error. Entries are added to the tree as they are read.
    bool read(QIODevice* device);

    // The reader's error text after a failed read (with line and column).
    QString errorString() const;

protected:
    // Called with the reader on the root element; reads up to and including its end.
    virtual void readBook() = 0;

    QXmlStreamReader m_xml;
    SiteBookTreeWidget* m_pTree = nullptr;
};
