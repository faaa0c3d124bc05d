#include "ui/cosdsetupdlg.h"

#include "ui/osdsetuphost.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// The language text of a box, or the box's own caption when the table has none for the key
// ("EVENT" is not in it): a check box without a label cannot be told from the others.
QString Caption(const OsdSetupHost* host, const char* key, const char* own)
{
    const QString text = host->Text(QString::fromLatin1(key));
    return text.isEmpty() ? QString::fromLatin1(own) : text;
}

} // namespace

COSDSetupDlg::COSDSetupDlg(OsdSetupHost* host, QWidget* parent)
    : QDialog(parent)
    , m_host(host)
    , m_colour(host->GetOsdOptions().textColour)
    , m_cameraName(new QCheckBox(Caption(host, "CAMERA_NAME", "Camera Name"), this))
    , m_recorderName(new QCheckBox(Caption(host, "DVR_NAME", "File Name"), this))
    , m_time(new QCheckBox(Caption(host, "TIME", "Time"), this))
    , m_event(new QCheckBox(Caption(host, "EVENT", "Event"), this))
    , m_date(new QCheckBox(Caption(host, "DATE", "Date"), this))
    , m_tileNumber(new QCheckBox(QStringLiteral("Cameo Number"), this))
    , m_colourButton(new QPushButton(QStringLiteral("OSD Color"), this))
{
    setWindowTitle(host->Text(QStringLiteral("OSD_SETUP")));
    const OsdOptions options = host->GetOsdOptions();
    m_cameraName->setChecked(options.showCameraTitle);
    m_recorderName->setChecked(options.showRecorderName);
    m_date->setChecked(options.showDate);
    m_time->setChecked(options.showTime);
    m_event->setChecked(options.showEvent);
    m_tileNumber->setChecked(options.showTileNumber);

    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(Caption(host, "OK", "OK"), QDialogButtonBox::AcceptRole);
    buttons->addButton(Caption(host, "CANCEL", "Cancel"), QDialogButtonBox::RejectRole);
    auto* layout = new QVBoxLayout(this);
    for (QWidget* widget :
         {static_cast<QWidget*>(m_cameraName), static_cast<QWidget*>(m_recorderName),
          static_cast<QWidget*>(m_time), static_cast<QWidget*>(m_event), static_cast<QWidget*>(m_date),
          static_cast<QWidget*>(m_tileNumber), static_cast<QWidget*>(m_colourButton)}) {
        layout->addWidget(widget);
    }
    layout->addWidget(buttons);
    connect(m_colourButton, &QPushButton::clicked, this, &COSDSetupDlg::OnColour);
    connect(buttons, &QDialogButtonBox::accepted, this, &COSDSetupDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

OsdOptions COSDSetupDlg::Options() const
{
    OsdOptions options;
    options.showCameraTitle = m_cameraName->isChecked() ? 1 : 0;
    options.showRecorderName = m_recorderName->isChecked() ? 1 : 0;
    options.showDate = m_date->isChecked() ? 1 : 0;
    options.showTime = m_time->isChecked() ? 1 : 0;
    options.showEvent = m_event->isChecked() ? 1 : 0;
    options.showTileNumber = m_tileNumber->isChecked() ? 1 : 0;
    options.textColour = m_colour;
    return options;
}

void COSDSetupDlg::OnColour()
{
    int chosen = m_colour;
    if (m_host->ChooseColour(m_colour, &chosen)) {
        m_colour = chosen & 0xFFFFFF;
    }
}

void COSDSetupDlg::accept()
{
    m_host->SetOsdOptions(Options());
    m_host->RedrawAll();
    QDialog::accept();
}
