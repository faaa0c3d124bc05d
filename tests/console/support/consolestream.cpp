#include "console/support/consolestream.h"

#include "common/support/decoder_streams.h"

namespace consolestream {

QString CameraStream(int width, int height, QString* error)
{
    const decoder_streams::Stream& stream = decoder_streams::Make(width, height, 30, 10, true);
    if (!stream.error.isEmpty()) {
        *error = stream.error;
        return QString();
    }
    return stream.path;
}

} // namespace consolestream
