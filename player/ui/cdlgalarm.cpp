#include "ui/cdlgalarm.h"

#include "ui/cskinbutton.h"
#include "ui/skinbitmaps.h"
#include "ui/skintooltip.h"

#include <QBitmap>
#include <QPainter>

CDlgAlarm::CDlgAlarm(ToolsPopupHost& host, bool xvidInstalled, bool encoderFound, QWidget* parent)
    : QWidget(parent)
    , m_host(host)
    , m_xvid(xvidInstalled)
    , m_encoder(encoderFound)
    , m_background(SkinBitmaps::Load(kBackgroundBitmap))
    , m_avi(new CSkinButton(QString(), this))
    , m_print(new CSkinButton(QString(), this))
{
    setFixedSize(kWidth, kHeight);
    // The panel has the shape of its bitmap: what is magenta there is not part of the window.
    if (!m_background.isNull())
        setMask(m_background.createMaskFromColor(QColor(255, 0, 255), Qt::MaskInColor));
    m_avi->LoadBitmaps(318, 315, 318, 315);
    m_avi->setToolTip(QStringLiteral("AVI Convert"));
    m_avi->setGeometry(50, 15, 40, 27);
    m_print->LoadBitmaps(316, 317, 316, 317);
    m_print->setToolTip(QStringLiteral("Print & Save"));
    m_print->setGeometry(50, 62, 40, 27);
    SkinTooltip::Apply(this, {m_avi, m_print});
    connect(m_avi, &CSkinButton::clicked, this, &CDlgAlarm::OnAviConvert);
    connect(m_print, &CSkinButton::clicked, this, &CDlgAlarm::OnPrint);
    hide();
}

void CDlgAlarm::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (m_background.isNull())
        painter.fillRect(rect(), palette().window());
    else
        painter.drawPixmap(0, 0, m_background);
}

void CDlgAlarm::ShowPopup(bool show)
{
    if (!show) {
        hide();
        return;
    }
    if (QWidget* owner = parentWidget())
        move(owner->width() - 177, owner->height() - 128);
    QWidget::show();
}

void CDlgAlarm::OnAviConvert()
{
    if (m_xvid) {
        m_host.SetXvidFlag(true);
    } else {
        if (m_host.AskInstallCodec()) {
            m_host.RevealCodecInstaller();
            return;
        }
        m_host.SetXvidFlag(false); // the export goes on with Video 1
    }
    const int tile = m_host.LastSelectedTile();
    if (tile < 0 || !m_host.TilePlaysFile(tile)) {
        m_host.Beep();
        return;
    }
    m_host.OpenAviExport(tile, m_encoder && m_xvid);
}

void CDlgAlarm::OnPrint()
{
    const int tile = m_host.LastSelectedTile();
    if (tile < 0 || !m_host.TilePlaysFile(tile)) {
        m_host.Beep();
        return;
    }
    m_host.OpenPrintSave(tile);
}
