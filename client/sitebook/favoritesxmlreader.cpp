#include "sitebook/favoritesxmlreader.h"

#include "session/sitebook.h"
#include "sitebook/sitebookitem.h"
#include "sitebook/sitebooktreewidget.h"

namespace {
const QString kFavorite = QStringLiteral("favorites_item");
const QString kFavoriteSearch = QStringLiteral("favorites_item_search");
}

FavoritesXmlReader::FavoritesXmlReader(SiteBookTreeWidget* tree)
    : XmlBookReader(tree)
    , m_favoriteIcon(QStringLiteral(":/res/Resource/favorite.png"))
    , m_favoriteItemIcon(QStringLiteral(":/res/Resource/favoritesitem.png"))
    , m_searchIcon(QStringLiteral(":/res/Resource/3.png"))
{
}

void FavoritesXmlReader::readBook()
{
    while (m_xml.readNextStartElement()) {
        if (m_xml.name() == kFavorite || m_xml.name() == kFavoriteSearch)
            readFavorite();
        else
            m_xml.skipCurrentElement();
    }
}

void FavoritesXmlReader::readFavorite()
{
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
    if (record->kind == kFavoriteSearch)
        item->setIcon(0, m_searchIcon);
    else if (record->favoritesmode == QLatin1String("autoConnectOn"))
        item->setIcon(0, m_favoriteIcon);
    else
        item->setIcon(0, m_favoriteItemIcon);
    m_xml.skipCurrentElement();
}
