#pragma once
// The recorder simulator as a child process for grid tests that need a logged-in recorder:
// started on a free port, ready once it prints "LISTENING <port>", stopped by its process id.
#include "harness/dvrsimprocess.h"

class GridDvrSim : public DvrSimProcess
{
public:
    explicit GridDvrSim(const QStringList& options)
        : DvrSimProcess(options)
    {}

    // Empty on success, else what went wrong.
    QString Start()
    {
        QString error;
        return DvrSimProcess::Start(&error) ? QString() : error;
    }
};
