// The layout reader without widgets: XML written by hand, read under a console area, gives the
// elements' kinds and rectangles, the channel, the shutdown page and the restart zones.
#include <gtest/gtest.h>

#include "console/configlayoutparser.h"
#include "console/shutdowncaption.h"

namespace {

ConsoleLayout Read(const QByteArray& body, const ConsoleArea& area = ConsoleArea(0, 0, 800, 600, 800, 600),
                   const QByteArray& root = "<zent version=\"1.0\">")
{
    ConfigLayoutParser parser(area);
    return parser.Read("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n" + root + body + "</zent>\n");
}

const ConsoleElement* Find(const ConsoleLayout& layout, const QString& id)
{
    for (const ConsoleElement& e : layout.elements)
        if (e.id == id)
            return &e;
    return nullptr;
}

TEST(ConfigLayoutParser, GeometryOfEveryElementKind)
{
    const ConsoleLayout layout = Read(
        "<WINDOW id=\"w\" image_name=\"win_bg\" image_count=\"1\" x=\"10\" y=\"20\" width=\"300\" height=\"200\">"
        "<IMAGE image_name=\"win_bg\" x=\"10\" y=\"20\" width=\"300\" height=\"200\"/></WINDOW>"
        "<LABEL id=\"l\" text=\"Name\" type=\"LABEL\" align_text=\"center\" x=\"30\" y=\"40\" width=\"100\" height=\"20\"/>"
        "<BUTTON id=\"b\" text=\"OK\" image_name=\"btn\" image_count=\"2\" x=\"50\" y=\"60\" width=\"80\" height=\"30\">"
        "<IMAGE image_name=\"btn\" x=\"50\" y=\"60\" width=\"80\" height=\"30\"/>"
        "<IMAGE image_name=\"btn_focus\" x=\"51\" y=\"61\" width=\"80\" height=\"30\"/></BUTTON>"
        "<EDIT id=\"e\" text=\"DVR\" image_count=\"0\" x=\"70\" y=\"80\" width=\"90\" height=\"25\"/>"
        "<IMAGE id=\"i\" image_name=\"logo\" x=\"5\" y=\"6\" width=\"7\" height=\"8\"/>"
        "<SCROLL_BAR id=\"s\" min=\"0\" max=\"20\" value=\"3\" rows=\"5\" x=\"1\" y=\"2\" width=\"3\" height=\"4\"/>"
        "<SLIDER id=\"sl\" min=\"1\" max=\"30\" value=\"15\" x=\"0\" y=\"0\" width=\"100\" height=\"10\"/>"
        "<PROGRESSBAR id=\"p\" min=\"5\" max=\"10\" value=\"70\" x=\"0\" y=\"0\" width=\"100\" height=\"10\"/>");
    ASSERT_TRUE(layout.ok) << layout.error.toStdString();
    struct Expected
    {
        const char* id;
        ConsoleElementKind kind;
        QRect rect;
    };
    // Centred by (100, 40) in the 1000 x 680 frame; labels 10 further right.
    const Expected expected[] = {
        {"w", ConsoleElementKind::Window, {110, 60, 300, 200}},
        {"l", ConsoleElementKind::Label, {140, 80, 100, 20}},
        {"b", ConsoleElementKind::Button, {150, 100, 80, 30}},
        {"e", ConsoleElementKind::Edit, {170, 120, 90, 25}},
        {"i", ConsoleElementKind::Image, {105, 46, 7, 8}},
        {"s", ConsoleElementKind::ScrollBar, {101, 42, 3, 4}},
        {"sl", ConsoleElementKind::Slider, {100, 40, 100, 10}},
        {"p", ConsoleElementKind::ProgressBar, {100, 40, 100, 10}},
    };
    ASSERT_EQ(layout.elements.size(), int(std::size(expected)));
    for (int i = 0; i < layout.elements.size(); ++i) {
        EXPECT_EQ(layout.elements[i].id, QLatin1String(expected[i].id));
        EXPECT_EQ(layout.elements[i].kind, expected[i].kind) << expected[i].id;
        EXPECT_EQ(layout.elements[i].rect, expected[i].rect) << expected[i].id;
    }
    const ConsoleElement* button = Find(layout, "b");
    ASSERT_EQ(button->images.size(), 2);
    EXPECT_EQ(button->images[1].name, QStringLiteral("btn_focus"));
    EXPECT_EQ(button->images[1].rect, QRect(151, 101, 80, 30));
    EXPECT_EQ(button->textPos, QPoint(150, 100));
    EXPECT_EQ(Find(layout, "l")->align, QStringLiteral("center"));
    EXPECT_EQ(Find(layout, "s")->minimum, 0);
    EXPECT_EQ(Find(layout, "s")->maximum, 16) << "max - rows + 1";
    EXPECT_EQ(Find(layout, "sl")->maximum, 30);
    EXPECT_EQ(Find(layout, "p")->value, 70);
}

TEST(ConfigLayoutParser, ButtonTypes)
{
    const ConsoleLayout layout = Read(
        "<BUTTON id=\"c\" type=\"COLOR_BUTTON\" color_r=\"200\" color_g=\"40\" color_b=\"300\" x=\"0\" y=\"0\" width=\"4\" height=\"5\"/>"
        "<BUTTON id=\"z\" type=\"COLOR_BUTTON\" color_r=\"1\" x=\"0\" y=\"0\" width=\"0\" height=\"5\"><IMAGE/></BUTTON>"
        "<BUTTON id=\"k\" type=\"CHECK_BUTTON\" align_text=\"left\" x=\"0\" y=\"0\" width=\"4\" height=\"5\"/>");
    ASSERT_TRUE(layout.ok);
    ASSERT_NE(Find(layout, "c"), nullptr);
    EXPECT_TRUE(Find(layout, "c")->colourButton);
    EXPECT_EQ(Find(layout, "c")->colour, QColor(200, 40, 255, 255));
    EXPECT_EQ(Find(layout, "z"), nullptr) << "a colour button without a size is dropped";
    EXPECT_EQ(Find(layout, "k")->align, QStringLiteral("check_button"));
}

TEST(ConfigLayoutParser, ImagesBeyondTheAnnouncedCountAreIgnored)
{
    QByteArray images;
    for (int i = 0; i < 12; ++i)
        images += "<IMAGE image_name=\"p" + QByteArray::number(i) + "\"/>";
    const ConsoleLayout layout = Read("<WINDOW id=\"two\" image_count=\"2\">" + images
                                      + "</WINDOW>"
                                        "<BUTTON id=\"many\" image_count=\"50\">"
                                      + images + "</BUTTON>");
    ASSERT_TRUE(layout.ok);
    EXPECT_EQ(Find(layout, "two")->images.size(), 2);
    EXPECT_EQ(Find(layout, "many")->images.size(), ConsoleLayout::kMaxImages);
    EXPECT_EQ(Find(layout, "many")->images.last().name, QStringLiteral("p7"));
}

TEST(ConfigLayoutParser, RepeatedIdReplacesTheEarlierElement)
{
    const ConsoleLayout layout = Read(
        "<LABEL id=\"a\" text=\"first\"/><IMAGE id=\"b\"/><BUTTON id=\"a\" text=\"second\"/>");
    ASSERT_EQ(layout.elements.size(), 2);
    EXPECT_EQ(layout.elements[0].id, QStringLiteral("b"));
    EXPECT_EQ(layout.elements[1].kind, ConsoleElementKind::Button);
    EXPECT_EQ(layout.elements[1].text, QStringLiteral("second"));
}

TEST(ConfigLayoutParser, ChannelOfTheRoot)
{
    struct Case
    {
        QByteArray root;
        int channel;
        bool background;
    };
    const Case cases[] = {
        {"<zent version=\"1.0\" channel=\"3\">", 3, true},
        {"<zent version=\"1.0\" channel=\"15\">", 15, true},
        {"<zent version=\"1.0\" channel=\"16\">", 16, false},
        {"<zent version=\"1.0\" channel=\"x\">", -1, false},
        {"<zent version=\"1.0\">", -1, false},
    };
    for (const Case& c : cases) {
        const ConsoleLayout layout = Read("", ConsoleArea(), c.root);
        EXPECT_EQ(layout.channel, c.channel) << c.root.constData();
        EXPECT_EQ(layout.HasBackground(), c.background) << c.root.constData();
    }
}

TEST(ConfigLayoutParser, WrongRootBuildsNothing)
{
    for (const QByteArray& root : {QByteArray("<zent version=\"2.0\">"), QByteArray("<other version=\"1.0\">")}) {
        ConfigLayoutParser parser{ConsoleArea()};
        const ConsoleLayout layout = parser.Read(root + "<LABEL id=\"a\" text=\"SHUTDOWN\"/></x>");
        EXPECT_FALSE(layout.ok);
        EXPECT_FALSE(layout.rootAccepted);
        EXPECT_TRUE(layout.elements.isEmpty());
        EXPECT_FALSE(layout.shutdownPage);
        EXPECT_EQ(layout.error, QStringLiteral("The file is not an zent version 1.0 file."));
    }
}

TEST(ConfigLayoutParser, BrokenDocumentKeepsWhatCameBefore)
{
    ConfigLayoutParser parser{ConsoleArea()};
    const ConsoleLayout layout = parser.Read(
        "<zent version=\"1.0\"><LABEL id=\"a\"/><IMAGE id=\"b\"/><BUTTON id=\"c\" x=");
    EXPECT_FALSE(layout.ok);
    EXPECT_TRUE(layout.rootAccepted);
    ASSERT_EQ(layout.elements.size(), 2);
    EXPECT_EQ(layout.elements[1].id, QStringLiteral("b"));
}

TEST(ConfigLayoutParser, MissingAndWildNumbers)
{
    const ConsoleLayout layout = Read("<IMAGE id=\"a\" x=\"abc\" y=\"99999999999\" width=\"-5\"/>",
                                      ConsoleArea(0, 0, 1000, 680, 1000, 680));
    ASSERT_EQ(layout.elements.size(), 1);
    EXPECT_EQ(layout.elements[0].rect, QRect(0, 0, -5, 0)) << "unreadable numbers are 0";
}

TEST(ConfigLayoutParser, LastLabelDecidesTheShutdownPage)
{
    EXPECT_TRUE(Read("<LABEL text=\"x\"/><LABEL text=\"KAPATMA\"/>").shutdownPage);
    EXPECT_FALSE(Read("<LABEL text=\"SHUTDOWN\"/><LABEL text=\"x\"/>").shutdownPage);
    EXPECT_TRUE(Read("<LABEL text=\"SHUTDOWN\"/><BUTTON id=\"b\"/>").shutdownPage) << "only labels count";
}

TEST(ConfigLayoutParser, TenTableButtonsGiveNineRestartZones)
{
    QByteArray buttons;
    for (int i = 0; i < 10; ++i)
        buttons += "<BUTTON id=\"t" + QByteArray::number(i) + "\" image_name=\"btn_table_each_normal\" x=\""
                   + QByteArray::number(i * 10) + "\" y=\"0\" width=\"8\" height=\"9\"/>";
    const ConsoleLayout layout = Read(buttons + "<EDIT id=\"e\" image_name=\"btn_table_each_normal\"/>");
    ASSERT_EQ(layout.restartZones.size(), 9);
    EXPECT_EQ(layout.restartZones[0], QRect(100, 40, 8, 9));
    EXPECT_EQ(layout.restartZones[8], QRect(180, 40, 8, 9));
}

TEST(ShutdownCaption, ExactAndLeadingCaptions)
{
    struct Case
    {
        QString text;
        bool shutdown;
    };
    const Case cases[] = {
        {QStringLiteral("SHUTDOWN"), true},         {QStringLiteral("AFSLUITEN"), true},
        {QStringLiteral("LUK NED"), true},          {QStringLiteral("SHUTDOWN "), false},
        {QStringLiteral("shutdown"), false},        {QString::fromUtf8(u8"关机"), true},
        {QString::fromUtf8(u8"关机 (系统)"), true}, {QString::fromUtf8(u8"ÉTEINDRE LE SYSTÈME"), true},
        {QString::fromUtf8(u8"시스템 종료"), true}, {QString::fromUtf8(u8"ЗАКРЫТЬ"), true},
        {QString::fromUtf8(u8"关"), false},         {QString(), false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ShutdownCaption::Matches(c.text), c.shutdown) << c.text.toStdString();
}

TEST(ShutdownCaption, LongTextBeginningWithACaption)
{
    // The text is compared by its first 99 bytes; the caption leads them.
    const QString caption = QString::fromUtf8(u8"关机");
    EXPECT_TRUE(ShutdownCaption::Matches(caption + QString(200, QLatin1Char('x'))));
}

} // namespace
