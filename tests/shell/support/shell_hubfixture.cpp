#include "shell/support/shell_hubfixture.h"
#include "shell/support/composedwindow.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QSet>

#include "platform/cpuload.h"
#include "session/moduledevice.h"
#include "session/sitebook.h"
#include "shell/mainwindow.h"
#include "widgets/messagedlg.h"

void HoldProcessorLoadOff(MainWindow& hub)
{
    // Samples that never advance read as 0 %.
    hub.SetCpuLoad(platform::CpuLoad([] { return QByteArray("cpu  0 0 0 1000 0 0 0 0 0 0\n"); }));
}

void ShellHubTest::SetUp()
{
    hub = std::make_unique<ComposedWindow<MainWindow>>();
    HoldProcessorLoadOff(*hub);
}

void ShellHubTest::TearDown()
{
    m_recorders.Clear();
    for (MessageDlg* box : BoxWatcher::LiveBoxes())
        delete box;
    hub.reset();
}

CModuleDevice* ShellHubTest::AddRecorder(const QString& name)
{
    return m_recorders.Add(name);
}

void ShellHubTest::DeleteRecorder(CModuleDevice* device)
{
    m_recorders.Remove(device);
}
