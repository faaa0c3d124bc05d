#pragma once
// Reads "emap.xml": each "emap_item" element becomes an e-map entry appended under the e-map
// root, holding the lowest free e-map slot (-1 when none is free). The root is not cleared first.
#include <QIcon>

#include "sitebook/xmlbookreader.h"

class EmapXmlReader : public XmlBookReader
{
public:
    explicit EmapXmlReader(SiteBookTreeWidget* tree);

protected:
    void readBook() override;

private:
    void readEntry();

    QIcon m_emapIcon;
};
