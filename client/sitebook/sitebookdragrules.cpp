#include "sitebook/sitebookdragrules.h"

#include <QTreeWidgetItem>

QString SiteBookDragRules::DragPicture(ItemKind kind, bool connected)
{
    switch (kind) {
    case ItemKind::Recorder:
        return connected ? QStringLiteral(":/res/Resource/DVR.png")
                         : QStringLiteral(":/res/Resource/DVRDisable.png");
    case ItemKind::Folder: return QStringLiteral(":/res/Resource/folder.png");
    case ItemKind::Camera: return QStringLiteral(":/res/Resource/Camera.png");
    case ItemKind::Favorite: return QStringLiteral(":/res/Resource/favoritesitem.png");
    case ItemKind::SearchFavorite: return QStringLiteral(":/res/Resource/3.png");
    case ItemKind::EmapEntry:
    case ItemKind::CameraEmap:
    case ItemKind::RecorderEmapList: return QStringLiteral(":/res/Resource/5.png");
    default: return QString();
    }
}

bool SiteBookDragRules::MayMove(ItemKind dragged, const QString& draggedName, bool hasTarget, ItemKind target)
{
    if (dragged != ItemKind::Folder && dragged != ItemKind::Recorder)
        return false;
    if (draggedName.startsWith(QLatin1Char('@')) || !hasTarget)
        return false;
    return target == ItemKind::Folder || target == ItemKind::SiteBookRoot;
}

bool SiteBookDragRules::IsSelfOrBelow(const QTreeWidgetItem* target, const QTreeWidgetItem* item)
{
    for (const QTreeWidgetItem* at = target; at; at = at->parent()) {
        if (at == item)
            return true;
    }
    return false;
}

QString SiteBookDragRules::PlayerCommandLine(const QString& programDirectory, const QString& path)
{
    return programDirectory + QStringLiteral("/Orvane.exe \"") + path + QLatin1Char('"');
}
