#include "common/io/privatefile.h"

#include <QFileDevice>
#include <QSaveFile>

namespace privatefile {

bool Write(const QString& path, const QByteArray& content, QString* error)
{
    // Owner only, also over a file an older build left readable by others: the rename below puts
    // the new file, with this mode, in its place.
    const QFileDevice::Permissions mode = QFileDevice::ReadOwner | QFileDevice::WriteOwner;

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    // The temporary file takes the mode before the content goes in, so the secret is never on
    // disk readable by others, not even for a moment.
    if (!file.setPermissions(mode) || file.write(content) != content.size()) {
        if (error)
            *error = file.errorString();
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

} // namespace privatefile
