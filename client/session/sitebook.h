#pragma once
// The record behind every item of the site book tree: folders, recorders, cameras, archive
// items, e-map entries and favorites. A drag out of the tree carries one record written field
// by field; every drop target reads it back in the same order.
#include <QByteArray>
#include <QDataStream>
#include <QMetaType>
#include <QString>

class QTreeWidgetItem;

class SiteBook
{
public:
    static constexpr int CameraCount = 16;
    // The stream version of the drag format. It is fixed so that the bytes cannot drift when
    // the Qt library changes its default.
    static constexpr int StreamVersion = QDataStream::Qt_5_2;
    static constexpr const char* MimeType = "application/x-qabstractitemmodeldatalist";

    SiteBook();
    SiteBook(const SiteBook&) = default;
    SiteBook& operator=(const SiteBook&) = default;
    ~SiteBook() = default;

    QString kind;
    QString name;
    QString addr;
    QString port;
    QString id;
    QString password;
    QString path;
    QString emapPath;
    QString emapCameraPath[CameraCount];
    QString emapCameraPos[CameraCount];
    QString emapPos;
    QString favoritesdevice;
    QString favoriteschannel;
    QString favoritesmode;
    QString cameomode;
    float posX = 0.0f;
    float posY = 0.0f;
    qint32 index = -1;
    qint32 channel = -1;
    qint32 quality = 1;
    qint32 permissionLive = 65535;
    qint32 permissionSearch = 65535;
    qint32 permissionBackup = 65535;
    qint32 permissionPtz = 65535;
    bool permissionConfig = true;
    qint32 use_ssl = 0;

    // Registers "SiteBook*" with the meta-type system (once).
    static int RegisterMetaType();

    // The record stored on a tree item (column 0, user role), or null when the item holds
    // none or something else.
    static SiteBook* FromItem(const QTreeWidgetItem* item);
    static void SetOnItem(QTreeWidgetItem* item, SiteBook* record);

    // The drag payload: one record in the stream format.
    QByteArray ToDragData() const;
    // Reads a drag payload into a default-constructed record; false when it is truncated.
    static bool FromDragData(const QByteArray& data, SiteBook* out);
};

Q_DECLARE_METATYPE(SiteBook*)

QDataStream& operator<<(QDataStream& out, const SiteBook& record);
QDataStream& operator>>(QDataStream& in, SiteBook& record);
