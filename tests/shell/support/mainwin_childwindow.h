#pragma once
// A stand-in child window for the hub's window slots: it can refuse to close, and, like the
// live window, it reports its own destruction to the hub.
#include <QCloseEvent>
#include <QWidget>
#include <functional>

class MainWinChildWindow : public QWidget
{
public:
    explicit MainWinChildWindow(std::function<void()> onDestroy = {})
        : m_onDestroy(std::move(onDestroy))
    {
        resize(500, 300);
    }
    ~MainWinChildWindow() override
    {
        if (m_onDestroy)
            m_onDestroy();
    }

    bool refuseClose = false;
    int closeEvents = 0;

protected:
    void closeEvent(QCloseEvent* event) override
    {
        ++closeEvents;
        if (refuseClose)
            event->ignore();
        else
            event->accept();
    }

private:
    std::function<void()> m_onDestroy;
};
