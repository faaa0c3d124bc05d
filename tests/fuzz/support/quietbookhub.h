#pragma once
// The hub of the fuzz targets that read site book files: the quiet session hub and a site book
// hub whose modal boxes are dropped instead of kept.
#include "fuzz/support/quiethub.h"
#include "support/fakesitebookhub.h"

class QuietBookHub : public QuietHub, public FakeSiteBookHub
{
public:
    // Builds the hub with a fresh temporary folder as its program directory.
    static QuietBookHub* Create();

    void ShowModalMessage(const QString&, const QString&) override {}

private:
    QuietBookHub() = default;
};
