#pragma once
// Reads "sitebook.xml": "folder" and "device" elements, nested in folders, become folder and
// recorder session objects under the site book root, each placed among its siblings by name.
#include <QString>

#include "sitebook/xmlbookreader.h"

class CModuleDevice;
class QTreeWidgetItem;

class SiteBookXmlReader : public XmlBookReader
{
public:
    // Folders nested deeper than this make the book unreadable rather than exhaust the stack.
    static constexpr int kMaxFolderDepth = 100;

    explicit SiteBookXmlReader(SiteBookTreeWidget* tree);

protected:
    void readBook() override;

private:
    // Creates the session object and its record for the current "folder" or "device" element
    // under parent (the site book root when null).
    CModuleDevice* createDeviceItem(QTreeWidgetItem* parent);
    void readFolder(QTreeWidgetItem* parent, int depth);
    void readDevice(QTreeWidgetItem* parent);
    void readEntries(QTreeWidgetItem* parent, int depth);
};
