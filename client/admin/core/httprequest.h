#pragma once
#include <QByteArray>
#include <QString>

#include <cstdint>

// The method codes a queued request carries.
enum class HttpMethod : std::uint8_t { Get = 0, Put = 1, Post = 2, Delete = 3 };

// One queued request, held by value in the queue until the dispatcher hands it to a sender.
struct HttpRequest
{
    HttpMethod method = HttpMethod::Get;
    int id = 0;
    QString url;
    QByteArray body;
    int tag = 0;
    QString file;
};
