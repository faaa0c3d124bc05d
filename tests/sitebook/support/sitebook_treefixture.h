#pragma once
// A fresh main window hub (recorders register in it) and an empty site book tree per test,
// helpers to build folders and recorders the way the books do, and a catcher that closes the
// message boxes the book files show and remembers their texts.
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QTimer>
#include <memory>

#include <gtest/gtest.h>

#include "session/moduledevice.h"
#include "shell/mainwindow.h"
#include "sitebook/sitebook.h"
#include "sitebook/sitebooktreewidget.h"

class SiteBookTreeTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    // A folder or recorder under parent (the site book root when null), placed by name.
    CModuleDevice* AddFolder(const QString& name, QTreeWidgetItem* parent = nullptr);
    CModuleDevice* AddRecorder(const QString& name, QTreeWidgetItem* parent = nullptr);

    // The record names of the children of item, in tree order.
    static QStringList ChildNames(const QTreeWidgetItem* item);
    static QString KindOf(const QTreeWidgetItem* item);

    // The hub's program directory: a fresh folder, so sessions create nothing in the build.
    QTemporaryDir programDir;
    QString previousDir;
    std::unique_ptr<MainWindow> hub;
    std::unique_ptr<SiteBookTreeWidget> tree;
};

// Closes every message box that opens while it lives and keeps "title|text" of each.
class MessageBoxCatcher : public QObject
{
public:
    MessageBoxCatcher();
    ~MessageBoxCatcher() override;
    const QStringList& Seen() const { return m_seen; }

private:
    void Tick();

    QTimer m_timer;
    QStringList m_seen;
};
