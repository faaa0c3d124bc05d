#include "console/configxmlreader.h"

#include "console/configlayoutparser.h"
#include "console/configview.h"
#include "console/consolehost.h"
#include "console/consolelog.h"
#include "widgets/imagefontlabel.h"
#include "widgets/imagelabel.h"
#include "widgets/imagepushbutton.h"
#include "widgets/imagescrollbar.h"
#include "widgets/imageslider.h"

#include <QImage>
#include <QLabel>
#include <QProgressBar>

ConfigXmlReader::ConfigXmlReader(ConfigView* view)
    : m_view(view)
{}

void ConfigXmlReader::setStartMousePos(int x, int y)
{
    m_area.SetOrigin(x, y);
}

void ConfigXmlReader::setWidgetSize(int width, int height)
{
    m_area.SetSize(width, height);
}

void ConfigXmlReader::setResolutionInfo(int x, int y)
{
    m_area.SetResolution(x, y);
}

bool ConfigXmlReader::read(QIODevice* device)
{
    m_shutdownPage = 0;
    ConfigLayoutParser parser(m_area);
    m_layout = parser.Read(device);
    if (m_layout.rootAccepted) {
        m_channel = m_layout.channel;
        m_shutdownPage = m_layout.shutdownPage ? 1 : 0;
        Build();
    }
    if (!m_layout.ok)
        qCDebug(lcConsole) << "console layout:" << m_layout.error;
    return m_layout.ok;
}

void ConfigXmlReader::Build()
{
    m_view->clearConsoleWidgets();
    for (const ConsoleElement& element : qAsConst(m_layout.elements)) {
        QWidget* widget = Create(element);
        if (!widget)
            continue;
        widget->setGeometry(element.rect);
        widget->show();
        m_view->AddConsoleWidget(element.id, widget);
    }
    m_view->SetRestartZones(m_layout.restartZones);
    if (m_layout.HasBackground())
        m_view->createBackground(m_layout.channel, m_area.BackgroundRect());
}

QWidget* ConfigXmlReader::Create(const ConsoleElement& element)
{
    switch (element.kind) {
    case ConsoleElementKind::Window: return CreateWindow(element);
    case ConsoleElementKind::Label: return CreateLabel(element);
    case ConsoleElementKind::Button:
    case ConsoleElementKind::Edit: return CreateButton(element);
    case ConsoleElementKind::Image: return CreateImage(element);
    case ConsoleElementKind::ScrollBar:
    case ConsoleElementKind::Slider:
    case ConsoleElementKind::ProgressBar: return CreateRange(element);
    }
    return nullptr;
}

QWidget* ConfigXmlReader::CreateWindow(const ConsoleElement& element)
{
    auto* label = new imageLabel(element.imageCount, m_view);
    for (int i = 0; i < element.images.size(); ++i) {
        const ConsoleImageSlot& slot = element.images[i];
        label->SetImage(slot.name, slot.rect.x(), slot.rect.y(), slot.rect.width(), slot.rect.height(), i);
    }
    label->SetTextPos(element.textPos.x(), element.textPos.y());
    return label;
}

QWidget* ConfigXmlReader::CreateLabel(const ConsoleElement& element)
{
    QLabel* label = nullptr;
    if (element.type == QLatin1String("LABEL")) {
        label = new imageFontLabel(m_view);
        label->setText(element.text);
    } else {
        label = new QLabel(element.text, m_view);
    }
    if (element.align.contains(QLatin1String("center")))
        label->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    // Presses belong to the window, which forwards them to the recorder.
    label->setAttribute(Qt::WA_TransparentForMouseEvents);
    return label;
}

QWidget* ConfigXmlReader::CreateButton(const ConsoleElement& element)
{
    auto* button = new imagePushButton(element.text, element.imageCount, m_view);
    if (element.colourButton)
        button->SetTextColor(element.colour, 1);
    for (int i = 0; i < element.images.size(); ++i) {
        const ConsoleImageSlot& slot = element.images[i];
        button->SetImage(slot.name, slot.rect.x(), slot.rect.y(), slot.rect.width(), slot.rect.height(), i);
    }
    button->SetText(element.textPos.x(), element.textPos.y(), element.align);
    return button;
}

QWidget* ConfigXmlReader::CreateImage(const ConsoleElement& element)
{
    const QPixmap bitmap = m_view->Host()->LoadDeviceImage(element.imageName, 0, m_view->recorderIndex());
    if (bitmap.isNull())
        return nullptr;
    QImage picture = bitmap.toImage().convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < picture.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < picture.width(); ++x)
            if ((row[x] & 0x00FFFFFF) == 0x00FF00FF)
                row[x] = 0;
    }
    auto* label = new QLabel(m_view);
    label->setPixmap(QPixmap::fromImage(picture));
    label->setAttribute(Qt::WA_TransparentForMouseEvents);
    return label;
}

QWidget* ConfigXmlReader::CreateRange(const ConsoleElement& element)
{
    if (element.kind == ConsoleElementKind::ProgressBar) {
        auto* bar = new QProgressBar(m_view);
        bar->setRange(0, 100);
        bar->setValue(element.value);
        bar->setAttribute(Qt::WA_TransparentForMouseEvents);
        return bar;
    }
    if (element.kind == ConsoleElementKind::ScrollBar) {
        auto* bar = new imageScrollBar(m_view);
        bar->setMinimum(element.minimum);
        bar->setMaximum(element.maximum);
        bar->setValue(element.value);
        return bar;
    }
    auto* slider = new imageSlider(m_view);
    slider->setOrientation(Qt::Horizontal);
    slider->setMinimum(element.minimum);
    slider->setMaximum(element.maximum);
    slider->setValue(element.value);
    return slider;
}
