#pragma once
// How a request to the central server ended, beyond the text it delivered: the operator is told
// which of these happened, not one text for all of them.
class QNetworkReply;

enum class HttpFailure {
    None,         // an answer came whole (its content is the caller's to judge)
    NoConnection, // refused, unknown host, no route
    NoAnswer,     // nothing arrived within the transfer limit
    ErrorStatus,  // the server answered with an HTTP error status
    Cut,          // the answer broke off before its end
};

struct HttpOutcome
{
    HttpFailure failure = HttpFailure::None;
    int status = 0; // the HTTP status, 0 when none arrived

    // The outcome of a finished reply.
    static HttpOutcome Of(const QNetworkReply& reply);
};
