#include "shell/skinimageadapter.h"

#include "session/recordersession.h"
#include "session/sessionhub.h"

namespace {
constexpr int kModelTypeNoSkin = 10;
constexpr int kModelTypePrime = 7;
} // namespace

QPixmap SkinImageAdapter::LoadSkinImage(const QString& name, SkinFolder folder) const
{
    const int recorder = m_sessions.ConsoleDeviceIndex();
    if (recorder < 0)
        return QPixmap();
    return LoadDeviceImage(m_sessions, name, int(folder), recorder);
}

QString SkinImageAdapter::DeviceImagePath(int modelType, const QString& name, int variant)
{
    if (modelType == kModelTypeNoSkin)
        return QString();
    // The name comes from the recorder's console layout: a bare file name only.
    if (name.isEmpty() || name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\\')))
        return QString();
    const QString folder = modelType == kModelTypePrime
                               ? QStringLiteral(":/res/Config/TYPE5_PRIME/VGA/skin_img/")
                               : QStringLiteral(":/res/Config/TYPE1_CALDORA/VGA/skin_img/");
    switch (variant) {
    case 0: return folder + name + QStringLiteral(".bmp");
    case 1: return folder + QStringLiteral("bin/") + name + QStringLiteral(".bmp");
    default: return QString();
    }
}

QPixmap SkinImageAdapter::LoadDeviceImage(const SessionHub& sessions, const QString& name, int variant,
                                          int recorder)
{
    const RecorderSession* device = sessions.GetDevice(recorder);
    // A recorder that is not logged in (or not known) has no model type yet.
    const int modelType = device ? device->GetModelType() : -1;
    const QString path = DeviceImagePath(modelType, name, variant);
    if (path.isEmpty())
        return QPixmap();
    return QPixmap(path);
}

void SkinImageAdapter::LoadDeviceImage(const SessionHub& sessions, QPixmap& pixmap, const QString& name,
                                       int variant, int recorder)
{
    pixmap = LoadDeviceImage(sessions, name, variant, recorder);
}
