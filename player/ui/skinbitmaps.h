#pragma once
// The player's bitmaps named by resource number, embedded from Resource/Quessa/Bitmap.
#include <QPixmap>

class SkinBitmaps
{
public:
    // The two 59 x 33 marks of stills and exported frames (the first is the one blended in).
    static constexpr int kMark = 193;
    static constexpr int kSecondMark = 194;

    // The bitmap of resource `id`; a null pixmap when there is none.
    static QPixmap Load(int id);
    static QString PathOf(int id);
    // Makes the embedded bitmaps and the icon reachable (once; every Load does it too).
    static void Init();
};
