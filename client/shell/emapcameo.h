#pragma once
// The live tile of an e-map camera icon: a one-cell live grid marked as the e-map tile, so that
// its pictures travel by the recorder's e-map route and it draws no cell number or selection.
#include <QRect>

#include "emap/emaptile.h"
#include "shell/ccameo.h"

class emapCameo : public CCameo, public EmapTile
{
    Q_OBJECT

public:
    explicit emapCameo(QWidget* window);

    QWidget* Widget() override { return this; }
    void ShowChannel(int recorder, int channel, const QRect& geometry) override;
    void CloseTile() override;

    // The recorder and channel in the first cell, -1 when none.
    int ShownRecorder() const;
    int ShownChannel() const;

private:
    // A live window's cell that has the channel's live video started.
    bool LiveInAnotherGrid(int recorder, int channel) const;
};
