#pragma once
// A RecorderAdmin for the manager tests: a table of recorders (index -> name, address), a
// record of every connect and upload asked for, the firmware path and cancel flag as the hub
// keeps them. A recorder can be made to lack its session.
#include <QList>
#include <QMap>
#include <QPair>
#include <QSet>
#include <QString>

#include "managers/recorderadmin.h"

class FakeRecorderAdmin : public RecorderAdmin
{
public:
    QList<int> RecordersOfItem(QTreeWidgetItem*) const override { return itemRecorders; }
    bool HasRecorder(int index) const override { return names.contains(index); }
    QString RecorderName(int index) const override { return names.value(index); }
    QString RecorderAddress(int index) const override { return QStringLiteral("10.0.0.%1").arg(index); }
    QString RecorderFirmwareVersion(int index) const override { return versions.value(index); }
    bool StartConnect(int index, int purpose) override
    {
        connects << qMakePair(index, purpose);
        pathAtConnect << firmwarePath;
        return !missing.contains(index);
    }
    bool SetConfigData(int index) override
    {
        configUploads << index;
        return !missing.contains(index);
    }
    bool SetFirmwareData(int index) override
    {
        firmwareUploads << index;
        return !missing.contains(index);
    }
    QString ProgramDirectory() const override { return programDirectory; }
    QString FirmwarePath() const override { return firmwarePath; }
    void SetFirmwarePath(const QString& path) override { firmwarePath = path; }
    void SetFirmwareCancel(bool cancel) override { this->cancel = cancel; }

    QMap<int, QString> names;
    QMap<int, QString> versions; // what each recorder reported
    QList<int> itemRecorders;
    QSet<int> missing;
    QList<QPair<int, int>> connects; // (recorder, purpose)
    QStringList pathAtConnect;       // the hub's firmware path at each connect
    QList<int> configUploads;
    QList<int> firmwareUploads;
    QString programDirectory;
    QString firmwarePath;
    bool cancel = false;
};
