#pragma once
// Where the image-skinned widgets take their pictures: the skin bitmaps of the recorder whose
// configuration console is open. The main window implements it and installs itself; without a
// hub every picture is null.
#include <QPixmap>
#include <QString>

class SkinImageHub
{
public:
    // The skin's base folder, or its "bin" subfolder.
    enum class SkinFolder { Base = 0, Bin = 1 };

    virtual ~SkinImageHub() = default;
    // The named skin bitmap of the console recorder's model, or a null pixmap.
    virtual QPixmap LoadSkinImage(const QString& name, SkinFolder folder) const = 0;

    static SkinImageHub* Instance();
    static void Install(SkinImageHub* hub);
    // The picture through the installed hub; null without one.
    static QPixmap Load(const QString& name, SkinFolder folder);
};
