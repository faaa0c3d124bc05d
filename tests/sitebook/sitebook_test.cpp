#include "session/sitebook.h"

#include <QTreeWidgetItem>
#include <gtest/gtest.h>

namespace {

QByteArray Hex(const char* text)
{
    return QByteArray::fromHex(QByteArray(text).replace(' ', ""));
}

// A default record on the wire: twelve empty strings (length 0), seven 32-bit integers
// (index -1, channel -1, quality 1, four masks 0xFFFF), the configuration flag as one byte,
// the empty cameo mode, two floats stored as 8-byte doubles, and use_ssl.
const char* kDefaultRecordHex =
    "00000000 00000000 00000000 00000000 00000000 00000000 00000000 00000000" // kind..emapPath
    "00000000 00000000 00000000 00000000"                                     // emapPos..favoritesmode
    "FFFFFFFF FFFFFFFF 00000001 0000FFFF 0000FFFF 0000FFFF 0000FFFF"          // index..permissionPtz
    "01"                                                                      // permissionConfig
    "00000000"                                                                // cameomode
    "0000000000000000 0000000000000000"                                       // posX, posY
    "00000000";                                                               // use_ssl

void ExpectSameRecord(const SiteBook& a, const SiteBook& b)
{
    EXPECT_EQ(a.kind, b.kind);
    EXPECT_EQ(a.name, b.name);
    EXPECT_EQ(a.addr, b.addr);
    EXPECT_EQ(a.port, b.port);
    EXPECT_EQ(a.id, b.id);
    EXPECT_EQ(a.password, b.password);
    EXPECT_EQ(a.path, b.path);
    EXPECT_EQ(a.emapPath, b.emapPath);
    for (int i = 0; i < SiteBook::CameraCount; ++i) {
        EXPECT_EQ(a.emapCameraPath[i], b.emapCameraPath[i]) << i;
        EXPECT_EQ(a.emapCameraPos[i], b.emapCameraPos[i]) << i;
    }
    EXPECT_EQ(a.emapPos, b.emapPos);
    EXPECT_EQ(a.favoritesdevice, b.favoritesdevice);
    EXPECT_EQ(a.favoriteschannel, b.favoriteschannel);
    EXPECT_EQ(a.favoritesmode, b.favoritesmode);
    EXPECT_EQ(a.cameomode, b.cameomode);
    EXPECT_EQ(a.posX, b.posX);
    EXPECT_EQ(a.posY, b.posY);
    EXPECT_EQ(a.index, b.index);
    EXPECT_EQ(a.channel, b.channel);
    EXPECT_EQ(a.quality, b.quality);
    EXPECT_EQ(a.permissionLive, b.permissionLive);
    EXPECT_EQ(a.permissionSearch, b.permissionSearch);
    EXPECT_EQ(a.permissionBackup, b.permissionBackup);
    EXPECT_EQ(a.permissionPtz, b.permissionPtz);
    EXPECT_EQ(a.permissionConfig, b.permissionConfig);
    EXPECT_EQ(a.use_ssl, b.use_ssl);
}

TEST(SiteBookRecord, DefaultsAreEmptyNonNullStringsAndAllPermissions)
{
    SiteBook r;
    EXPECT_FALSE(r.kind.isNull());
    EXPECT_TRUE(r.kind.isEmpty());
    EXPECT_FALSE(r.cameomode.isNull());
    EXPECT_EQ(r.index, -1);
    EXPECT_EQ(r.channel, -1);
    EXPECT_EQ(r.quality, 1);
    EXPECT_EQ(r.permissionLive, 0xFFFF);
    EXPECT_TRUE(r.permissionConfig);
    for (int i = 0; i < SiteBook::CameraCount; ++i) {
        EXPECT_EQ(r.emapCameraPos[i], QStringLiteral("0.452077;0.262222;"));
        EXPECT_TRUE(r.emapCameraPath[i].isEmpty());
    }
}

TEST(SiteBookRecord, DefaultRecordDragBytes)
{
    EXPECT_EQ(SiteBook().ToDragData().toHex(), Hex(kDefaultRecordHex).toHex());
}

TEST(SiteBookRecord, FieldOrderOnTheStream)
{
    SiteBook r;
    r.kind = "device";          // first string
    r.use_ssl = 1;              // last integer
    r.posX = 0.5f;              // first float
    r.permissionConfig = false; // the one boolean
    r.cameomode = "4";
    const QByteArray hex = Hex("0000000C 006400650076006900630065" // "device" in UTF-16BE
                               "00000000 00000000 00000000 00000000 00000000 00000000 00000000"
                               "00000000 00000000 00000000 00000000"
                               "FFFFFFFF FFFFFFFF 00000001 0000FFFF 0000FFFF 0000FFFF 0000FFFF"
                               "00"
                               "00000002 0034"                     // "4"
                               "3FE0000000000000 0000000000000000" // 0.5 as a double
                               "00000001");
    EXPECT_EQ(r.ToDragData().toHex(), hex.toHex());
}

TEST(SiteBookRecord, FullRecordRoundTripAndCameraFieldsStayBehind)
{
    SiteBook r;
    r.kind = "folder";
    r.name = QString::fromUtf8("Lager Süd");
    r.addr = "10.0.0.7";
    r.port = "9010";
    r.id = "admin";
    r.password = "1234";
    r.path = "/tmp/x";
    r.emapPath = "/maps/a.png";
    r.emapPos = "0.100000;0.200000;";
    r.favoritesdevice = "A;B;";
    r.favoriteschannel = "0;1;";
    r.favoritesmode = "autoConnectOn";
    r.cameomode = "16";
    r.posX = 0.25f;
    r.posY = -3.5f;
    r.index = 42;
    r.channel = 7;
    r.quality = 2;
    r.permissionLive = 0x00F0;
    r.permissionSearch = 1;
    r.permissionBackup = 0;
    r.permissionPtz = 0x8000;
    r.permissionConfig = false;
    r.use_ssl = 1;
    r.emapCameraPath[3] = "/maps/b.png";
    r.emapCameraPos[3] = "0.9;0.9;";

    SiteBook back;
    ASSERT_TRUE(SiteBook::FromDragData(r.ToDragData(), &back));
    SiteBook expected = r;
    // The camera pictures and positions do not travel: the receiver keeps its defaults.
    expected.emapCameraPath[3] = "";
    expected.emapCameraPos[3] = "0.452077;0.262222;";
    ExpectSameRecord(back, expected);
}

TEST(SiteBookRecord, TruncatedDragDataIsRefusedAndLeavesTheTargetAlone)
{
    SiteBook r;
    r.name = "cam";
    const QByteArray full = r.ToDragData();
    SiteBook target;
    target.name = "untouched";
    for (int cut : {0, 1, 4, 50, full.size() - 1}) {
        EXPECT_FALSE(SiteBook::FromDragData(full.left(cut), &target)) << cut;
        EXPECT_EQ(target.name, QStringLiteral("untouched")) << cut;
    }
}

TEST(SiteBookRecord, ItemDataCarriesThePointer)
{
    QTreeWidgetItem item;
    EXPECT_EQ(SiteBook::FromItem(&item), nullptr);
    item.setData(0, Qt::UserRole, QStringLiteral("not a record"));
    EXPECT_EQ(SiteBook::FromItem(&item), nullptr);
    SiteBook record;
    SiteBook::SetOnItem(&item, &record);
    EXPECT_EQ(SiteBook::FromItem(&item), &record);
    EXPECT_EQ(QMetaType::type("SiteBook*"), SiteBook::RegisterMetaType());
    EXPECT_EQ(SiteBook::FromItem(nullptr), nullptr);
}

} // namespace
