#pragma once
// One row of the MP4 convert list: the recording file folder + fileName. It travels as a
// pointer in a QVariant under the user role.
#include <QMetaType>
#include <QString>

struct ListConvertItem
{
    qint32 number = 0; // running number shown in the first column
    QString folder;    // ends with a path separator
    QString fileName;
};

Q_DECLARE_METATYPE(ListConvertItem*)
