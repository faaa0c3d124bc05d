#include "ui/cmsgdlg.h"
#include "ui/cskinbutton.h"
#include "ui/skinbitmaps.h"
#include "ui/waitboxhost.h"

#include <QPainter>
#include <QThread>

CMsgDlg::CMsgDlg(WaitBoxHost& host, const QString& faceName, const QString& cancelText, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint)
    , m_host(host)
    , m_face(faceName)
    , m_background(SkinBitmaps::Load(299))
    , m_strip(SkinBitmaps::Load(298))
{
    setModal(false);
    resize(319, 175);
    m_cancel = new CSkinButton(cancelText, this);
    m_cancel->LoadBitmaps(300, 301, 301, 301);
    m_cancel->SetDrawCaption(true);
    m_cancel->SetFaceName(faceName);
    m_cancel->move((width() - m_cancel->width()) / 2, height() - m_cancel->height() - 14);
    connect(m_cancel, &QPushButton::clicked, this, &CMsgDlg::OnCancel);
    m_animation.setInterval(100);
    connect(&m_animation, &QTimer::timeout, this, [this] {
        m_frame = (m_frame + 1) % 4;
        update(QRect(140, 21, 40, 40));
    });
}

void CMsgDlg::ShowMessage(int steps, const QString& text, WaitBoxStyle style, int kind)
{
    m_animation.stop();
    const QRect main = m_host.MainDialogRect();
    move(main.left() + main.width() / 2 - width() / 2, main.top() + main.height() / 2 - height() / 2);
    m_counter.Show(steps, text, style, kind);
    show();
    raise();
    m_animation.start();
    m_cancel->setVisible(style != WaitBoxStyle::NoCancel);
    m_host.EnableMainDialog(false);
    m_host.EnableControlBar(false);
    update();
}

void CMsgDlg::Step(const QString& text)
{
    if (QThread::currentThread() != thread()) {
        QMetaObject::invokeMethod(
            this, [this, text] { StepNow(text); }, Qt::QueuedConnection);
        return;
    }
    StepNow(text);
}

void CMsgDlg::StepNow(const QString& text)
{
    if (m_counter.Step(text))
        Close();
    else
        update();
}

void CMsgDlg::OnCancel()
{
    const QVector<int> selected = m_host.SelectedCameos();
    int target = 0;
    for (const int tile : selected)
        target = qMax(target, tile);
    const CancelAction action = m_counter.Cancel();
    Close();
    m_host.CancelWaitBox(action, target);
}

void CMsgDlg::Close()
{
    m_animation.stop();
    if (!m_host.ExportRunning())
        m_host.EnableMainDialog(true);
    hide();
    m_host.EnableControlBar(true);
}

void CMsgDlg::reject() {}

void CMsgDlg::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.drawPixmap(rect(), m_background);
    QFont font(m_face);
    font.setPixelSize(20);
    font.setBold(true);
    painter.setFont(font);
    const int cx = width() / 2;
    const int cy = height() / 2;
    const QString text = m_counter.Text();
    const int half = painter.fontMetrics().horizontalAdvance(text) / 2;
    painter.setPen(Qt::black);
    painter.drawText(cx + 1 - half, cy + 31, text);
    painter.setPen(Qt::white);
    painter.drawText(cx - half, cy + 30, text);
    painter.drawPixmap(QPoint(140, 21), m_strip, QRect(m_frame * 40, 0, 40, 40));
}
