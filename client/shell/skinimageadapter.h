#pragma once
// The console skin bitmaps of a recorder's model, for the configuration console that is open:
// the skin of the recorder the sessions report as the console's.
#include <QPixmap>
#include <QString>

#include "widgets/skinimagehub.h"

class SessionHub;

class SkinImageAdapter : public SkinImageHub
{
public:
    explicit SkinImageAdapter(const SessionHub& sessions)
        : m_sessions(sessions)
    {}

    QPixmap LoadSkinImage(const QString& name, SkinFolder folder) const override;

    // The console skin bitmap of a recorder's model: variant 0 from the skin folder, 1 from its
    // "bin" folder. A null pixmap for other variants, for model type 10 and when the bitmap is
    // missing.
    static QPixmap LoadDeviceImage(const SessionHub& sessions, const QString& name, int variant, int recorder);
    static void LoadDeviceImage(const SessionHub& sessions, QPixmap& pixmap, const QString& name, int variant,
                                int recorder);
    // The resource path of that bitmap for a model type; empty when there is none.
    static QString DeviceImagePath(int modelType, const QString& name, int variant);

private:
    const SessionHub& m_sessions;
};
