#include "panels/cmodulenetworkstatus.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>

#include "panels/networkusage.h"
#include "session/recordersession.h"
#include "session/sessionhub.h"

namespace {

QFrame* Separator(QWidget* parent)
{
    auto* line = new QFrame(parent);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

QString LimitLine(qint64 kilobytes)
{
    return QStringLiteral("Limit Size : ") + NetworkUsageSize::Text(kilobytes, NetworkUsageSize::Unit::KB);
}

QString UsageLine(qint64 bytes)
{
    return QStringLiteral("Usage Size : ") + NetworkUsageSize::Text(bytes / 1024, NetworkUsageSize::Unit::KB);
}

} // namespace

CModuleNetworkStatus::CModuleNetworkStatus(QWidget* parent)
    : CPopupDialog(parent)
{
    setWindowTitle(QStringLiteral("Network Status"));
    auto* column = new QVBoxLayout(this);
    // The pop-up paints its own title bar at the top.
    column->setContentsMargins(10, 34, 10, 10);
    m_limit = new QCheckBox(QStringLiteral("Network Usage Limits"), this);
    m_warning = new QCheckBox(QStringLiteral("Network Usage Warning"), this);
    m_slider = new QSlider(Qt::Horizontal, this);
    m_slider->setMinimumWidth(250);
    m_slider->setRange(0, NetworkUsageSize::kLastPosition);
    m_slider->setSingleStep(1);
    m_limitLabel = new QLabel(QStringLiteral("Limit Size : 0 KB"), this);
    m_usageLabel = new QLabel(QStringLiteral("Usage Size : 0 KB"), this);
    auto* close = new QPushButton(QStringLiteral("Close"), this);
    column->addWidget(m_limit);
    column->addWidget(m_warning);
    column->addWidget(Separator(this));
    column->addWidget(m_slider);
    column->addWidget(m_limitLabel);
    column->addWidget(m_usageLabel);
    column->addWidget(Separator(this));
    column->addWidget(close);

    connect(m_slider, &QSlider::valueChanged, this, &CModuleNetworkStatus::limitChanged);
    connect(m_limit, &QCheckBox::clicked, this, &CModuleNetworkStatus::onBtnClickedLimit);
    connect(m_warning, &QCheckBox::clicked, this, &CModuleNetworkStatus::onBtnClickedNoti);
    connect(close, &QPushButton::clicked, this, &QDialog::close);
}

RecorderSession* CModuleNetworkStatus::Device() const
{
    SessionHub* hub = SessionHub::Instance();
    return hub ? hub->GetDevice(m_recorder) : nullptr;
}

QString CModuleNetworkStatus::LimitText() const
{
    return m_limitLabel->text();
}

QString CModuleNetworkStatus::UsageText() const
{
    return m_usageLabel->text();
}

void CModuleNetworkStatus::SetDevice(int recorder)
{
    m_recorder = recorder;
    RecorderSession* device = Device();
    if (!device)
        return;
    const NetworkUsage settings = device->GetNetworkUsage();
    m_limitLabel->setText(LimitLine(settings.limitPosition * NetworkUsageSize::kStoredStepKB));
    m_usageLabel->setText(UsageLine(settings.usage));
    m_limit->setChecked(settings.limitOn);
    m_warning->setChecked(settings.warningOn);
    EnableSlider();
    m_slider->setTracking(true);
    {
        // Placing the slider on the stored position is not a change of the limit.
        const QSignalBlocker quiet(m_slider);
        m_slider->setValue(int(settings.limitPosition));
    }
    connect(device, &RecorderSession::usageData, this, &CModuleNetworkStatus::UsageChanged, Qt::UniqueConnection);
}

void CModuleNetworkStatus::UsageChanged(qlonglong bytes)
{
    m_usageLabel->setText(UsageLine(bytes));
}

void CModuleNetworkStatus::limitChanged(int position)
{
    m_limitLabel->setText(LimitLine(NetworkUsageSize::LimitKB(position)));
    if (RecorderSession* device = Device())
        device->GetNetworkUsage().limitPosition = position;
}

void CModuleNetworkStatus::EnableSlider()
{
    m_slider->setEnabled(m_limit->isChecked() || m_warning->isChecked());
}

void CModuleNetworkStatus::onBtnClickedLimit()
{
    if (RecorderSession* device = Device())
        device->GetNetworkUsage().limitOn = m_limit->isChecked();
    EnableSlider();
}

void CModuleNetworkStatus::onBtnClickedNoti()
{
    if (RecorderSession* device = Device())
        device->GetNetworkUsage().warningOn = m_warning->isChecked();
    EnableSlider();
}
