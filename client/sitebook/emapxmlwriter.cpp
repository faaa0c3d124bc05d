#include "sitebook/emapxmlwriter.h"

#include <QDebug>
#include <QIODevice>
#include <QTreeWidgetItem>

#include "session/sitebook.h"
#include "sitebook/itemkind.h"
#include "sitebook/sitebooklog.h"
#include "sitebook/sitebooktreewidget.h"

EmapXmlWriter::EmapXmlWriter(SiteBookTreeWidget* tree)
    : SiteBookXmlWriter(tree)
{}

bool EmapXmlWriter::write(QIODevice* device)
{
    if (!device || !device->isWritable() || !m_pTree) {
        qCWarning(lcSiteBook) << "EmapXmlWriter: no writable device";
        return false;
    }
    beginBook(device);
    writeItem(m_pTree->GetEmapRoot());
    return endBook();
}

void EmapXmlWriter::writeItem(QTreeWidgetItem* item)
{
    const SiteBook* record = SiteBook::FromItem(item);
    if (!record)
        return;
    const ItemKind kind = ItemKindFromText(record->kind);
    if (kind == ItemKind::EmapRoot) {
        // The root has no element of its own: its entries go straight below "zent".
        for (int i = 0; i < item->childCount(); ++i)
            writeItem(item->child(i));
    } else if (kind == ItemKind::EmapEntry) {
        m_xml.writeStartElement(ItemKindText(ItemKind::EmapEntry));
        m_xml.writeAttribute(QStringLiteral("name"), record->name);
        m_xml.writeAttribute(QStringLiteral("favoritesdevice"), record->favoritesdevice);
        m_xml.writeAttribute(QStringLiteral("favoriteschannel"), record->favoriteschannel);
        m_xml.writeAttribute(QStringLiteral("emapPath"), record->emapPath);
        m_xml.writeAttribute(QStringLiteral("emapPos"), record->emapPos);
        m_xml.writeEndElement();
    }
}
