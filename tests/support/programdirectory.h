#pragma once
// A fresh temporary folder made the working directory while a test runs: hubs take the working
// directory at start as their program directory, so sessions create nothing in the build.
#include <QDir>
#include <QString>
#include <QTemporaryDir>

class ProgramDirectory
{
public:
    // False when the folder could not be made or entered.
    bool Enter()
    {
        if (!m_dir.isValid())
            return false;
        m_previous = QDir::currentPath();
        return QDir::setCurrent(m_dir.path());
    }
    void Leave() { QDir::setCurrent(m_previous); }
    QString Path() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
    QString m_previous;
};
