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

    // A dry run reads the document as a real one does, with every check, but adds nothing to
    // the tree: a book is read once dry, and only when that succeeds is the tree touched.
    void SetDryRun(bool dryRun) { m_dryRun = dryRun; }

protected:
    bool DryRun() const { return m_dryRun; }

    // Called with the reader on the root element; reads up to and including its end.
    virtual void readBook() = 0;

    QXmlStreamReader m_xml;
    SiteBookTreeWidget* m_pTree = nullptr;

private:
    bool m_dryRun = false;
};
