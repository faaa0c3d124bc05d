#include "session/emapwindow.h"

namespace {
EmapWindow* g_activeEmapWindow = nullptr;
} // namespace

EmapWindow::~EmapWindow()
{
    if (g_activeEmapWindow == this)
        g_activeEmapWindow = nullptr;
}

EmapWindow* EmapWindow::Active()
{
    return g_activeEmapWindow;
}

void EmapWindow::SetActive(EmapWindow* window)
{
    g_activeEmapWindow = window;
}
