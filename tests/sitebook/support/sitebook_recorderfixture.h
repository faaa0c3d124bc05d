#pragma once
// Site book tests against the recorder simulator: recorders of the site book that point at a
// simulator of their own, on the hub of the base fixture (the fakes of the site book suite or
// the real main window of the shell suite).
#include <QAction>
#include <QMenu>
#include <QTest>
#include <functional>
#include <memory>
#include <vector>

#include "session/moduledevice.h"
#include "session/sitebook.h"
#include "sitebook/support/sitebook_dvrsim.h"

// The backup entries of the quick menu of a connected recorder named "gate": the backup host of
// its session each one reaches and the title of the window it shows.
struct BackupEntry
{
    const char* entry;
    const char* host;
    const char* title;
};
inline constexpr BackupEntry kGateBackupEntries[] = {
    {"Event Backup", "event", "Event Backup - gate"},
    {"Schedule Backup", "schedule", "Schedule Backup - gate"},
    {"Remote CD Backup", "cd", "Remote CD Backup - gate"},
};

template <class Base>
class SiteBookRecorderTestOn : public Base
{
protected:
    void TearDown() override
    {
        entryMenu.reset();
        Base::TearDown();
        sims.clear();
    }

    SiteBookDvrSim* StartSim(const QStringList& options = {})
    {
        auto sim = std::make_unique<SiteBookDvrSim>(options);
        QString error;
        const bool ok = sim->Start(&error);
        EXPECT_TRUE(ok) << error.toStdString();
        if (!ok)
            return nullptr;
        sims.push_back(std::move(sim));
        return sims.back().get();
    }

    // A recorder of the site book that points at the simulator.
    CModuleDevice* AddSimRecorder(const QString& name, int port, QTreeWidgetItem* parent = nullptr)
    {
        CModuleDevice* device = this->AddRecorder(name, parent);
        SiteBook* r = SiteBook::FromItem(device);
        r->addr = QStringLiteral("127.0.0.1");
        r->port = QString::number(port);
        r->id = QStringLiteral("admin");
        r->password = QStringLiteral("1234");
        this->tree->AddRecorderChildren(device);
        return device;
    }

    static bool WaitFor(const std::function<bool()>& condition, int limitMs = 15000)
    {
        return QTest::qWaitFor(condition, limitMs);
    }

    static QAction* ActionNamed(QMenu* menu, const QString& text)
    {
        for (QAction* a : menu->actions()) {
            if (a->text() == text)
                return a;
        }
        return nullptr;
    }
    static QAction* LoadAction(QMenu* menu) { return ActionNamed(menu, QStringLiteral("Load SiteBook")); }
    // The entry of the item's quick menu by its text (null when the menu lacks it); the menu
    // lives until the next call.
    QAction* MenuEntry(QTreeWidgetItem* item, const QString& text)
    {
        entryMenu = this->tree->PrepareContextMenu(this->PointAt(item));
        return ActionNamed(entryMenu.get(), text);
    }
    // The same entry when the menu has it and it is not greyed; null with a test failure otherwise.
    QAction* EnabledMenuEntry(QTreeWidgetItem* item, const QString& text)
    {
        QAction* action = MenuEntry(item, text);
        EXPECT_TRUE(action) << text.toStdString() << " is not in the menu";
        EXPECT_TRUE(!action || action->isEnabled()) << text.toStdString() << " is greyed";
        return action && action->isEnabled() ? action : nullptr;
    }

    // A recorder of the site book logged in to a simulator of its own, with both connections
    // past their first status (each then asks for the disk information).
    CModuleDevice* ConnectedRecorder(SiteBookDvrSim** simOut, const QStringList& options = {})
    {
        SiteBookDvrSim* sim = StartSim(options);
        *simOut = sim;
        if (!sim)
            return nullptr;
        CModuleDevice* gate = AddSimRecorder(QStringLiteral("gate"), sim->Port());
        this->PointAt(gate);
        this->tree->connectDevice();
        const bool up = WaitFor([&] { return gate->IsLoggedIn() && sim->Messages(0x47).size() >= 2; });
        EXPECT_TRUE(up) << "the recorder did not log in on both connections";
        return up ? gate : nullptr;
    }

    std::vector<std::unique_ptr<SiteBookDvrSim>> sims;
    std::unique_ptr<QMenu> entryMenu;
};
