// Which cells a press selects: plain, Ctrl and Shift clicks from a given selection.
#include <QVector>
#include <gtest/gtest.h>

#include "shell/cameoselection.h"

namespace {

QVector<bool> Flags(std::initializer_list<int> selected, int count = 8)
{
    QVector<bool> flags(count, false);
    for (int cell : selected)
        flags[cell] = true;
    return flags;
}

struct PressCase
{
    const char* what;
    std::initializer_list<int> before;
    int current;
    int clicked;
    bool ctrl;
    bool shift;
    std::initializer_list<int> after;
    int newCurrent;
};

class CameoSelectionPress : public ::testing::TestWithParam<PressCase>
{};

TEST_P(CameoSelectionPress, LeavesTheSelectionAndCurrentCell)
{
    const PressCase& c = GetParam();
    QVector<bool> selected = Flags(c.before);
    const int current = CameoSelection::Press(selected, c.current, c.clicked, c.ctrl, c.shift);
    EXPECT_EQ(selected, Flags(c.after)) << c.what;
    EXPECT_EQ(current, c.newCurrent) << c.what;
}

// clang-format off
const PressCase kPressCases[] = {
    {"plain click on the current cell keeps a multiple selection", {1, 2, 3}, 2, 2, false, false, {1, 2, 3}, 2},
    {"plain click on another cell leaves only that cell",          {1, 2, 3}, 2, 5, false, false, {5},       5},
    {"ctrl adds a cell and makes it current",                      {1},       1, 4, true,  false, {1, 4},    4},
    {"ctrl on a selected cell takes it out; the first left is current", {1, 4, 6}, 6, 4, true, false, {1, 6}, 1},
    {"ctrl on the only selected cell keeps it",                    {3},       3, 3, true,  false, {3},       3},
    {"shift forward selects the run, both ends included",          {2},       2, 5, false, true,  {2, 3, 4, 5}, 5},
    {"shift backward selects the run, both ends included",         {6},       6, 3, false, true,  {3, 4, 5, 6}, 3},
    {"shift drops what was selected outside the run",              {0, 2},    2, 4, false, true,  {2, 3, 4}, 4},
    {"ctrl and shift add the run to the selection",                {0, 5},    5, 7, true,  true,  {0, 5, 6, 7}, 7},
    {"a cell outside the grid changes nothing",                    {1},       1, 9, false, false, {1},       1},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Cases, CameoSelectionPress, ::testing::ValuesIn(kPressCases));

} // namespace
