#pragma once
// The recorder simulator as a child process for the network module tests: started with the
// test's options and a log file, ready once it printed "LISTENING <port>", stopped by its own
// process id when the object goes. The log is read back as JSON objects.
#include "harness/dvrsimprocess.h"

#include <functional>

class RequestsDvrSim : public DvrSimProcess
{
public:
    // `logPath` receives the simulator's JSON-lines log.
    RequestsDvrSim(const QStringList& options, const QString& logPath)
        : DvrSimProcess(options, logPath)
    {}
};

// Runs the event loop until `condition` holds or `timeoutMs` passed; returns the condition.
bool RequestsWaitFor(const std::function<bool()>& condition, int timeoutMs = 15000);
