#pragma once
// A console session beside a central server simulator of its own: the simulator started per
// test, and a login that waits for the database server's probe before it opens the line.
#include "fakevalidationhub.h"

#include "admin/waitfor.h"
#include "harness/centralsimprocess.h"
#include "validation/validationsession.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

class CentralSessionTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QString error;
        ASSERT_TRUE(sim.Start(&error)) << error.toStdString();
    }

    void LogIn(ValidationSession& s, const QString& user = QStringLiteral("admin"),
               const QString& password = QStringLiteral("1234"))
    {
        QSignalSpy probe(&s, &ValidationSession::ProbeAnswered);
        s.ConnectDatabaseServer(QStringLiteral("127.0.0.1"), QString::number(sim.HttpPort()));
        ASSERT_TRUE(WaitFor([&] { return probe.count() == 1; }));
        ASSERT_TRUE(probe.at(0).at(0).toBool());
        s.Login(user, password, QStringLiteral("127.0.0.1"), sim.ValidationPort());
    }

    // The names below a node of the session's tree, in order.
    QStringList Names(const QModelIndex& parent)
    {
        QStringList names;
        for (int row = 0; row < session.Model().rowCount(parent); ++row)
            names << session.Model().index(row, 0, parent).data().toString();
        return names;
    }

    CentralSimProcess sim;
    FakeValidationHub hub;
    ValidationSession session{hub};
};
