#pragma once
// Fresh fake hubs (recorders register in the session hub's table; message box calls are kept;
// what the site book asks of the main window is recorded) and an empty site book tree per test,
// helpers to build folders and recorders the way the books do, and a catcher that closes the
// message boxes the book files show and remembers their texts.
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QTimer>
#include <memory>
#include <ostream>

#include <gtest/gtest.h>

#include "session/moduledevice.h"
#include "session/sitebook.h"
#include "sitebook/sitebooktreewidget.h"
#include "support/fakesessionhub.h"
#include "support/fakesitebookhub.h"

// Readable failure output for Qt texts.
inline void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}
inline void PrintTo(const QStringList& list, std::ostream* os)
{
    *os << '{'
        << list.join(QStringLiteral("\", \"")).prepend(QLatin1Char('"')).append(QLatin1Char('"')).toStdString()
        << '}';
}

// The hubs the site book reaches: the shared message box calls are kept as "title|text|option"
// instead of opening the box; a modal message opens its box as the main window does (so the
// catcher below sees it) and is recorded too.
class SiteBookTestHub : public FakeSessionHub, public FakeSiteBookHub
{
public:
    void ShowMessageBox(const QString& title, const QString& text, const QString& option) override
    {
        boxCalls << title + QLatin1Char('|') + text + QLatin1Char('|') + option;
    }
    void ShowModalMessage(const QString& title, const QString& text) override;
    // A recorder table of `slotLimit` slots instead of the full one, when it is not negative.
    int GetFreeDeviceIndex() const override
    {
        const int index = FakeSessionHub::GetFreeDeviceIndex();
        return slotLimit >= 0 && index >= slotLimit ? -1 : index;
    }
    QStringList boxCalls;
    int slotLimit = -1;
};

// A plain item of the kind, with its record, under the parent, as the session object or a book
// reader makes it.
QTreeWidgetItem* AddPlainItem(QTreeWidgetItem* parent, const QString& kind, const QString& name);

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
    std::unique_ptr<SiteBookTestHub> hub;
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
