#pragma once
// A fresh main window hub per test, with helpers to register recorders that carry a named
// entry record; the message box watcher comes with it.
#include <QPointer>
#include <QString>
#include <QTimer>
#include <functional>
#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include "session/moduledevice.h"
#include "session/sitebook.h"
#include "shell/clientsessionhub.h"
#include "shell/mainwindow.h"
#include "support/boxwatcher.h"
#include "support/named_recorders.h"
#include "widgets/messagedlg.h"

// The machine running the tests is busy with the other tests; above 70 % a hub decodes only the
// key frames of live video. That rule has tests of its own: hubs of the other tests read the
// processor as idle, so their live video does not depend on what else runs.
void HoldProcessorLoadOff(MainWindow& hub);

class ShellHubTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    // A recorder session item (kind 0) whose entry record carries the name.
    CModuleDevice* AddRecorder(const QString& name);
    // Destroys a recorder made by AddRecorder.
    void DeleteRecorder(CModuleDevice* device);

    std::unique_ptr<MainWindow> hub;

private:
    NamedRecorders m_recorders;
};
