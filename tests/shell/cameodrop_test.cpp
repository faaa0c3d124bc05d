// What a grid takes from a drag: the formats by grid kind, the handling a drop gets, and the
// payloads read back, malformed ones included.
#include <QDataStream>
#include <QMimeData>
#include <gtest/gtest.h>

#include "session/sitebook.h"
#include "shell/cameodrop.h"
#include "shell/support/sitebook_drag_bytes.h"

namespace {

const char* const kItem = "application/x-qabstractitemmodeldatalist";
const char* const kOwnCell = "application/cameodrag_3";
const char* const kOtherCell = "application/cameodrag_4";
const char* const kFile = "application/filedrag";

std::unique_ptr<QMimeData> Offering(const char* format)
{
    auto data = std::make_unique<QMimeData>();
    data->setData(QLatin1String(format), QByteArray("x"));
    return data;
}

CameoDrop::Target Grid(CameoKind kind, bool emap = false)
{
    return {kind, emap, QLatin1String(kOwnCell)};
}

struct FormatCase
{
    const char* format;
    CameoKind kind;
    bool emap;
    bool accepted;
    CameoDrop::Handling handling;
};

class CameoDropFormats : public ::testing::TestWithParam<FormatCase>
{};

TEST_P(CameoDropFormats, AcceptAndRoute)
{
    const FormatCase& c = GetParam();
    const auto data = Offering(c.format);
    EXPECT_EQ(CameoDrop::Accepts(data.get(), Grid(c.kind, c.emap)), c.accepted) << c.format;
    EXPECT_EQ(CameoDrop::Route(data.get(), Grid(c.kind, c.emap)), c.handling) << c.format;
}

using H = CameoDrop::Handling;
// clang-format off
INSTANTIATE_TEST_SUITE_P(Cases, CameoDropFormats, ::testing::Values(
    FormatCase{kItem,       CameoKind::Live,     false, true,  H::SiteBookItem},
    FormatCase{kItem,       CameoKind::Playback, false, true,  H::SiteBookItem},
    FormatCase{kItem,       CameoKind::Local,    false, true,  H::Archive},
    FormatCase{kItem,       CameoKind::Live,     true,  false, H::Refused},   // e-map tile
    FormatCase{kOwnCell,    CameoKind::Live,     false, true,  H::CellSwap},
    FormatCase{kOwnCell,    CameoKind::Playback, false, true,  H::CellSwap},
    FormatCase{kOwnCell,    CameoKind::Local,    false, true,  H::Refused},   // taken on enter, not dropped
    FormatCase{kOtherCell,  CameoKind::Live,     false, false, H::Refused},   // another grid's cell
    FormatCase{kFile,       CameoKind::Local,    false, true,  H::File},
    FormatCase{kFile,       CameoKind::Live,     false, false, H::Refused},
    FormatCase{kFile,       CameoKind::Playback, false, false, H::Refused},
    FormatCase{"text/plain", CameoKind::Live,    false, false, H::Refused}));
// clang-format on

TEST(CameoDropRecord, ReadsTheFieldsOfTheDragStream)
{
    DragRecordFields f;
    f.kind = QStringLiteral("camera");
    f.name = QStringLiteral("Gate");
    f.index = 12;
    f.channel = 3;
    SiteBook record;
    ASSERT_TRUE(CameoDrop::ReadRecord(DragRecordBytes(f), &record));
    EXPECT_EQ(record.kind, QLatin1String("camera"));
    EXPECT_EQ(record.name, QLatin1String("Gate"));
    EXPECT_EQ(record.index, 12);
    EXPECT_EQ(record.channel, 3);

    DragRecordFields fav;
    fav.kind = QStringLiteral("favorites_item");
    fav.favoritesdevice = QStringLiteral("A;B;");
    fav.favoriteschannel = QStringLiteral("0;1;");
    fav.cameomode = QStringLiteral("1604");
    ASSERT_TRUE(CameoDrop::ReadRecord(DragRecordBytes(fav), &record));
    EXPECT_EQ(record.favoritesdevice, QLatin1String("A;B;"));
    EXPECT_EQ(record.favoriteschannel, QLatin1String("0;1;"));
    EXPECT_EQ(record.cameomode, QLatin1String("1604"));
}

TEST(CameoDropRecord, RefusesMalformedStreamsAndIndicesOutOfRange)
{
    DragRecordFields good;
    good.kind = QStringLiteral("device");
    good.index = 9998;
    const QByteArray bytes = DragRecordBytes(good);
    SiteBook record;
    ASSERT_TRUE(CameoDrop::ReadRecord(bytes, &record));

    struct Case
    {
        const char* what;
        QByteArray payload;
    };
    DragRecordFields index = good;
    index.index = 9999;
    DragRecordFields negative = good;
    negative.index = -2;
    DragRecordFields channel = good;
    channel.channel = 16;
    DragRecordFields channelNegative = good;
    channelNegative.channel = -5;
    QByteArray hugeString;
    {
        QDataStream out(&hugeString, QIODevice::WriteOnly);
        out << quint32(0x7FFFFFF0); // a string length far beyond the payload
    }
    const Case cases[] = {
        {"empty", QByteArray()},
        {"cut after the strings", bytes.left(bytes.size() - 30)},
        {"cut by one byte", bytes.left(bytes.size() - 1)},
        {"a string longer than the payload", hugeString},
        {"recorder index 9999", DragRecordBytes(index)},
        {"recorder index -2", DragRecordBytes(negative)},
        {"channel 16", DragRecordBytes(channel)},
        {"channel -5", DragRecordBytes(channelNegative)},
    };
    for (const Case& c : cases) {
        SiteBook untouched;
        untouched.name = QStringLiteral("kept");
        EXPECT_FALSE(CameoDrop::ReadRecord(c.payload, &untouched)) << c.what;
        EXPECT_EQ(untouched.name, QLatin1String("kept")) << c.what;
    }
}

QByteArray FileDrag(const QString& path, const QString& name)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out << path << name;
    return bytes;
}

TEST(CameoDropFile, TheFolderIsThePathWithoutTheName)
{
    struct Case
    {
        QString path, name;
        bool ok;
        QString folder;
    };
    const Case cases[] = {
        {"/data/backup/Record_Live/Gate/20240305/h071502.001", "h071502.001", true,
         "/data/backup/Record_Live/Gate/20240305/"},
        {"/rec/a b/h000000.002", "h000000.002", true, "/rec/a b/"},
        {"h1", "h1", true, ""},
        {"/x", "a much longer name than the path", false, ""},
        {"/x/h1", "", false, ""},
    };
    for (const Case& c : cases) {
        QString folder;
        QString file;
        EXPECT_EQ(CameoDrop::ReadFileDrag(FileDrag(c.path, c.name), &folder, &file), c.ok) << c.path.toStdString();
        if (c.ok) {
            EXPECT_EQ(folder, c.folder);
            EXPECT_EQ(file, c.name);
        }
    }
    QString folder;
    QString file;
    EXPECT_FALSE(CameoDrop::ReadFileDrag(FileDrag("/a/h1", "h1").left(9), &folder, &file)) << "cut stream";
    EXPECT_FALSE(CameoDrop::ReadFileDrag(QByteArray(), &folder, &file));
}

TEST(CameoDropFavorite, LayoutCodes)
{
    struct Case
    {
        const char* text;
        bool ok;
        int split, first;
    };
    const Case cases[] = {{"1604", true, 16, 4}, {"400", true, 4, 0},   {"6463", true, 64, 63},
                          {"100", true, 1, 0},   {"1300", true, 13, 0}, {"1500", false, 0, 0},
                          {"0", false, 0, 0},    {"-400", false, 0, 0}, {"16a4", false, 0, 0},
                          {"", false, 0, 0},     {"6499", false, 0, 0}};
    for (const Case& c : cases) {
        int split = -1;
        int first = -1;
        EXPECT_EQ(CameoDrop::ReadLayout(QLatin1String(c.text), &split, &first), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(split, c.split) << c.text;
            EXPECT_EQ(first, c.first) << c.text;
        }
    }
}

TEST(CameoDropFavorite, SearchDateAndTime)
{
    struct Case
    {
        const char* text;
        bool ok;
        int date, time;
    };
    const Case cases[] = {{"20240305;071502;", true, 20240305, 71502},
                          {"20240229;235959;", true, 20240229, 235959},
                          {"20230229;000000;", false, 0, 0}, // no 29 February in 2023
                          {"20241305;071502;", false, 0, 0},
                          {"20240305;246000;", false, 0, 0},
                          {"20240305;", false, 0, 0},
                          {"date;time;", false, 0, 0},
                          {"", false, 0, 0}};
    for (const Case& c : cases) {
        int date = -1;
        int time = -1;
        EXPECT_EQ(CameoDrop::ReadSearchTime(QLatin1String(c.text), &date, &time), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(date, c.date);
            EXPECT_EQ(time, c.time);
        }
    }
}

} // namespace
