#pragma once
// Installs one program-wide interface while it lives and takes it away again: the uninstall runs
// only while the interface is still the one this guard installed, so a later install is left
// alone. The composition root keeps its guards in install order and drops them in reverse.
#include <functional>
#include <utility>

class HubInstallGuard
{
public:
    // `install(value)` puts the interface in place (and takes it away with null); `current()`
    // tells which one is in place.
    template <class Face>
    static HubInstallGuard For(Face* value, void (*install)(Face*), Face* (*current)())
    {
        install(value);
        return HubInstallGuard([value, install, current] {
            if (current() == value)
                install(nullptr);
        });
    }

    explicit HubInstallGuard(std::function<void()> uninstall)
        : m_uninstall(std::move(uninstall))
    {}
    ~HubInstallGuard()
    {
        if (m_uninstall)
            m_uninstall();
    }
    HubInstallGuard(HubInstallGuard&& other) noexcept
        : m_uninstall(std::exchange(other.m_uninstall, nullptr))
    {}
    HubInstallGuard& operator=(HubInstallGuard&&) = delete;
    HubInstallGuard(const HubInstallGuard&) = delete;
    HubInstallGuard& operator=(const HubInstallGuard&) = delete;

private:
    std::function<void()> m_uninstall;
};
