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

void HandOverOpener::OpenList(int tile, const QString& folder, const QString& listPath, Mode mode)
{
    const QVector<FileListEntry> entries = OpenPath::ParseList(m_readFile(listPath));
    for (const FileListEntry& entry : entries) {
        for (const QString& candidate : OpenPath::Candidates(entry)) {
            if (m_exists(folder + candidate)) {
                tile = OpenInTile(tile, folder + candidate, mode);
                break;
            }
        }
    }
}

int HandOverOpener::Open(const QString& path, Mode mode)
{
    const QVector<int> selected = m_tiles.SelectedCameos();
    if (selected.isEmpty() || selected.first() < 0 || selected.first() >= kTiles)
        return 1;
    const int tile = selected.first();
    const SplitPath split = OpenPath::Split(path);
    const QString name = OpenPath::DataName(split.name);
    if (OpenPath::IsFileList(name)) {
        OpenList(tile, split.folder, path, mode);
    } else {
        OpenInTile(tile, split.folder + name, mode);
        if (mode == Mode::HandOver)
            m_pauseSelected();
    }
    m_tiles.RedrawAll();
    return 0;
}
