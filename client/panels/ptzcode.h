#pragma once
// The camera control codes the pan/tilt/zoom panel and the camera control pop-up send, and the
// speed list both offer.
#include <QStringList>

enum class PtzCode {
    Stop = 1,
    Up = 2,
    Down = 3,
    Left = 4,
    Right = 5,
    LeftUp = 6,
    RightUp = 7,
    LeftDown = 8,
    RightDown = 9,
    Bind = 12,
    Unbind = 13,
    ZoomIn = 14,
    ZoomOut = 15,
    FocusNear = 20,
    FocusFar = 21,
    IrisOpen = 22, // also the centre of the direction pad and "Enter"
    IrisClose = 23,
    StorePreset = 24,
    GotoPreset = 26,
    CameraMenu = 50,
};

namespace PtzSpeed {
// Speed codes of the list entries "Slow", "Normal", "Fast", "Very Fast", in list order.
constexpr int kEntries = 4;
// The speed code of a list entry, or `otherwise` for an index outside the list.
int CodeOfEntry(int index, int otherwise);
// The list's texts with a prefix ("Speed : " in the pop-up, nothing in the panel).
QStringList Texts(const QString& prefix);
} // namespace PtzSpeed

namespace PtzPreset {
constexpr int kCount = 50;
// "Preset 01" ... "Preset 50".
QStringList Texts();
} // namespace PtzPreset
