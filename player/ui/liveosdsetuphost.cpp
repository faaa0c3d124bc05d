#include "ui/liveosdsetuphost.h"

#include <QColorDialog>

LiveOsdSetupHost::LiveOsdSetupHost(HPLiveControl* engine, std::function<QString(const QString&)> text,
                                   QWidget* parent)
    : m_engine(engine)
    , m_text(std::move(text))
    , m_parent(parent)
{}

OsdOptions LiveOsdSetupHost::GetOsdOptions() const
{
    return m_engine->GetOsdOptions();
}

void LiveOsdSetupHost::SetOsdOptions(const OsdOptions& options)
{
    m_engine->SetOsdOptions(options);
}

void LiveOsdSetupHost::RedrawAll()
{
    m_engine->RedrawAll();
}

QString LiveOsdSetupHost::Text(const QString& key) const
{
    return m_text ? m_text(key) : key;
}

bool LiveOsdSetupHost::ChooseColour(int current, int* chosen)
{
    const QColor colour = QColorDialog::getColor(QColor(QRgb(current)), m_parent);
    if (!colour.isValid()) {
        return false;
    }
    *chosen = int(colour.rgb() & 0xFFFFFF);
    return true;
}
