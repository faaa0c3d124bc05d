#include "ui/cameotiles.h"
#include "ui/hpcameo.h"
#include "ui/openpath.h"
#include "ui/uilog.h"

QVector<int> CameoTiles::SelectedCameos() const
{
    QVector<int> list;
    m_cameo.GetSelectedCameos(list);
    return list;
}

void CameoTiles::SelectOnly(int tile)
{
    m_cameo.SelectCameo(tile, true, false);
    m_cameo.update();
}

void CameoTiles::SelectAll()
{
    m_cameo.SelectAll();
}

bool CameoTiles::IsVisible(int tile) const
{
    CameoRect rect;
    return m_cameo.GetCameoRect(tile, &rect) && rect.IsSet();
}

int CameoTiles::FrameRate(int tile) const
{
    const std::optional<CameoItem> item = m_cameo.GetCameo(tile);
    return item ? item->frameRate : 1;
}

bool CameoTiles::OpenFile(int tile, const QString& path)
{
    const SplitPath split = OpenPath::Split(path);
    const bool opened = !split.name.isEmpty() && m_cameo.OpenFile(tile, split.folder, split.name) == 0 && m_opened
                        && m_opened(tile);
    qCDebug(lcPlayerUi) << "tile" << tile << (opened ? "opened" : "did not open") << path;
    return opened;
}

int CameoTiles::CameoFromPoint(const QPoint& point) const
{
    return m_cameo.CameoFromPoint(point.x(), point.y());
}

void CameoTiles::Layout(const QSize& size, int code, bool repress, bool restore)
{
    m_cameo.Layout(size.width(), size.height(), code, repress, restore, false);
}

int CameoTiles::SplitCode() const
{
    return m_cameo.Grid().LayoutCode();
}

void CameoTiles::RedrawAll()
{
    m_cameo.Display().RedrawAll();
    m_cameo.update();
}
