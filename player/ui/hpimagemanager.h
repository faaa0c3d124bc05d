#pragma once
// A cache of bitmaps loaded from files by path, through which skinned buttons take their
// skins. A path that failed to load stays cached as a null bitmap, so it is not tried again.
#include <QPixmap>
#include <QString>
#include <QVector>

class HPImageManager
{
public:
    // The bitmap of `path` (compared exactly); the manager keeps it.
    const QPixmap& GetImage(const QString& path);
    int Count() const { return m_entries.size(); }

private:
    struct Entry
    {
        QString path;
        QPixmap bitmap;
    };
    QVector<Entry> m_entries;
};
