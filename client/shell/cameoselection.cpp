#include "shell/cameoselection.h"

namespace {

bool InRange(const QVector<bool>& selected, int cell)
{
    return cell >= 0 && cell < selected.size();
}

// The cells between the current and the clicked one; the press itself selects the clicked cell
// afterwards, so the run ends up inclusive at both ends.
void SelectRun(QVector<bool>& selected, int current, int clicked)
{
    if (!InRange(selected, current))
        return;
    if (clicked > current) {
        for (int i = current; i < clicked; ++i)
            selected[i] = true;
    } else if (clicked < current) {
        for (int i = clicked; i <= current; ++i)
            selected[i] = true;
    }
}

// Ctrl on a selected cell takes it out; the first cell still selected becomes current. The last
// selected cell cannot be taken out: it stays selected and current.
int ToggleCell(QVector<bool>& selected, int clicked)
{
    if (!selected[clicked]) {
        selected[clicked] = true;
        return clicked;
    }
    selected[clicked] = false;
    const int first = selected.indexOf(true);
    if (first >= 0)
        return first;
    selected[clicked] = true;
    return clicked;
}

} // namespace

int CameoSelection::Press(QVector<bool>& selected, int current, int clicked, bool ctrl, bool shift)
{
    if (!InRange(selected, clicked))
        return current;
    // A plain click on the current cell keeps a multiple selection, so that a menu acts on all.
    if (clicked == current && !ctrl && !shift)
        return current;
    if (!ctrl)
        selected.fill(false);
    if (shift)
        SelectRun(selected, current, clicked);
    if (ctrl)
        return ToggleCell(selected, clicked);
    selected[clicked] = true;
    return clicked;
}
