#include "core/httpoutcome.h"

#include <QNetworkReply>

HttpOutcome HttpOutcome::Of(const QNetworkReply& reply)
{
    HttpOutcome outcome;
    outcome.status = reply.attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    switch (reply.error()) {
    case QNetworkReply::NoError: return outcome;
    // The transfer limit aborts the reply: to the operator the server did not answer.
    case QNetworkReply::OperationCanceledError:
    case QNetworkReply::TimeoutError: outcome.failure = HttpFailure::NoAnswer; return outcome;
    case QNetworkReply::RemoteHostClosedError:
    case QNetworkReply::ProtocolFailure:
    case QNetworkReply::UnknownNetworkError:
        outcome.failure = outcome.status >= 400 ? HttpFailure::ErrorStatus : HttpFailure::Cut;
        return outcome;
    case QNetworkReply::ConnectionRefusedError:
    case QNetworkReply::HostNotFoundError:
    case QNetworkReply::TemporaryNetworkFailureError:
    case QNetworkReply::NetworkSessionFailedError:
    case QNetworkReply::ProxyConnectionRefusedError:
    case QNetworkReply::ProxyNotFoundError: outcome.failure = HttpFailure::NoConnection; return outcome;
    default:
        outcome.failure = outcome.status >= 400 ? HttpFailure::ErrorStatus : HttpFailure::NoConnection;
        return outcome;
    }
}
