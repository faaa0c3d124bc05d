#pragma once
// The recorder simulator as a child process for the site book's recorder actions: started with
// the test's options, ready once it prints "LISTENING <port>", stopped by its own process id.
#include "harness/dvrsimprocess.h"

class SiteBookDvrSim : public DvrSimProcess
{
public:
    explicit SiteBookDvrSim(const QStringList& options = {})
        : DvrSimProcess(options)
    {}
};
