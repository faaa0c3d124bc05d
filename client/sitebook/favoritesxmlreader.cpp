#include "sitebook/favoritesxmlreader.h"

#include "session/sitebook.h"
#include "sitebook/autoconnect.h"
#include "sitebook/itemkind.h"
#include "sitebook/sitebookitem.h"
#include "sitebook/sitebooktreewidget.h"

FavoritesXmlReader::FavoritesXmlReader(SiteBookTreeWidget* tree)
    : XmlBookReader(tree)
    , m_favoriteIcon(QStringLiteral(":/res/Resource/favorite.png"))
    , m_favoriteItemIcon(QStringLiteral(":/res/Resource/favoritesitem.png"))
    , m_searchIcon(QStringLiteral(":/res/Resource/3.png"))
{}

void FavoritesXmlReader::readBook()
{
    while (m_xml.readNextStartElement()) {
        const ItemKind kind = ItemKindFromText(m_xml.name().toString());
        if (kind == ItemKind::Favorite || kind == ItemKind::SearchFavorite)
            readFavorite();
        else
            m_xml.skipCurrentElement();
    }
}

void FavoritesXmlReader::readFavorite()
{
    if (DryRun()) {
        m_xml.skipCurrentElement();
        return;
    }
    const QXmlStreamAttributes attrs = m_xml.attributes();
    const auto text = [&attrs](const char* key) { return attrs.value(QLatin1String(key)).toString(); };

    auto* record = new SiteBook;
    record->kind = m_xml.name().toString();
    record->name = text("name");
    record->cameomode = text("cameomode");
    record->favoritesdevice = text("favoritesdevice");
    record->favoriteschannel = text("favoriteschannel");
    record->favoritesmode = text("favoritesmode");

    auto* item = new SiteBookItem(m_pTree->GetFavoritesRoot(), record);
    item->setText(0, record->name);
    if (ItemKindFromText(record->kind) == ItemKind::SearchFavorite)
        item->setIcon(0, m_searchIcon);
    else if (IsAutoConnectOn(record->favoritesmode))
        item->setIcon(0, m_favoriteIcon);
    else
        item->setIcon(0, m_favoriteItemIcon);
    m_xml.skipCurrentElement();
}
