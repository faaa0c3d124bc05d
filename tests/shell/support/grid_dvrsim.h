#pragma once
// The recorder simulator as a child process for grid tests that need a logged-in recorder:
// started on a free port, ready once it prints "LISTENING <port>", stopped by its process id.
#include <QProcess>
#include <QString>
#include <QStringList>

class GridDvrSim
{
public:
    explicit GridDvrSim(const QStringList& options);
    ~GridDvrSim();
    GridDvrSim(const GridDvrSim&) = delete;
    GridDvrSim& operator=(const GridDvrSim&) = delete;

    // Empty on success, else what went wrong.
    QString Start();
    int Port() const { return m_port; }

private:
    QStringList m_options;
    QProcess m_process;
    int m_port = 0;
};
