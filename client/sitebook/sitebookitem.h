#pragma once
// A plain item of the site book tree (the three roots, a recorder's "Archive" and "Emap"
// children, e-map entries, favorites) that owns the record it carries.
#include <QTreeWidgetItem>
#include <memory>

#include "session/sitebook.h"

class CModuleDevice;

class SiteBookItem : public QTreeWidgetItem
{
public:
    static constexpr int ItemType = QTreeWidgetItem::UserType + 101;

    // Takes ownership of the record and stores it as the item's data (column 0, user role).
    SiteBookItem(QTreeWidgetItem* parent, SiteBook* record);
    SiteBookItem(QTreeWidget* view, SiteBook* record);
    ~SiteBookItem() override;

    SiteBook* Record() const { return m_record.get(); }

    // Makes a session object (recorder or folder item) the owner of the record it carries: the
    // record is deleted together with the session object.
    static void GiveRecordTo(CModuleDevice* device, SiteBook* record);

private:
    std::unique_ptr<SiteBook> m_record;
};
