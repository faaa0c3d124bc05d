#pragma once
// The hub's fixed set of slots for one kind of child window (four live windows, two remote
// search, two local search, two e-map windows). A window in a slot is either docked as a
// sub-window of the multi-document area or popped out as a window of its own; the slot keeps
// the window, its sub-window and the popped-out flag, and docks, pops out and frees it.
#include <QIcon>
#include <QObject>
#include <QPointer>
#include <vector>

class MainWindow;
class QMdiArea;
class QMdiSubWindow;
class QWidget;

class ChildWindowSlots : public QObject
{
    Q_OBJECT

public:
    ChildWindowSlots(MainWindow* hub, QMdiArea* area, int count, const QIcon& icon);
    ~ChildWindowSlots() override;

    int Count() const { return static_cast<int>(m_slots.size()); }
    // The lowest empty slot, or -1.
    int FreeSlot() const;
    // The window in the slot; null for an empty slot or a bad index.
    QWidget* Window(int index) const;
    QMdiSubWindow* SubWindow(int index) const;
    // True while the slot's window floats outside the area.
    bool IsPopup(int index) const;

    // Puts a new window into an empty slot and docks it. False (window untouched) for a bad
    // index or a taken slot.
    bool Place(int index, QWidget* window);
    // Into the area as a sub-window of the window's size, with the kind's icon.
    void Dock(int index);
    // Out of the area as an always-on-top window of 640 x 480; a tabbed area stays tabbed.
    void PopOut(int index);
    void Toggle(int index);
    // Empties the slot: the window leaves the area (or its own window), is hidden, closed and
    // scheduled for deletion, and so is its sub-window. The window's destructor calls this too.
    // The slot takes no new window until the old one is gone, so that the old window's
    // destructor can never release its successor.
    void Release(int index);
    // Release, then destroy the window.
    void Destroy(int index);
    void DestroyAll();

signals:
    void popupChanged(int index, bool poppedOut);

private:
    struct Slot
    {
        QPointer<QWidget> window;
        QPointer<QWidget> leaving; // released, its deletion pending
        QPointer<QMdiSubWindow> sub;
        Qt::WindowFlags flags;
        quint8 popup = 0;
    };

    bool IsIndex(int index) const { return index >= 0 && index < Count(); }
    // Takes the sub-window out of the area and schedules it for deletion; the window it framed
    // is left without a parent.
    void DropSubWindow(Slot& slot);

    MainWindow* m_pHub;
    QPointer<QMdiArea> m_pArea;
    QIcon m_icon;
    std::vector<Slot> m_slots;
};
