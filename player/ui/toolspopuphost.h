#pragma once
// What the tools popup needs of the main dialog: the tile to act on, the codec question and
// installer, and the two dialogs it starts.
#include <QString>

class ToolsPopupHost
{
public:
    virtual ~ToolsPopupHost() = default;
    // The last of the selected tiles, -1 when none.
    virtual int LastSelectedTile() const = 0;
    // True when the tile plays a file from disk (recorder id -999) with something loaded.
    virtual bool TilePlaysFile(int tile) const = 0;
    // "Do you want to install the video codec?" titled "Orvane"; true for Yes.
    virtual bool AskInstallCodec() = 0;
    // Shows the carried codec installer in the file manager.
    virtual void RevealCodecInstaller() = 0;
    virtual void SetXvidFlag(bool installed) = 0;
    // A short beep (1000 Hz, 100 ms).
    virtual void Beep() = 0;
    // Opens the AVI export for the tile; mpeg4Allowed enables its "Mpeg4" box.
    virtual void OpenAviExport(int tile, bool mpeg4Allowed) = 0;
    // Opens the still print/save dialog for the tile.
    virtual void OpenPrintSave(int tile) = 0;
};
