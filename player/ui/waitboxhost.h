#pragma once
// What the wait box needs of the main dialog: where to centre itself, enabling the dialog and
// the control bar, the export flag and what Cancel abandons.
#include <QRect>
#include <QVector>

#include "ui/waitboxcounter.h"

class WaitBoxHost
{
public:
    virtual ~WaitBoxHost() = default;
    virtual QRect MainDialogRect() const = 0;
    virtual void EnableMainDialog(bool enable) = 0;
    virtual void EnableControlBar(bool enable) = 0;
    virtual bool ExportRunning() const = 0;
    virtual QVector<int> SelectedCameos() const = 0;
    // Cancel of the box: the action for its style and kind, on the highest selected tile (0 when
    // none is selected).
    virtual void CancelWaitBox(CancelAction action, int tile) = 0;
};
