#pragma once
// The OSD setup dialog's host over the video engine, with the system colour chooser.
#include "ui/osdsetuphost.h"

#include <functional>

class QWidget;

class LiveOsdSetupHost : public OsdSetupHost
{
public:
    LiveOsdSetupHost(HPLiveControl* engine, std::function<QString(const QString&)> text, QWidget* parent);

    OsdOptions GetOsdOptions() const override;
    void SetOsdOptions(const OsdOptions& options) override;
    void RedrawAll() override;
    QString Text(const QString& key) const override;
    bool ChooseColour(int current, int* chosen) override;

private:
    HPLiveControl* m_engine;
    std::function<QString(const QString&)> m_text;
    QWidget* m_parent;
};
