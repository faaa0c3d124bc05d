#pragma once
#include <QByteArray>
#include <QDate>
#include <QModelIndex>
#include <QString>

class QAbstractItemModel;
class ValidationTreeOps;

// What the console's exports write: the event log of one account, in the form the "Open Log"
// window reads back, and the state of the recorders below a node with their camera and disk
// rows. Files are written whole under a temporary name and then renamed.
class ValidationExport
{
public:
    // The event list's rows whose source is `source`, oldest first, between "--start" and
    // "--end"; a "^" or a line break inside a field becomes a blank so that every line reads back
    // as four fields.
    static QByteArray LogText(const QAbstractItemModel& events, const QString& source);
    // One comma-separated line per camera or disk row of every recorder at or below the node
    // (a recorder without rows gets one line), under a header line.
    static QByteArray DvrCheckText(const ValidationTreeOps& tree, const QModelIndex& node);

    // The names proposed in the save dialogs, in the program's log folder.
    static QString LogFileName(const QString& programDirectory, const QString& nodeName, const QDate& day);
    static QString DvrCheckFileName(const QString& programDirectory, const QString& nodeName, const QDate& day);

    // Writes the file; false with the reason in `error` when it could not be written whole (the
    // file that was there, if any, is left as it was).
    static bool Write(const QString& path, const QByteArray& data, QString* error);
};
