#pragma once
// Reads "favorites.xml": each "favorites_item" or "favorites_item_search" element becomes a
// favorite appended under the favorites root. The root is not cleared first.
#include <QIcon>

#include "sitebook/xmlbookreader.h"

class FavoritesXmlReader : public XmlBookReader
{
public:
    explicit FavoritesXmlReader(SiteBookTreeWidget* tree);

protected:
    void readBook() override;

private:
    void readFavorite();

    QIcon m_favoriteIcon;     // the favorite that connects at start
    QIcon m_favoriteItemIcon; // any other live favorite
    QIcon m_searchIcon;       // a favorite that opens a search
};
