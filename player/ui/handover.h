#pragma once
// The hand-over of a path from a second start of the player to the running one: the same three
// messages the original window messages carried, as fixed 8-byte records on a local socket.
// Clear empties the pending path, Append adds one byte of it (a signed 8-bit value widened to
// 32 bits), Open opens the pending path. The receiver answers every record with one byte, so
// the sender knows that the running instance has handled it (the path is open when Open's
// answer arrives). The path travels as the file system's bytes and is decoded once, with the
// file system's codec, when it opens, so that a name whose bytes are not UTF-8 still opens.
#include <QByteArray>
#include <QFile>
#include <QString>
#include <QVector>

enum class HandOverMessage : qint32 {
    Clear = 0x400 + 99,
    Append = 0x400 + 100,
    Open = 0x400 + 101,
};

struct HandOverRecord
{
    HandOverMessage message = HandOverMessage::Clear;
    qint32 value = 0;
};

class HandOverSequence
{
public:
    static constexpr int kRecordSize = 8;
    static constexpr char kAcknowledge = 0x06;

    // Clear, one Append per byte of `path`, then Open.
    static QVector<HandOverRecord> Encode(const QByteArray& path);
    // Record as bytes: message, then value, both 32-bit little-endian.
    static QByteArray Pack(const HandOverRecord& record);
};

// The running instance's side: collects bytes from the socket, turns whole records into the
// pending path and reports an Open with the path decoded.
class HandOverReceiver
{
public:
    // A longer path than this is refused (the pending path stops growing).
    static constexpr int kMaxPathBytes = 4096;

    // Appends bytes read from the socket and returns the records that are now whole.
    QVector<HandOverRecord> Feed(const QByteArray& bytes);
    // Applies a record; true when it was Open (the path to open is then PendingPath()).
    bool Apply(const HandOverRecord& record);

    QString PendingPath() const { return QFile::decodeName(m_pending); }
    // Sets the pending path, as the command line of the first start does.
    void SetPendingPath(const QString& path) { m_pending = QFile::encodeName(path).left(kMaxPathBytes); }

private:
    QByteArray m_buffer;
    QByteArray m_pending;
};
