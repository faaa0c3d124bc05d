#include "ui/cpreviewdlg.h"

#include <QMetaObject>
#include <QMouseEvent>
#include <QPainter>

CPreviewDlg::CPreviewDlg(int number, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint)
    , m_strip(number)
{
    setAttribute(Qt::WA_ShowWithoutActivating);
    resize(300, 200);
    hide();
}

void CPreviewDlg::ShowPreview(int command, int length, bool noPicture, const QRect& slider)
{
    m_length = length;
    switch (m_strip.ShowPreview(command, length, noPicture)) {
    case PreviewStrip::Action::None: return;
    case PreviewStrip::Action::ReadAndShow: {
        Clear();
        emit ReadRequested(m_strip.Number(), m_strip.Position());
        m_slider = slider;
        Place();
        show();
        return;
    }
    case PreviewStrip::Action::Show: show(); return;
    case PreviewStrip::Action::Hide: hide(); return;
    case PreviewStrip::Action::Clear:
        Clear();
        hide();
        return;
    }
}

void CPreviewDlg::Place()
{
    if (m_slider.isEmpty())
        return;
    const QRect place = PreviewStrip::Geometry(m_slider, m_strip.Number(), Picture().size());
    QWidget* owner = parentWidget();
    setGeometry(owner ? QRect(owner->mapToGlobal(place.topLeft()), place.size()) : place);
}

void CPreviewDlg::Clear()
{
    QMutexLocker locker(&m_lock);
    m_picture = QImage();
    m_caption.clear();
}

void CPreviewDlg::SetPicture(const QImage& picture, const QString& caption)
{
    {
        QMutexLocker locker(&m_lock);
        m_picture = picture.copy();
        m_caption = caption;
    }
    // The picture's own aspect is known only now; the window follows it on its own thread.
    QMetaObject::invokeMethod(
        this,
        [this] {
            Place();
            update();
        },
        Qt::QueuedConnection);
}

QImage CPreviewDlg::Picture() const
{
    QMutexLocker locker(&m_lock);
    return m_picture;
}

void CPreviewDlg::SetTileState(int length, bool tileSelected)
{
    m_length = length;
    m_tileSelected = tileSelected;
}

void CPreviewDlg::paintEvent(QPaintEvent*)
{
    QImage picture;
    QString caption;
    {
        QMutexLocker locker(&m_lock);
        picture = m_picture;
        caption = m_caption;
    }
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    if (!picture.isNull()) {
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(rect(), picture);
    }
    if (m_hot) {
        painter.setPen(QPen(Qt::red, 2));
        painter.drawRect(rect().adjusted(1, 1, -1, -1));
    }
    if (!caption.isEmpty()) {
        QFont font(QStringLiteral("Microsoft Sans Serif"));
        font.setPixelSize(12);
        font.setBold(true);
        painter.setFont(font);
        const int x = (width() - painter.fontMetrics().horizontalAdvance(caption)) / 2;
        const int y = height() - 5;
        painter.setPen(Qt::black);
        for (const QPoint d : {QPoint(-1, -1), QPoint(1, -1), QPoint(-1, 1), QPoint(1, 1)})
            painter.drawText(x + d.x(), y + d.y(), caption);
        painter.setPen(Qt::white);
        painter.drawText(x, y, caption);
    }
}

void CPreviewDlg::enterEvent(QEvent*)
{
    SetHot(true);
}

void CPreviewDlg::leaveEvent(QEvent*)
{
    SetHot(false);
}

void CPreviewDlg::SetHot(bool hot)
{
    if (m_hot == hot)
        return;
    m_hot = hot;
    update();
    emit HotChanged(m_strip.Number(), hot);
}

void CPreviewDlg::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->pos())
        && m_strip.ClickSeeks(m_length, m_tileSelected))
        emit SeekRequested(m_strip.Position());
}
