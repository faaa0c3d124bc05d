#include "ui/handoveropener.h"
#include "ui/openpath.h"
#include "ui/viewertiles.h"

#include <utility>

namespace {
constexpr int kTiles = ViewerTiles::kTileCount;

int PreviousTile(int tile)
{
    return tile == 0 ? kTiles - 1 : tile - 1;
}

int LowestVisible(const ViewerTiles& tiles)
{
    for (int t = 0; t < kTiles; ++t) {
        if (tiles.IsVisible(t))
            return t;
    }
    return -1;
}
} // namespace

HandOverOpener::HandOverOpener(ViewerTiles& tiles, PlayFlags& playFlags,
                               std::function<QByteArray(const QString&)> readFile,
                               std::function<bool(const QString&)> exists, std::function<void()> pauseSelected)
    : m_tiles(tiles)
    , m_playFlags(playFlags)
    , m_readFile(std::move(readFile))
    , m_exists(std::move(exists))
    , m_pauseSelected(std::move(pauseSelected))
{}

int HandOverOpener::NextTile(int tile) const
{
    return m_playFlags[tile] ? (tile + 1) % kTiles : tile;
}

// Opens `path` in `tile` or the next one when it plays; returns the tile that ends selected.
int HandOverOpener::OpenInTile(int tile, const QString& path, Mode mode)
{
    const int next = NextTile(tile);
    if (mode == Mode::StartUp && next != tile)
        m_tiles.SelectOnly(next);
    tile = next;
    if (m_tiles.OpenFile(tile, path)) {
        m_playFlags[tile] = true;
    } else {
        m_playFlags[tile] = false;
        tile = PreviousTile(tile);
    }
    if (mode == Mode::HandOver && !m_tiles.IsVisible(tile)) {
        const int visible = LowestVisible(m_tiles);
        if (visible >= 0)
            tile = visible;
    }
    m_tiles.SelectOnly(tile);
    return tile;
}

ListFiles HandOverOpener::ListFor(const QString& listPath, const QByteArray& text,
                                  const std::function<bool(const QString&)>& exists, const std::atomic<bool>* stop)
{
    // Each opened entry takes the next tile, so past sixteen a list only replaces what it opened.
    return OpenPath::ResolveList(text, OpenPath::Split(listPath).folder, exists, kTiles, stop);
}

int HandOverOpener::StartTile() const
{
    const QVector<int> selected = m_tiles.SelectedCameos();
    if (selected.isEmpty() || selected.first() < 0 || selected.first() >= kTiles)
        return -1;
    return selected.first();
}

int HandOverOpener::OpenList(const ListFiles& files, Mode mode)
{
    int tile = StartTile();
    if (tile < 0)
        return 1;
    for (const QString& path : files.paths)
        tile = OpenInTile(tile, path, mode);
    m_tiles.RedrawAll();
    return 0;
}

int HandOverOpener::Open(const QString& path, Mode mode)
{
    const int tile = StartTile();
    if (tile < 0)
        return 1;
    const SplitPath split = OpenPath::Split(path);
    const QString name = OpenPath::DataName(split.name);
    if (OpenPath::IsFileList(name))
        return OpenList(ListFor(path, m_readFile(path), m_exists), mode);
    OpenInTile(tile, split.folder + name, mode);
    if (mode == Mode::HandOver)
        m_pauseSelected();
    m_tiles.RedrawAll();
    return 0;
}
