#include "sitebook/emapxmlreader.h"

#include "session/sitebook.h"
#include "sitebook/itemkind.h"
#include "sitebook/sitebookitem.h"
#include "sitebook/sitebooktreewidget.h"

EmapXmlReader::EmapXmlReader(SiteBookTreeWidget* tree)
    : XmlBookReader(tree)
    , m_emapIcon(QStringLiteral(":/res/Resource/5.png"))
{}

void EmapXmlReader::readBook()
{
    while (m_xml.readNextStartElement()) {
        if (ItemKindFromText(m_xml.name().toString()) == ItemKind::EmapEntry)
            readEntry();
        else
            m_xml.skipCurrentElement();
    }
}

void EmapXmlReader::readEntry()
{
    if (DryRun()) {
        m_xml.skipCurrentElement();
        return;
    }
    const QXmlStreamAttributes attrs = m_xml.attributes();
    const auto text = [&attrs](const char* key) { return attrs.value(QLatin1String(key)).toString(); };

    auto* record = new SiteBook;
    record->kind = ItemKindText(ItemKind::EmapEntry);
    record->name = text("name");
    record->favoritesdevice = text("favoritesdevice");
    record->favoriteschannel = text("favoriteschannel");
    record->emapPath = text("emapPath");
    record->emapPos = text("emapPos");
    record->index = m_pTree->GetFreeEmapIndex();
    if (record->index >= 0)
        m_pTree->SetEmapIndex(record->index, true);

    auto* item = new SiteBookItem(m_pTree->GetEmapRoot(), record);
    item->setText(0, record->name);
    item->setIcon(0, m_emapIcon);
    m_xml.skipCurrentElement();
}
