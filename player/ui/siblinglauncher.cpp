#include "ui/siblinglauncher.h"

#include "platform/process.h"

#include <QApplication>
#include <QWidget>

SiblingLauncher::SiblingLauncher(QString programFolder, Runner runner, WindowRaiser raiser)
    : m_folder(std::move(programFolder))
    , m_runner(std::move(runner))
    , m_raiser(std::move(raiser))
{}

bool SiblingLauncher::Start(const QString& name, const QPoint& at) const
{
    if (!m_runner)
        return false;
    return m_runner(name, {QString::number(at.x()), QString::number(at.y())}, m_folder);
}

bool SiblingLauncher::LaunchKro(const QPoint& dialogTopLeft) const
{
    return Start(QStringLiteral("KRO.exe"), dialogTopLeft);
}

bool SiblingLauncher::LaunchVistrel(const QPoint& dialogTopLeft) const
{
    if (m_raiser && m_raiser(QStringLiteral("KRO - Vistrel")))
        return true;
    return Start(QStringLiteral("Vistrel.exe"), dialogTopLeft);
}

bool SiblingLauncher::StartDetached(const QString& name, const QStringList& arguments, const QString& folder)
{
    return platform::Process::StartDetached(name, arguments, folder);
}

bool SiblingLauncher::RaiseOwnWindow(const QString& title)
{
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->windowTitle() != title || !window->isVisible())
            continue;
        if (window->isMinimized())
            window->showNormal();
        window->raise();
        window->activateWindow();
        return true;
    }
    return false;
}
