#pragma once
// A main window of the test's kind composed as the program composes its own: the composition
// root installs the window's interfaces once the whole test window exists, starts it, and shuts
// it down and takes the interfaces away before any part of it goes.
#include "shell/clientapp.h"
#include "shell/clientsessionhub.h"

template <class Window>
class ComposedWindow final : public Window
{
public:
    ComposedWindow()
        : m_app(*this)
    {}

private:
    ClientApp m_app;
};
