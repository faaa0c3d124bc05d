#pragma once
// Gathers the four replies of one recorder search query. A reply is the recorder's search
// answer (command 32 or 33): byte 8 the tile it answers (99 for the multi-channel dialog),
// bytes 9-11 its length (24-bit little-endian), bytes 12-15 the request id, 16-19 the reply
// type (the request kind, or 13 or 14 when the recorder has no answer), 20-23 the announced
// total of the query's data, 24-27 the part number, and the data from byte 28. Replies for
// another tile or request id are ignored; data is placed only while it fits the announced
// total, which may not pass 480,000 bytes.
#include <QByteArray>

class SearchReplyAssembler
{
public:
    static constexpr int kHead = 28;
    static constexpr int kMaxTotal = 480000;
    static constexpr int kReplies = 4;

    enum class Result { Ignored, Stepped, Complete, Failed };

    // Starts a new query: `kind` of the request, its id and the tile it is for (99 for the
    // multi-channel dialog). Previous data is dropped.
    void Start(int kind, quint32 requestId, int tile);
    void Cancel();
    bool Pending() const { return m_pending; }
    int Kind() const { return m_kind; }
    quint32 RequestId() const { return m_requestId; }
    int Replies() const { return m_replies; }
    // 0, or 1 / 2 for the reply codes 13 / 14.
    int ErrorMark() const { return m_error; }

    // Stepped for replies 1 to 3; at the fourth Complete (data in Data()) or Failed (an error
    // code, a malformed reply or data short of the announced total).
    Result OnReply(const QByteArray& reply);
    const QByteArray& Data() const { return m_data; }

private:
    Result Count();

    bool m_pending = false;
    int m_kind = 0;
    quint32 m_requestId = 0;
    int m_tile = 0;
    int m_replies = 0;
    int m_error = 0;
    bool m_malformed = false;
    qint64 m_total = -1;
    QByteArray m_data;
};
