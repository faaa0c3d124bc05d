#pragma once
// The twelve split layouts: their codes, the number of tiles each shows, and the buttons of the
// main dialog and of the full-screen bar that choose them.
enum class LayoutOwner { MainDialog, FullScreenBar };

class SplitModes
{
public:
    static constexpr int kButtonIds[] = {1008, 1009, 1012, 1013, 1010, 1014, 1015, 1011, -1, 1019, 1018, 1016};

    // Tiles shown by a code; any other code counts as one.
    static int TileCount(int code);
    // The layout code of a button, or -1 when the button chooses none in that window (the main
    // dialog's 1016, 1018 and 1019 serve other commands).
    static int CodeOfButton(int id, LayoutOwner owner);
    // The button shown checked for a code, or -1 (code 8 has none).
    static int ButtonOfCode(int code);
};
