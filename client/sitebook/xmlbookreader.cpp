#include "sitebook/xmlbookreader.h"
#include "sitebook/sitebooklog.h"

#include <QCoreApplication>
#include <QDebug>
#include <QIODevice>

XmlBookReader::XmlBookReader(SiteBookTreeWidget* tree)
    : m_pTree(tree)
{}

XmlBookReader::~XmlBookReader() = default;

bool XmlBookReader::read(QIODevice* device)
{
    if (!device || !device->isReadable() || !m_pTree) {
        qCWarning(lcSiteBook) << "XmlBookReader: no readable device or no tree";
        return false;
    }
    m_xml.setDevice(device);
    if (m_xml.readNextStartElement()) {
        if (m_xml.name() == QLatin1String("zent")
            && m_xml.attributes().value(QLatin1String("version")) == QLatin1String("1.0"))
            readBook();
        else
            m_xml.raiseError(
                QCoreApplication::translate("XmlBookReader", "The file is not an zent version 1.0 file."));
    }
    if (m_xml.hasError())
        qCWarning(lcSiteBook) << "XmlBookReader:" << errorString();
    return !m_xml.hasError();
}

QString XmlBookReader::errorString() const
{
    return QStringLiteral("%1 (line %2, column %3)")
        .arg(m_xml.errorString())
        .arg(m_xml.lineNumber())
        .arg(m_xml.columnNumber());
}
