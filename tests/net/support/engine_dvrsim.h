#pragma once
// The recorder simulator for the engine tests (see DvrSimProcess).
#include "harness/dvrsimprocess.h"

class EngineDvrSim : public DvrSimProcess
{
public:
    explicit EngineDvrSim(const QStringList& options)
        : DvrSimProcess(options)
    {}
};
