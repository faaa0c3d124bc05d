#pragma once
// One range of a recorder-side list backup: the row record of the list backup model.
#include <QMetaType>
#include <QString>
#include <QtGlobal>

struct ListBackupItem
{
    int startDate = 0;     // YYYYMMDD
    int startTime = 0;     // HHMMSS
    int finishDate = 0;    // YYYYMMDD
    int finishTime = 0;    // HHMMSS
    quint16 chanBits = 0;  // bit n = channel n + 1
    quint16 audioFlag = 0; // 0xFFFF with the sound
    int sizeMB = 0;
    int channelCount = 0; // the recorder's video channels when the row was made
    QString channelText;
};

Q_DECLARE_METATYPE(ListBackupItem*)
