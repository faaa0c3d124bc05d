#pragma once
// A main window started in a fresh program directory of its own. Files can be written into the
// directory before the window starts (StartHub) and read after it has shut down (StopHub).
// Message boxes that open meanwhile are recorded and closed.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <functional>
#include <memory>

#include <gtest/gtest.h>

#include "shell/clientsessionhub.h"
#include "shell/mainwindow.h"

class MainWinTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    // Builds the main window in the program directory; boxes it opens while starting are
    // recorded and closed.
    void StartHub();
    // Destroys the main window (its shut-down writes its files); boxes are recorded and closed.
    void StopHub();

    QString Path(const QString& name) const;
    void WriteFile(const QString& name, const QByteArray& bytes) const;
    QByteArray ReadFile(const QString& name) const;
    bool FileExists(const QString& name) const;

    // Titles and texts ("title|text") of the message boxes seen so far.
    QStringList boxes;

    QTemporaryDir programDir;
    std::unique_ptr<MainWindow> hub;

    // Runs the step while watching for message boxes, recording and closing each one it sees.
    void WatchBoxes(const std::function<void()>& step);

private:
    QString m_previousDir;
};

// The seven dock titles in the order the main window creates them.
QStringList MainWinDockTitles();
