// The main window's e-map windows: choosing the window an opener uses and the two e-map slots.
#include <QMdiArea>
#include <QMdiSubWindow>

#include "emap/emapview.h"
#include "shell/childwindowslots.h"
#include "shell/mainwindow.h"

EmapView* MainWindow::GetEmapView(int index) const
{
    return qobject_cast<EmapView*>(m_pEmapSlots ? m_pEmapSlots->Window(index) : nullptr);
}

EmapView* MainWindow::GetActiveEmapView() const
{
    QMdiSubWindow* sub = m_pMdiArea ? m_pMdiArea->activeSubWindow() : nullptr;
    return sub ? qobject_cast<EmapView*>(sub->widget()) : nullptr;
}

void MainWindow::FocusEmapView(EmapView* view)
{
    const int slot = view->GetViewSlot();
    if (QMdiSubWindow* sub = m_pEmapSlots->SubWindow(slot); sub && !m_pEmapSlots->IsPopup(slot))
        m_pMdiArea->setActiveSubWindow(sub);
    view->activateWindow();
    view->setFocus();
}

EmapView* MainWindow::ChooseEmapView(int deviceIndex, int channel, bool* showsAlready)
{
    *showsAlready = false;
    for (int i = 0; i < kEmapViews && deviceIndex >= 0; ++i) {
        EmapView* view = GetEmapView(i);
        if (view && view->Shows(deviceIndex, channel)) {
            *showsAlready = true;
            return view;
        }
    }
    for (int i = 0; i < kEmapViews; ++i) {
        EmapView* view = GetEmapView(i);
        if (view && view->IsEmpty())
            return view;
    }
    if (EmapView* active = GetActiveEmapView())
        return active;
    return GetEmapView(exeEmapView());
}

void MainWindow::OpenEmapView(int deviceIndex, int channel)
{
    bool showsAlready = false;
    EmapView* view = ChooseEmapView(deviceIndex, channel, &showsAlready);
    if (!view)
        return;
    FocusEmapView(view);
    if (!showsAlready)
        view->setDevice(deviceIndex, channel);
}

void MainWindow::OpenEmapEntry(const QString& name, const QString& emapPath, const QString& emapPos,
                               const QString& devices, const QString& channels, int emapIndex)
{
    bool showsAlready = false;
    EmapView* view = ChooseEmapView(-1, -1, &showsAlready);
    if (!view)
        return;
    FocusEmapView(view);
    view->openEmapEntry(devices, channels, emapPos, emapPath, name, emapIndex);
}
