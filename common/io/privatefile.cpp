#include "common/io/privatefile.h"

#include <QFileDevice>
#include <QFileInfo>
#include <QSaveFile>

namespace privatefile {

bool Write(const QString& path, const QByteArray& content, QString* error)
{
    const QFileInfo existing(path);
    const QFileDevice::Permissions mode = existing.exists() ? existing.permissions()
                                                            : QFileDevice::Permissions(QFileDevice::ReadOwner
                                                                                       | QFileDevice::WriteOwner);

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
