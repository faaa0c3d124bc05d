#pragma once
// What the player hub and its recorder clients need of the main dialog: the tiles a recorder
// feeds, the tile players, the calendar search and the layout.
#include <QByteArray>
#include <QVector>

class HubHost
{
public:
    virtual ~HubHost() = default;
    virtual void RedrawAllTiles() = 0;
    // Clears the tiles that show the recorder's cameras and tells the time bar.
    virtual void ClearTilesOf(int recorderId, const QVector<int>& cameras) = 0;
    // A reply for the player of a tile; dropped unless that tile plays.
    virtual void ToTilePlayer(int tile, const QByteArray& reply) = 0;
    // A search reply for the multi-channel search dialog.
    virtual void ToSearchDialog(const QByteArray& reply) = 0;
    // A recorder's cameras were created: tile 0 becomes the only selection and the layout
    // follows 1, 4, 8 or 16 cameras.
    virtual void CamerasCreated(int count) = 0;
};
