// The kinds of site book items against the texts the books and the drag stream carry.
#include <QTreeWidgetItem>

#include <gtest/gtest.h>

#include "session/sitebook.h"
#include "sitebook/itemkind.h"
#include "sitebook/sitebookitem.h"

namespace {

const struct
{
    const char* text;
    ItemKind kind;
} kKinds[] = {
    {"sitebook", ItemKind::SiteBookRoot},
    {"emap", ItemKind::EmapRoot},
    {"favorite", ItemKind::FavoritesRoot},
    {"folder", ItemKind::Folder},
    {"device", ItemKind::Recorder},
    {"camera", ItemKind::Camera},
    {"favorites_item", ItemKind::Favorite},
    {"favorites_item_search", ItemKind::SearchFavorite},
    {"emap_item", ItemKind::EmapEntry},
    {"archive", ItemKind::Archive},
    {"archiveBackup", ItemKind::ArchiveBackup},
    {"archiveFolder", ItemKind::ArchiveFolder},
    {"archiveData", ItemKind::ArchiveData},
    {"archiveSnapshot", ItemKind::ArchiveSnapshot},
    {"emapList", ItemKind::RecorderEmapList},
    {"cameraEmap", ItemKind::CameraEmap},
};

TEST(ItemKind, EveryKindReadsAndWritesItsText)
{
    for (const auto& c : kKinds) {
        EXPECT_EQ(ItemKindFromText(QLatin1String(c.text)), c.kind) << c.text;
        EXPECT_EQ(ItemKindText(c.kind), QLatin1String(c.text)) << c.text;
    }
}

TEST(ItemKind, OtherTextsAreUnknownAndHaveNoText)
{
    for (const char* text : {"", "Folder", "DEVICE", "favorites", "emap_item ", "archiveBackup2"})
        EXPECT_EQ(ItemKindFromText(QLatin1String(text)), ItemKind::Unknown) << '"' << text << '"';
    EXPECT_TRUE(ItemKindText(ItemKind::Unknown).isEmpty());
}

TEST(ItemKind, AnItemIsOfItsRecordsKind)
{
    auto* record = new SiteBook;
    record->kind = QStringLiteral("emap_item");
    SiteBookItem entry(static_cast<QTreeWidgetItem*>(nullptr), record);
    EXPECT_EQ(ItemKindOf(&entry), ItemKind::EmapEntry);

    QTreeWidgetItem plain;
    EXPECT_EQ(ItemKindOf(&plain), ItemKind::Unknown);
    EXPECT_EQ(ItemKindOf(nullptr), ItemKind::Unknown);
}

} // namespace
