#include "ui/hpmessagebox.h"
#include "ui/cskinbutton.h"
#include "ui/hpimagemanager.h"

#include <QApplication>
#include <QPainter>

HPMessageBox::HPMessageBox(HPImageManager& images, const QString& skinFolder, const QString& faceName,
                           QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint)
    , m_face(faceName)
    , m_background(images.GetImage(skinFolder + QStringLiteral("BackGround.bmp")))
    , m_strip(images.GetImage(skinFolder + QStringLiteral("ConnectAni.bmp")))
{
    setModal(false);
    resize(m_background.isNull() ? QSize(319, 175) : m_background.size());
    m_cancel = new CSkinButton(QStringLiteral("Cancel"), this);
    m_cancel->LoadSkin(images, skinFolder, QStringLiteral("Button1.bmp"), QStringLiteral("Button2.bmp"),
                       QStringLiteral("Button2.bmp"), QStringLiteral("Button2.bmp"));
    m_cancel->resize(107, 26);
    m_cancel->SetDrawCaption(true);
    m_cancel->SetFaceName(faceName);
    m_cancel->move((width() - 107) / 2, height() - 26 - 12);
    m_cancel->hide();
    connect(m_cancel, &QPushButton::clicked, this, &HPMessageBox::Finish);
    m_tick.setInterval(100);
    connect(&m_tick, &QTimer::timeout, this, &HPMessageBox::OnTick);
}

int HPMessageBox::ShowBox(const MessageBoxRequest* request)
{
    if (request == nullptr)
        return 0;
    m_request = *request;
    if (!m_active) {
        if (QWidget* main = parentWidget()) {
            const QRect r = main->frameGeometry();
            move(r.left() + (r.width() - width()) / 2, r.top() + (r.height() - height()) / 2);
        }
        show();
        raise();
        m_active = true;
        if (m_request.beep) {
            QApplication::beep();
            emit beepRequested();
        }
    }
    m_cancel->setVisible(m_request.showCancel);
    if (m_request.windowToDisable)
        m_request.windowToDisable->setEnabled(false);
    m_started.start();
    m_tick.start();
    update();
    return 1;
}

void HPMessageBox::OnTick()
{
    if (!m_active || m_started.elapsed() > m_request.durationMs) {
        Finish();
        return;
    }
    if (m_request.animate) {
        m_frame = (m_frame + 1) % 4;
        update(QRect(140, 21, 40, 40));
    }
}

void HPMessageBox::Finish()
{
    m_tick.stop();
    if (m_request.windowToDisable)
        m_request.windowToDisable->setEnabled(true);
    m_active = false;
    hide();
}

void HPMessageBox::reject()
{
    Finish();
}

void HPMessageBox::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.drawPixmap(rect(), m_background);
    QFont font(m_face);
    font.setPixelSize(20);
    font.setBold(true);
    painter.setFont(font);
    const int cx = width() / 2;
    const int cy = height() / 2;
    auto line = [&](const QString& text, int y) {
        const int half = painter.fontMetrics().horizontalAdvance(text) / 2;
        painter.setPen(Qt::black);
        painter.drawText(cx + 1 - half, y + 1, text);
        painter.setPen(Qt::white);
        painter.drawText(cx - half, y, text);
    };
    line(m_request.firstLine, cy);
    line(m_request.secondLine, cy + 30);
    if (!m_strip.isNull())
        painter.drawPixmap(QPoint(140, 21), m_strip, QRect(m_frame * 40, 0, 40, 40));
}
