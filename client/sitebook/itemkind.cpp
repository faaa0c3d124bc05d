#include "sitebook/itemkind.h"

#include <QLatin1String>

#include "session/sitebook.h"

namespace {

struct KindName
{
    ItemKind kind;
    const char* text;
};

const KindName kKindNames[] = {
    {ItemKind::SiteBookRoot, "sitebook"},
    {ItemKind::EmapRoot, "emap"},
    {ItemKind::FavoritesRoot, "favorite"},
    {ItemKind::Folder, "folder"},
    {ItemKind::Recorder, "device"},
    {ItemKind::Camera, "camera"},
    {ItemKind::Favorite, "favorites_item"},
    {ItemKind::SearchFavorite, "favorites_item_search"},
    {ItemKind::EmapEntry, "emap_item"},
    {ItemKind::Archive, "archive"},
    {ItemKind::ArchiveBackup, "archiveBackup"},
    {ItemKind::ArchiveFolder, "archiveFolder"},
    {ItemKind::ArchiveData, "archiveData"},
    {ItemKind::ArchiveSnapshot, "archiveSnapshot"},
    {ItemKind::RecorderEmapList, "emapList"},
    {ItemKind::CameraEmap, "cameraEmap"},
};

} // namespace

QString ItemKindText(ItemKind kind)
{
    for (const KindName& name : kKindNames) {
        if (name.kind == kind)
            return QLatin1String(name.text);
    }
    return QString();
}

ItemKind ItemKindFromText(const QString& text)
{
    // Kinds compare case-sensitively, as the books write them.
    for (const KindName& name : kKindNames) {
        if (text == QLatin1String(name.text))
            return name.kind;
    }
    return ItemKind::Unknown;
}

ItemKind ItemKindOf(const QTreeWidgetItem* item)
{
    const SiteBook* record = SiteBook::FromItem(item);
    return record ? ItemKindFromText(record->kind) : ItemKind::Unknown;
}
