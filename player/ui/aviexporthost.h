#pragma once
// What the AVI export dialog needs of the main dialog: where exports go, the save dialog, the
// main dialog's enabling and the codec flag of the tools popup.
#include <QString>

class AviExportHost
{
public:
    virtual ~AviExportHost() = default;
    // The player's backup folder (the export proposes its "AVI" folder).
    virtual QString BackupFolder() const = 0;
    // The system save dialog with a proposed path; empty when cancelled.
    virtual QString ChooseSavePath(const QString& proposed) = 0;
    virtual void EnableMainDialog(bool enable) = 0;
    // Whether the Xvid codec is to be used (the tools popup's codec check).
    virtual bool XvidFlag() const = 0;
};
