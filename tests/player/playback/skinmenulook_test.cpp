#include "playback/skinmenulook.h"

#include <gtest/gtest.h>

namespace {

TEST(SkinMenuLook, LightenMovesEachChannelTowardWhite)
{
    EXPECT_EQ(SkinMenuLook::LightenColour(QColor(0, 100, 200), 0.5), QColor(127, 177, 227));
    EXPECT_EQ(SkinMenuLook::LightenColour(QColor(10, 36, 106), 0.7), QColor(181, 189, 210));
    EXPECT_EQ(SkinMenuLook::LightenColour(QColor(10, 20, 30), 1.0), QColor(255, 255, 255));
    for (double outside : {0.0, -0.2, 1.01}) {
        EXPECT_EQ(SkinMenuLook::LightenColour(QColor(10, 20, 30), outside), QColor(10, 20, 30)) << outside;
    }
}

SkinMenuColours Colours(QColor face, QColor menu)
{
    return {face, menu, QColor(10, 36, 106), Qt::white, Qt::black, QColor(128, 128, 128)};
}

TEST(SkinMenuLook, PaletteDisplaysAlwaysGetTheClassicLook)
{
    const SkinMenuOptions startUp{true, true};
    const SkinMenuColours differ = Colours(QColor(212, 208, 200), Qt::white);
    const SkinMenuColours equal = Colours(QColor(212, 208, 200), QColor(212, 208, 200));
    EXPECT_EQ(SkinMenuLook::ChooseLook(256, differ, startUp), SkinMenuStyleKind::Classic);
    EXPECT_EQ(SkinMenuLook::ChooseLook(16, equal, startUp), SkinMenuStyleKind::Classic);
    EXPECT_EQ(SkinMenuLook::ChooseLook(1 << 24, differ, startUp), SkinMenuStyleKind::Flat);
    EXPECT_EQ(SkinMenuLook::ChooseLook(1 << 24, equal, startUp), SkinMenuStyleKind::Flat);
    EXPECT_EQ(SkinMenuLook::ChooseLook(1 << 24, equal, SkinMenuOptions()), SkinMenuStyleKind::Classic);
}

TEST(SkinMenuLook, EqualColoursLightenTheColumnOnWhite)
{
    const SkinMenuFlatColours equal = SkinMenuLook::FlatColours(
        Colours(QColor(200, 200, 200), QColor(200, 200, 200)));
    EXPECT_EQ(equal.column, QColor(219, 219, 219));
    EXPECT_EQ(equal.background, QColor(Qt::white));
    EXPECT_EQ(equal.selection, QColor(218, 222, 232));
    EXPECT_EQ(equal.disabledText, QColor(197, 197, 197));
    const SkinMenuFlatColours differ = SkinMenuLook::FlatColours(Colours(QColor(200, 200, 200), Qt::white));
    EXPECT_EQ(differ.column, QColor(200, 200, 200));
    EXPECT_EQ(differ.selection, QColor(181, 189, 210));
    EXPECT_EQ(differ.selectionFrame, QColor(10, 36, 106));
}

TEST(SkinMenuLook, MeasuresSeparatorsAndItems)
{
    EXPECT_EQ(SkinMenuLook::MeasureSeparator(19), QSize(0, 9));
    EXPECT_EQ(SkinMenuLook::MeasureItem(60, QSize(16, 15), 19), QSize(93, 19));
    EXPECT_EQ(SkinMenuLook::MeasureItem(60, QSize(16, 24), 19), QSize(93, 28));
    EXPECT_EQ(SkinMenuLook::ImageTop(100, 19, 15), 102);
    EXPECT_EQ(SkinMenuLook::ImageTop(100, 40, 15), 112);
    EXPECT_EQ(SkinMenuLook::ImageTop(100, 10, 15), 102);
}

TEST(SkinMenuLook, ShortcutsStartInOneColumn)
{
    const auto width = [](const QString& text) { return text.size() * 5; };
    const QStringList aligned = SkinMenuLook::AlignShortcuts({"Open\tCtrl+O", "Save As\tF12", "About", "Go\tF5"},
                                                             width);
    EXPECT_EQ(aligned, QStringList({"Open   \tCtrl+O", "Save As\tF12", "About", "Go     \tF5"}));
    const QStringList stuck = SkinMenuLook::AlignShortcuts({"A\tx", "Long\ty"}, [](const QString& text) {
        return text.trimmed().size(); // spaces add nothing
    });
    EXPECT_EQ(stuck[1], QString("Long\ty"));
}

TEST(SkinMenuLook, GlyphsAreATickAndADisc)
{
    EXPECT_EQ(SkinMenuLook::CheckGlyph(),
              QStringList({"......#", ".....##", "#...###", "##.###.", "#####..", ".###...", "..#...."}));
    EXPECT_EQ(SkinMenuLook::RadioGlyph().size(), 6);
    EXPECT_EQ(SkinMenuLook::RadioGlyph()[2], QString("######"));
}

} // namespace
