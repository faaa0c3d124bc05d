#pragma once
// What a live window needs of the window that keeps it: its style sheet, whether it is popped
// out and docking it back, the tab bar once it is maximized, the e-map flag as it shows or hides,
// and its slot freed as it goes. The main window is the host.
#include <QString>

class LiveViewHost
{
public:
    virtual ~LiveViewHost() = default;

    virtual QString LiveViewStyleSheet() const = 0;
    virtual bool IsLiveViewPopup(int index) const = 0;
    virtual void DockLiveView(int index) = 0;
    virtual void SetupTabBar(bool subWindowView) = 0;
    virtual void ResetEmapFlag() = 0;
    // The window's destructor calls it.
    virtual void deleteLiveView(int index) = 0;
};
