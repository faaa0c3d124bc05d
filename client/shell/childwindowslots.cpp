#include "shell/childwindowslots.h"

#include <QDebug>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QWidget>

#include "shell/childsubwindow.h"
#include "shell/mainwindow.h"

namespace {
constexpr int kPopupWidth = 640;
constexpr int kPopupHeight = 480;
} // namespace

ChildWindowSlots::ChildWindowSlots(MainWindow* hub, QMdiArea* area, int count, const QIcon& icon)
    : QObject(hub)
    , m_pHub(hub)
    , m_pArea(area)
    , m_icon(icon)
    , m_slots(static_cast<std::size_t>(count > 0 ? count : 0))
{}

ChildWindowSlots::~ChildWindowSlots() = default;

int ChildWindowSlots::FreeSlot() const
{
    for (int i = 0; i < Count(); ++i) {
        if (!m_slots[i].window && !m_slots[i].leaving)
            return i;
    }
    return -1;
}

QWidget* ChildWindowSlots::Window(int index) const
{
    return IsIndex(index) ? m_slots[index].window.data() : nullptr;
}

QMdiSubWindow* ChildWindowSlots::SubWindow(int index) const
{
    return IsIndex(index) ? m_slots[index].sub.data() : nullptr;
}

bool ChildWindowSlots::IsPopup(int index) const
{
    return IsIndex(index) && m_slots[index].window && m_slots[index].popup != 0;
}

bool ChildWindowSlots::Place(int index, QWidget* window)
{
    if (!IsIndex(index) || !window || m_slots[index].window || m_slots[index].leaving)
        return false;
    Slot& slot = m_slots[index];
    slot.window = window;
    slot.flags = window->windowFlags();
    slot.popup = 0;
    Dock(index);
    return true;
}

void ChildWindowSlots::Dock(int index)
{
    if (!IsIndex(index) || !m_pArea)
        return;
    Slot& slot = m_slots[index];
    QWidget* window = slot.window;
    if (!window || slot.sub)
        return;

    const QSize size = window->size();
    window->hide();
    // Back to the flags it was made with: a child widget inside the frame again.
    window->setParent(nullptr, slot.flags);
    auto* sub = new ChildSubWindow;
    sub->setWidget(window);
    m_pArea->addSubWindow(sub);
    sub->resize(size);
    sub->setWindowIcon(m_icon);
    window->show();
    sub->show();
    slot.sub = sub;

    // An accepted close of the frame frees the slot once the close has finished.
    QPointer<QWidget> framed = window;
    connect(
        sub, &ChildSubWindow::closed, this,
        [this, index, framed] {
            if (framed && IsIndex(index) && m_slots[index].window == framed)
                Destroy(index);
        },
        Qt::QueuedConnection);

    if (slot.popup) {
        slot.popup = 0;
        emit popupChanged(index, false);
    }
}

void ChildWindowSlots::DropSubWindow(Slot& slot)
{
    QMdiSubWindow* sub = slot.sub;
    slot.sub = nullptr;
    if (!sub)
        return;
    sub->hide();
    if (slot.window && sub->widget() == slot.window)
        sub->setWidget(nullptr);
    if (m_pArea)
        m_pArea->removeSubWindow(sub);
    sub->deleteLater();
}

void ChildWindowSlots::PopOut(int index)
{
    if (!IsIndex(index) || !m_pHub)
        return;
    Slot& slot = m_slots[index];
    QWidget* window = slot.window;
    if (!window || slot.popup)
        return;

    // The sub-window is taken out in sub-window view, so that the tabs are rebuilt afterwards.
    const bool tabbed = !m_pHub->IsSubWindowView();
    if (tabbed)
        m_pHub->SetupTabBar(true);
    window->hide();
    DropSubWindow(slot);
    window->setParent(m_pHub, Qt::Dialog | Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint
                                  | Qt::WindowStaysOnTopHint);
    window->resize(kPopupWidth, kPopupHeight);
    window->showNormal();
    slot.popup = 1;
    emit popupChanged(index, true);
    if (tabbed)
        m_pHub->SetupTabBar(false);
}

void ChildWindowSlots::Toggle(int index)
{
    if (!IsIndex(index) || !m_slots[index].window)
        return;
    if (m_slots[index].popup)
        Dock(index);
    else
        PopOut(index);
}

void ChildWindowSlots::Release(int index)
{
    if (!IsIndex(index))
        return;
    Slot& slot = m_slots[index];
    if (!slot.window && !slot.sub)
        return;
    // The slot is empty before the window hears of its close, so the window no longer counts
    // as popped out and may close.
    QPointer<QWidget> window = slot.window;
    slot.window = nullptr;
    slot.popup = 0;
    DropSubWindow(slot);
    if (window) {
        slot.leaving = window;
        window->hide();
        window->close();
        // Harmless when the window is already being destroyed: its pending deletion goes with it.
        window->deleteLater();
    }
}

void ChildWindowSlots::Destroy(int index)
{
    if (!IsIndex(index))
        return;
    Release(index);
    delete m_slots[index].leaving.data();
}

void ChildWindowSlots::DestroyAll()
{
    for (int i = 0; i < Count(); ++i)
        Destroy(i);
}
