#include "sitebook/sitebookxmlwriter.h"

#include <QDebug>
#include <QIODevice>
#include <QTreeWidgetItem>

#include "session/sitebook.h"
#include "sitebook/itemkind.h"
#include "sitebook/sitebooklog.h"
#include "sitebook/sitebooktreewidget.h"

SiteBookXmlWriter::SiteBookXmlWriter(SiteBookTreeWidget* tree)
    : m_pTree(tree)
{
    m_xml.setAutoFormatting(true);
}

SiteBookXmlWriter::~SiteBookXmlWriter() = default;

void SiteBookXmlWriter::beginBook(QIODevice* device)
{
    m_xml.setDevice(device);
    m_xml.writeStartDocument();
    m_xml.writeStartElement(QStringLiteral("zent"));
    m_xml.writeAttribute(QStringLiteral("version"), QStringLiteral("1.0"));
}

bool SiteBookXmlWriter::endBook()
{
    m_xml.writeEndDocument();
    if (m_xml.hasError()) {
        qCWarning(lcSiteBook) << "SiteBookXmlWriter: the device refused the book";
        return false;
    }
    return true;
}

bool SiteBookXmlWriter::write(QIODevice* device)
{
    if (!device || !device->isWritable() || !m_pTree) {
        qCWarning(lcSiteBook) << "SiteBookXmlWriter: no writable device";
        return false;
    }
    beginBook(device);
    for (int i = 0; i < m_pTree->topLevelItemCount(); ++i)
        writeItem(m_pTree->topLevelItem(i));
    return endBook();
}

void SiteBookXmlWriter::writeItem(QTreeWidgetItem* item)
{
    const SiteBook* record = SiteBook::FromItem(item);
    if (!record)
        return;
    switch (ItemKindFromText(record->kind)) {
    case ItemKind::Folder:
        m_xml.writeStartElement(ItemKindText(ItemKind::Folder));
        m_xml.writeAttribute(QStringLiteral("name"), record->name);
        m_xml.writeAttribute(QStringLiteral("folded"),
                             item->isExpanded() ? QStringLiteral("no") : QStringLiteral("yes"));
        for (int i = 0; i < item->childCount(); ++i)
            writeItem(item->child(i));
        m_xml.writeEndElement();
        break;
    case ItemKind::Recorder:
        m_xml.writeStartElement(ItemKindText(ItemKind::Recorder));
        m_xml.writeAttribute(QStringLiteral("name"), record->name);
        m_xml.writeAttribute(QStringLiteral("addr"), record->addr);
        m_xml.writeAttribute(QStringLiteral("port"), record->port);
        m_xml.writeAttribute(QStringLiteral("id"), record->id);
        m_xml.writeAttribute(QStringLiteral("password"), record->password);
        m_xml.writeAttribute(QStringLiteral("emapPath"), record->emapPath);
        m_xml.writeAttribute(QStringLiteral("emapPos"), record->emapPos);
        m_xml.writeAttribute(QStringLiteral("quality"), QString::number(record->quality));
        m_xml.writeAttribute(QStringLiteral("use_ssl"), QString::number(record->use_ssl));
        for (int i = 0; i < SiteBook::CameraCount; ++i) {
            m_xml.writeAttribute(QStringLiteral("emapCameraPath%1").arg(i), record->emapCameraPath[i]);
            m_xml.writeAttribute(QStringLiteral("emapCameraPos%1").arg(i), record->emapCameraPos[i]);
        }
        m_xml.writeEndElement();
        break;
    case ItemKind::SiteBookRoot:
        // The site book root has no element of its own: its entries go straight below "zent".
        for (int i = 0; i < item->childCount(); ++i)
            writeItem(item->child(i));
        break;
    default: break;
    }
}
