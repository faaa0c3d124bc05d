#include "console/configlayoutparser.h"

#include "console/consolelog.h"
#include "console/shutdowncaption.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QIODevice>

#include <algorithm>

namespace {

const QLatin1String kTableButton("btn_table_each_normal");

} // namespace

ConfigLayoutParser::ConfigLayoutParser(const ConsoleArea& area)
    : m_area(area)
{}

ConsoleLayout ConfigLayoutParser::Read(QIODevice* device)
{
    m_xml.clear();
    m_xml.setDevice(device);
    return ReadStream();
}

ConsoleLayout ConfigLayoutParser::Read(const QByteArray& document)
{
    m_xml.clear();
    m_xml.addData(document);
    return ReadStream();
}

ConsoleLayout ConfigLayoutParser::ReadStream()
{
    ConsoleLayout layout;
    if (m_xml.readNextStartElement()) {
        if (m_xml.name() == QLatin1String("zent")
            && m_xml.attributes().value(QLatin1String("version")) == QLatin1String("1.0")) {
            layout.rootAccepted = true;
            ReadElements(layout);
        } else {
            m_xml.raiseError(
                QCoreApplication::translate("ConfigXmlReader", "The file is not an zent version 1.0 file."));
        }
    }
    layout.ok = !m_xml.hasError();
    layout.error = m_xml.errorString();
    CollectRestartZones(layout);
    qCDebug(lcConsole) << "read" << layout.shutdownPage << layout.error;
    return layout;
}

void ConfigLayoutParser::ReadElements(ConsoleLayout& layout)
{
    bool ok = false;
    const int channel = m_xml.attributes().value(QLatin1String("channel")).toInt(&ok, 10);
    layout.channel = ok ? channel : -1;

    while (m_xml.readNextStartElement()) {
        if (layout.elements.size() >= ConsoleLayout::kMaxElements) {
            m_xml.skipCurrentElement();
            continue;
        }
        const QStringRef name = m_xml.name();
        ConsoleElement element;
        bool keep = true;
        if (name == QLatin1String("WINDOW")) {
            ReadWindow(element);
        } else if (name == QLatin1String("LABEL")) {
            // The last label decides: a shutdown caption anywhere before it does not count.
            layout.shutdownPage = ReadLabel(element);
        } else if (name == QLatin1String("BUTTON")) {
            keep = ReadButton(element, false);
        } else if (name == QLatin1String("EDIT")) {
            keep = ReadButton(element, true);
        } else if (name == QLatin1String("IMAGE")) {
            ReadImage(element);
        } else if (name == QLatin1String("SCROLL_BAR")) {
            element.kind = ConsoleElementKind::ScrollBar;
            ReadRange(element, true);
        } else if (name == QLatin1String("SLIDER")) {
            element.kind = ConsoleElementKind::Slider;
            ReadRange(element, false);
        } else if (name == QLatin1String("PROGRESSBAR")) {
            element.kind = ConsoleElementKind::ProgressBar;
            ReadRange(element, false);
        } else {
            m_xml.skipCurrentElement();
            continue;
        }
        if (keep)
            Keep(layout, std::move(element));
    }
    qCDebug(lcConsole) << "readXML()" << layout.shutdownPage;
}

void ConfigLayoutParser::Keep(ConsoleLayout& layout, ConsoleElement element)
{
    // A repeated id replaces the earlier element: the window keeps one widget per id.
    auto same = std::find_if(layout.elements.begin(), layout.elements.end(),
                             [&](const ConsoleElement& e) { return e.id == element.id; });
    if (same != layout.elements.end())
        layout.elements.erase(same);
    layout.elements.push_back(std::move(element));
}

QString ConfigLayoutParser::Text(const char* name) const
{
    return m_xml.attributes().value(QLatin1String(name)).left(ConsoleLayout::kMaxText).toString();
}

int ConfigLayoutParser::Number(const char* name) const
{
    bool ok = false;
    const int v = m_xml.attributes().value(QLatin1String(name)).toInt(&ok, 10);
    if (!ok)
        return 0;
    return std::clamp(v, -ConsoleLayout::kMaxCoordinate, ConsoleLayout::kMaxCoordinate);
}

void ConfigLayoutParser::ReadCommon(ConsoleElement& element)
{
    element.id = Text("id");
    element.imageName = Text("image_name");
    element.text = Text("text");
    element.rect = m_area.ToWindow(Number("x"), Number("y"), Number("width"), Number("height"));
    element.textPos = element.rect.topLeft();
}

void ConfigLayoutParser::ReadImageChildren(ConsoleElement& element)
{
    // Only as many pictures as the element announced, and never more than a widget holds.
    const int room = std::min(element.imageCount, int(ConsoleLayout::kMaxImages));
    while (m_xml.readNextStartElement()) {
        if (m_xml.name() == QLatin1String("IMAGE") && element.images.size() < room) {
            ConsoleImageSlot slot;
            slot.name = Text("image_name");
            slot.rect = m_area.ToWindow(Number("x"), Number("y"), Number("width"), Number("height"));
            element.images.push_back(slot);
        }
        m_xml.skipCurrentElement();
    }
}

void ConfigLayoutParser::ReadWindow(ConsoleElement& element)
{
    element.kind = ConsoleElementKind::Window;
    ReadCommon(element);
    element.imageCount = std::clamp(Number("image_count"), 0, int(ConsoleLayout::kMaxImages));
    ReadImageChildren(element);
}

bool ConfigLayoutParser::ReadLabel(ConsoleElement& element)
{
    element.kind = ConsoleElementKind::Label;
    ReadCommon(element);
    element.type = Text("type");
    element.align = Text("align_text");
    const bool shutdown = ShutdownCaption::Matches(element.text);
    qCDebug(lcConsole) << "label" << shutdown;
    // Labels sit a little to the right of the recorder's own position.
    element.rect.translate(10, 0);
    m_xml.skipCurrentElement();
    return shutdown;
}

bool ConfigLayoutParser::ReadButton(ConsoleElement& element, bool plain)
{
    element.kind = plain ? ConsoleElementKind::Edit : ConsoleElementKind::Button;
    ReadCommon(element);
    element.imageCount = std::clamp(Number("image_count"), 0, int(ConsoleLayout::kMaxImages));
    element.align = Text("align_text");
    if (!plain) {
        element.type = Text("type");
        qCDebug(lcConsole) << "Button" << element.rect << element.imageCount << element.imageName << element.text;
        if (element.type == QLatin1String("COLOR_BUTTON")) {
            if (element.rect.width() == 0 || element.rect.height() == 0) {
                m_xml.skipCurrentElement();
                return false;
            }
            element.colourButton = true;
            element.colour = QColor(std::clamp(Number("color_r"), 0, 255), std::clamp(Number("color_g"), 0, 255),
                                    std::clamp(Number("color_b"), 0, 255), 255);
        } else if (element.type == QLatin1String("CHECK_BUTTON")) {
            element.align = QStringLiteral("check_button");
        }
    }
    ReadImageChildren(element);
    return true;
}

void ConfigLayoutParser::ReadImage(ConsoleElement& element)
{
    qCDebug(lcConsole) << "image c8";
    element.kind = ConsoleElementKind::Image;
    ReadCommon(element);
    m_xml.skipCurrentElement();
}

void ConfigLayoutParser::ReadRange(ConsoleElement& element, bool rows)
{
    ReadCommon(element);
    element.minimum = Number("min");
    element.maximum = Number("max");
    element.value = Number("value");
    // A scroll bar scrolls by rows: its last position shows the last page of rows.
    if (rows)
        element.maximum = element.maximum - Number("rows") + 1;
    m_xml.skipCurrentElement();
}

void ConfigLayoutParser::CollectRestartZones(ConsoleLayout& layout)
{
    for (const ConsoleElement& e : qAsConst(layout.elements)) {
        if (layout.restartZones.size() >= ConsoleLayout::kMaxRestartZones)
            break;
        if (e.kind == ConsoleElementKind::Button && e.imageName == kTableButton)
            layout.restartZones.push_back(e.rect);
    }
}
