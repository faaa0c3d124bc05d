#include "session/sitebook.h"

#include <QIODevice>
#include <QTreeWidgetItem>
#include <QVariant>

namespace {
const QString kDefaultCameraPos = QStringLiteral("0.452077;0.262222;");
}

SiteBook::SiteBook()
    : kind(QLatin1String(""))
    , name(QLatin1String(""))
    , addr(QLatin1String(""))
    , port(QLatin1String(""))
    , id(QLatin1String(""))
    , password(QLatin1String(""))
    , path(QLatin1String(""))
    , emapPath(QLatin1String(""))
    , emapPos(QLatin1String(""))
    , favoritesdevice(QLatin1String(""))
    , favoriteschannel(QLatin1String(""))
    , favoritesmode(QLatin1String(""))
    , cameomode(QLatin1String(""))
{
    for (int i = 0; i < CameraCount; ++i) {
        emapCameraPath[i] = QLatin1String("");
        emapCameraPos[i] = kDefaultCameraPos;
    }
}

int SiteBook::RegisterMetaType()
{
    static const int type = qRegisterMetaType<SiteBook*>("SiteBook*");
    return type;
}

SiteBook* SiteBook::FromItem(const QTreeWidgetItem* item)
{
    if (!item)
        return nullptr;
    const QVariant v = item->data(0, Qt::UserRole);
    if (v.userType() != RegisterMetaType())
        return nullptr;
    return v.value<SiteBook*>();
}

void SiteBook::SetOnItem(QTreeWidgetItem* item, SiteBook* record)
{
    if (!item)
        return;
    RegisterMetaType();
    item->setData(0, Qt::UserRole, QVariant::fromValue(record));
}

QByteArray SiteBook::ToDragData() const
{
    QByteArray data;
    QDataStream out(&data, QIODevice::WriteOnly);
    out.setVersion(StreamVersion);
    out << *this;
    return data;
}

bool SiteBook::FromDragData(const QByteArray& data, SiteBook* out)
{
    if (!out)
        return false;
    QDataStream in(data);
    in.setVersion(StreamVersion);
    SiteBook record;
    in >> record;
    if (in.status() != QDataStream::Ok)
        return false;
    *out = record;
    return true;
}

QDataStream& operator<<(QDataStream& out, const SiteBook& r)
{
    out << r.kind << r.name << r.addr << r.port << r.id << r.password << r.path << r.emapPath;
    out << r.emapPos << r.favoritesdevice << r.favoriteschannel << r.favoritesmode;
    out << r.index << r.channel << r.quality << r.permissionLive << r.permissionSearch << r.permissionBackup
        << r.permissionPtz;
    out << r.permissionConfig;
    out << r.cameomode;
    out << r.posX << r.posY;
    out << r.use_ssl;
    return out;
}

QDataStream& operator>>(QDataStream& in, SiteBook& r)
{
    in >> r.kind >> r.name >> r.addr >> r.port >> r.id >> r.password >> r.path >> r.emapPath;
    in >> r.emapPos >> r.favoritesdevice >> r.favoriteschannel >> r.favoritesmode;
    in >> r.index >> r.channel >> r.quality >> r.permissionLive >> r.permissionSearch >> r.permissionBackup
        >> r.permissionPtz;
    in >> r.permissionConfig;
    in >> r.cameomode;
    in >> r.posX >> r.posY;
    in >> r.use_ssl;
    return in;
}
