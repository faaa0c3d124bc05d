#pragma once
// The list kinds of the record list messages (body byte 16 of a list request and of its
// answers): which list of a day a request asks for and a reply carries.
#include <QtGlobal>

enum class ListKind : quint8 {
    EventList = 0x0B,  // recorders without the event-list capability
    IntraIndex = 0x12, // the key-frame index and its header
    TimeList = 0x15,
    AudioList = 0x16,
    ExtendedEventList = 0x17, // recorders with the event-list capability
};

constexpr quint8 ListKindByte(ListKind kind)
{
    return static_cast<quint8>(kind);
}
