#pragma once
// One video frame of the console's live connection: the header values of its first message,
// the channel (-1 while no frame is open), the announced payload size and the payload gathered
// so far. Copies share the payload. Travels through queued signals as "MirelAVFrame".
#include <QByteArray>
#include <QMetaType>
#include <QSharedPointer>

struct alignas(8) MirelAVFrame
{
    qint64 stamp = 0;
    int flags = 0;
    int frameType = 0;
    int byte37 = 0;
    int value28 = 0;
    int value24 = 0;
    int channel = -1;
    int payloadSize = 0;
    QSharedPointer<QByteArray> payload = QSharedPointer<QByteArray>::create();

    // Registers the meta type once; safe to call again.
    static void Register();
};

Q_DECLARE_METATYPE(MirelAVFrame)
