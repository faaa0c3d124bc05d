#include "ui/cdlgalarm.h"

#include <QToolButton>

CDlgAlarm::CDlgAlarm(ToolsPopupHost& host, bool xvidInstalled, bool encoderFound, QWidget* parent)
    : QWidget(parent)
    , m_host(host)
    , m_xvid(xvidInstalled)
    , m_encoder(encoderFound)
    , m_avi(new QToolButton(this))
    , m_print(new QToolButton(this))
{
    setFixedSize(kWidth, kHeight);
    setAutoFillBackground(true);
    m_avi->setText(QStringLiteral("AVI"));
    m_avi->setToolTip(QStringLiteral("AVI Convert"));
    m_avi->setGeometry(50, 15, 40, 27);
    m_print->setText(QStringLiteral("Print"));
    m_print->setToolTip(QStringLiteral("Print & Save"));
    m_print->setGeometry(50, 62, 40, 27);
    connect(m_avi, &QToolButton::clicked, this, &CDlgAlarm::OnAviConvert);
    connect(m_print, &QToolButton::clicked, this, &CDlgAlarm::OnPrint);
    hide();
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
