#include "sitebook/sitebookitem.h"

#include <QObject>

#include "session/recordersession.h"
#include "sitebook/sitebooksessions.h"

SiteBookItem::SiteBookItem(QTreeWidgetItem* parent, SiteBook* record)
    : QTreeWidgetItem(parent, ItemType)
    , m_record(record)
{
    SiteBook::SetOnItem(this, m_record.get());
}

SiteBookItem::SiteBookItem(QTreeWidget* view, SiteBook* record)
    : QTreeWidgetItem(view, ItemType)
    , m_record(record)
{
    SiteBook::SetOnItem(this, m_record.get());
}

SiteBookItem::~SiteBookItem() = default;

void SiteBookItem::GiveRecordTo(CModuleDevice* device, SiteBook* record)
{
    if (!device) {
        delete record;
        return;
    }
    SiteBook::SetOnItem(SiteBookSessions::Item(device), record);
    if (!record)
        return;
    // destroyed() comes from the QObject part, after the tree item part and its children are
    // gone, so nothing reads the record any more.
    QObject::connect(SiteBookSessions::Session(device), &QObject::destroyed, [record] { delete record; });
}
