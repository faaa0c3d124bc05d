#include "shell/panelshubadapter.h"

#include "shell/ccameo.h"
#include "shell/clientsessionhub.h"
#include "shell/mainwindow.h"
#include "shell/validationshell.h"

void PanelsHubAdapter::RestoreGridSplit(int cameoIndex)
{
    CCameo* cameo = m_sessions.GetCameo(cameoIndex);
    if (cameo && cameo->GetSplit() == 1 && cameo->GetPrevSplit() > 0)
        cameo->OnSplitMode(-1, cameo->GetPrevSplit(), false);
}

void PanelsHubAdapter::AddEventLog(const QString& name, const QString& text)
{
    if (ValidationShell* validation = m_window.GetValidationShell())
        validation->AddEventLog(name, text);
}
