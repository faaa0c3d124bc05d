#include "sitebook/favoritesxmlwriter.h"

#include <QDebug>
#include <QIODevice>
#include <QTreeWidgetItem>

#include "session/sitebook.h"
#include "sitebook/itemkind.h"
#include "sitebook/sitebooklog.h"
#include "sitebook/sitebooktreewidget.h"

FavoritesXmlWriter::FavoritesXmlWriter(SiteBookTreeWidget* tree)
    : SiteBookXmlWriter(tree)
{}

bool FavoritesXmlWriter::write(QIODevice* device)
{
    if (!device || !device->isWritable() || !m_pTree) {
        qCWarning(lcSiteBook) << "FavoritesXmlWriter: no writable device";
        return false;
    }
    beginBook(device);
    writeItem(m_pTree->GetFavoritesRoot());
    return endBook();
}

void FavoritesXmlWriter::writeItem(QTreeWidgetItem* item)
{
    const SiteBook* record = SiteBook::FromItem(item);
    if (!record)
        return;
    const ItemKind kind = ItemKindFromText(record->kind);
    if (kind == ItemKind::FavoritesRoot) {
        // The root has no element of its own: its entries go straight below "zent".
        for (int i = 0; i < item->childCount(); ++i)
            writeItem(item->child(i));
    } else if (kind == ItemKind::Favorite || kind == ItemKind::SearchFavorite) {
        m_xml.writeStartElement(record->kind);
        m_xml.writeAttribute(QStringLiteral("name"), record->name);
        m_xml.writeAttribute(QStringLiteral("cameomode"), record->cameomode);
        m_xml.writeAttribute(QStringLiteral("favoritesdevice"), record->favoritesdevice);
        m_xml.writeAttribute(QStringLiteral("favoriteschannel"), record->favoriteschannel);
        m_xml.writeAttribute(QStringLiteral("favoritesmode"), record->favoritesmode);
        m_xml.writeEndElement();
    }
}
