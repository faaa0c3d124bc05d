#pragma once
// A site book record as a drag from the tree carries it, written out field by field in the drag
// stream's order (big-endian, version 5.2 strings, floats at double precision), independent of
// the record's own stream writer.
#include <QByteArray>
#include <QDataStream>
#include <QString>

struct DragRecordFields
{
    QString kind;
    QString name;
    QString path;
    QString favoritesdevice;
    QString favoriteschannel;
    QString favoritesmode;
    QString cameomode;
    qint32 index = -1;
    qint32 channel = -1;
};

inline QByteArray DragRecordBytes(const DragRecordFields& f)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_5_2);
    // kind, name, addr, port, id, password, path, emapPath
    out << f.kind << f.name << QString() << QString() << QString() << QString() << f.path << QString();
    // emapPos, favoritesdevice, favoriteschannel, favoritesmode
    out << QString() << f.favoritesdevice << f.favoriteschannel << f.favoritesmode;
    // index, channel, quality, the four permission masks
    out << f.index << f.channel << qint32(1) << qint32(65535) << qint32(65535) << qint32(65535) << qint32(65535);
    out << quint8(1); // configuration permission
    out << f.cameomode;
    out << double(0.0) << double(0.0); // posX, posY
    out << qint32(0);                  // use_ssl
    return bytes;
}
