#include "sitebook/sitebookxmlreader.h"

#include "session/recordersession.h"
#include "session/sitebook.h"
#include "sitebook/itemkind.h"
#include "sitebook/sitebooksessions.h"
#include "sitebook/sitebooktreewidget.h"

SiteBookXmlReader::SiteBookXmlReader(SiteBookTreeWidget* tree)
    : XmlBookReader(tree)
{}

void SiteBookXmlReader::readBook()
{
    readEntries(nullptr, 0);
}

void SiteBookXmlReader::readEntries(QTreeWidgetItem* parent, int depth)
{
    // The elements are named as the kinds of the entries they hold.
    while (m_xml.readNextStartElement()) {
        const ItemKind kind = ItemKindFromText(m_xml.name().toString());
        if (kind == ItemKind::Folder)
            readFolder(parent, depth + 1);
        else if (kind == ItemKind::Recorder)
            readDevice(parent);
        else
            m_xml.skipCurrentElement();
    }
}

CModuleDevice* SiteBookXmlReader::createDeviceItem(QTreeWidgetItem* parent)
{
    const QXmlStreamAttributes attrs = m_xml.attributes();
    const auto text = [&attrs](const QString& key) { return attrs.value(key).toString(); };

    auto* record = new SiteBook;
    record->kind = m_xml.name().toString();
    record->name = text(QStringLiteral("name"));
    record->addr = text(QStringLiteral("addr"));
    record->port = text(QStringLiteral("port"));
    record->id = text(QStringLiteral("id"));
    record->password = text(QStringLiteral("password"));
    record->emapPath = text(QStringLiteral("emapPath"));
    record->emapPos = text(QStringLiteral("emapPos"));
    record->quality = text(QStringLiteral("quality")).toInt();
    if (record->quality != 1 && record->quality != 2)
        record->quality = 1;
    record->use_ssl = text(QStringLiteral("use_ssl")).toInt();
    for (int i = 0; i < SiteBook::CameraCount; ++i) {
        record->emapCameraPath[i] = text(QStringLiteral("emapCameraPath%1").arg(i));
        record->emapCameraPos[i] = text(QStringLiteral("emapCameraPos%1").arg(i));
    }

    const EntryMode mode = ItemKindFromText(record->kind) == ItemKind::Recorder ? EntryMode::Recorder
                                                                                : EntryMode::Folder;
    CModuleDevice* device = m_pTree->createTreeItem(parent, record, mode);
    if (mode == EntryMode::Recorder)
        SiteBookSessions::Session(device)->LoadSiteBookInfo();
    return device;
}

void SiteBookXmlReader::readFolder(QTreeWidgetItem* parent, int depth)
{
    if (depth > kMaxFolderDepth) {
        m_xml.raiseError(QStringLiteral("Folders nested deeper than %1 levels.").arg(kMaxFolderDepth));
        return;
    }
    if (DryRun()) {
        readEntries(nullptr, depth);
        return;
    }
    QTreeWidgetItem* folder = SiteBookSessions::Item(createDeviceItem(parent));
    const QXmlStreamAttributes attrs = m_xml.attributes();
    folder->setText(0, attrs.value(QLatin1String("name")).toString());
    folder->setExpanded(attrs.value(QLatin1String("folded")) == QLatin1String("no"));
    folder->setIcon(0, m_pTree->FolderIcon());
    readEntries(folder, depth);
}

void SiteBookXmlReader::readDevice(QTreeWidgetItem* parent)
{
    if (DryRun()) {
        m_xml.skipCurrentElement();
        return;
    }
    CModuleDevice* device = createDeviceItem(parent);
    QTreeWidgetItem* item = SiteBookSessions::Item(device);
    item->setText(0, m_xml.attributes().value(QLatin1String("name")).toString());
    item->setIcon(0, m_pTree->DisconnectedIcon());
    m_pTree->AddRecorderChildren(item);
    m_xml.skipCurrentElement();
}
