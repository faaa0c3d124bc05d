#pragma once
// Starts the recorder family's sibling programs from the player's folder: "KRO.exe" and
// "Vistrel.exe" (found as the platform's process layer maps such names), each given the main
// dialog's left and top screen position as two decimal numbers. Vistrel is first looked for as
// an open window titled "KRO - Vistrel", which is brought forward instead of a second start.
// A program that is not there is not reported: the launch simply does not happen.
#include <QPoint>
#include <QString>
#include <QStringList>

#include <functional>

class SiblingLauncher
{
public:
    // Starts `name` with the arguments in `folder`; false when it could not be started.
    using Runner = std::function<bool(const QString& name, const QStringList& arguments, const QString& folder)>;
    // Restores and brings forward the window of that title; false when there is none.
    using WindowRaiser = std::function<bool(const QString& title)>;

    SiblingLauncher(QString programFolder, Runner runner, WindowRaiser raiser);

    bool LaunchKro(const QPoint& dialogTopLeft) const;
    bool LaunchVistrel(const QPoint& dialogTopLeft) const;

    // The process layer's detached start.
    static bool StartDetached(const QString& name, const QStringList& arguments, const QString& folder);
    // Looks among this program's own top-level windows (the only ones it can see here).
    static bool RaiseOwnWindow(const QString& title);

private:
    bool Start(const QString& name, const QPoint& at) const;

    QString m_folder;
    Runner m_runner;
    WindowRaiser m_raiser;
};
