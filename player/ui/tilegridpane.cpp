#include "ui/tilegridpane.h"
#include "ui/openpath.h"
#include "ui/uilog.h"

#include <QMouseEvent>
#include <QPainter>

TileGridPane::TileGridPane(Opener opener, QWidget* parent)
    : QWidget(parent)
    , m_opener(std::move(opener))
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_grid.SelectCameo(0, true, false);
}

QVector<int> TileGridPane::SelectedCameos() const
{
    QVector<int> list;
    m_grid.GetSelectedCameos(list);
    return list;
}

void TileGridPane::SelectOnly(int tile)
{
    m_grid.SelectCameo(tile, true, false);
    update();
    emit selectionChanged();
}

void TileGridPane::SelectAll()
{
    m_grid.SelectAll();
    update();
    emit selectionChanged();
}

bool TileGridPane::IsVisible(int tile) const
{
    CameoRect rect;
    return m_grid.GetCameoRect(tile, &rect) && rect.IsSet();
}

bool TileGridPane::OpenFile(int tile, const QString& path)
{
    if (!IsCameoIndex(tile))
        return false;
    const SplitPath split = OpenPath::Split(path);
    if (split.name.isEmpty() || !m_opener(tile, split.folder, split.name)) {
        qCDebug(lcPlayerUi) << "tile" << tile << "did not open" << path;
        m_grid.ResetCameo(tile);
        m_names[tile].clear();
        update();
        return false;
    }
    m_grid.Update(tile, [](CameoItem& item) {
        item.assigned = 1;
        item.sourceId = kFileSourceId;
        item.serverId = kFileSourceId;
    });
    m_names[tile] = split.name;
    qCDebug(lcPlayerUi) << "tile" << tile << "opened" << path;
    update();
    return true;
}

int TileGridPane::CameoFromPoint(const QPoint& point) const
{
    return m_grid.CameoFromPoint(point.x(), point.y());
}

void TileGridPane::Layout(const QSize& size, int code, bool repress, bool restore)
{
    m_grid.Layout(size.width(), size.height(), code, repress, restore, false);
    update();
}

int TileGridPane::SplitCode() const
{
    return m_grid.LayoutCode();
}

void TileGridPane::RedrawAll()
{
    update();
}

void TileGridPane::resizeEvent(QResizeEvent*)
{
    if (m_grid.LayoutCode() >= 0)
        m_grid.Layout(width(), height(), m_grid.LayoutCode(), false, false, true);
}

void TileGridPane::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), QColor(16, 24, 36));
    for (const CameoRect& spare : m_grid.SpareCells()) {
        painter.fillRect(spare.ToQRect().adjusted(1, 1, -1, -1), Qt::black);
    }
    QFont font = painter.font();
    font.setPixelSize(12);
    painter.setFont(font);
    for (int t = 0; t < kCameoCount; ++t) {
        const CameoView view = m_grid.View(t);
        if (!view.hasRect || !view.rect.IsSet())
            continue;
        const QRect cell = view.rect.ToQRect();
        painter.fillRect(cell.adjusted(1, 1, -1, -1), Qt::black);
        painter.setPen(view.selected ? QColor(255, 190, 70) : QColor(59, 91, 134));
        painter.drawRect(cell.adjusted(1, 1, -2, -2));
        painter.setPen(QColor(212, 230, 255));
        painter.drawText(cell.adjusted(6, 4, -6, -4), Qt::AlignLeft | Qt::AlignTop,
                         QStringLiteral("%1").arg(t + 1));
        if (!m_names[t].isEmpty())
            painter.drawText(cell.adjusted(6, 4, -6, -4), Qt::AlignLeft | Qt::AlignBottom, m_names[t]);
    }
}

void TileGridPane::mousePressEvent(QMouseEvent* event)
{
    const int tile = CameoFromPoint(event->pos());
    if (tile < 0)
        return;
    SelectKeys keys = SelectKeys::None;
    if (event->modifiers() & Qt::ControlModifier)
        keys = SelectKeys::Control;
    else if (event->modifiers() & Qt::ShiftModifier)
        keys = SelectKeys::Shift;
    m_grid.SelectByClick(tile, keys);
    update();
    emit selectionChanged();
}

void TileGridPane::mouseDoubleClickEvent(QMouseEvent* event)
{
    const int tile = CameoFromPoint(event->pos());
    if (tile >= 0)
        emit doubleClicked(tile);
}
