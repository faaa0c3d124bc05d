#include "ui/hpimagemanager.h"
#include "ui/uilog.h"

const QPixmap& HPImageManager::GetImage(const QString& path)
{
    for (const Entry& entry : m_entries) {
        if (entry.path == path)
            return entry.bitmap;
    }
    Entry entry{path, QPixmap(path)};
    if (entry.bitmap.isNull())
        qCDebug(lcPlayerUi) << "Fail Load Image :" << path;
    m_entries.append(entry);
    return m_entries.last().bitmap;
}
