#pragma once
// Opening a handed-over path, or the files a "file.lst" names, in the grid's tiles: the tile
// after the first selected one takes the next file when it already plays, a failed open steps
// back, and the tile that took the file becomes the only selected one.
#include <array>
#include <functional>

#include <QString>

#include "ui/openpath.h"

class ViewerTiles;

class HandOverOpener
{
public:
    using PlayFlags = std::array<bool, 16>;

    enum class Mode {
        HandOver, // a path handed over while running: visibility rule, pause afterwards
        StartUp,  // the command line of the first start: step before the open, no pause
    };

    // `readFile` returns a file's whole contents (empty when it cannot be read); `exists`
    // tells whether a file exists; `pauseSelected` pauses the selected tiles.
    HandOverOpener(ViewerTiles& tiles, PlayFlags& playFlags, std::function<QByteArray(const QString&)> readFile,
                   std::function<bool(const QString&)> exists, std::function<void()> pauseSelected);

    // 1 when no tile is selected (nothing opened), else 0. A list is read and resolved here;
    // a caller that must not wait resolves it elsewhere (ListFor) and hands it to OpenList.
    int Open(const QString& path, Mode mode);
    // The files of a resolved list, from the first selected tile on; 1 when none is selected.
    int OpenList(const ListFiles& files, Mode mode);
    // The list's entries resolved, as many as the tiles can show at once.
    static ListFiles ListFor(const QString& listPath, const QByteArray& text,
                             const std::function<bool(const QString&)>& exists,
                             const std::atomic<bool>* stop = nullptr);

private:
    int StartTile() const;
    int NextTile(int tile) const;
    int OpenInTile(int tile, const QString& path, Mode mode);

    ViewerTiles& m_tiles;
    PlayFlags& m_playFlags;
    std::function<QByteArray(const QString&)> m_readFile;
    std::function<bool(const QString&)> m_exists;
    std::function<void()> m_pauseSelected;
};
