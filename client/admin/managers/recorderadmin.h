#pragma once
// What the firmware and account managers reach of the recorders and the main window: a
// recorder's name and address by its index in the recorder table, the connect with a purpose
// (7 accounts, 8 firmware), the two uploads, the firmware package path and cancel flag the
// sessions read, and the program directory. The shell implements it; tests use a fake.
#include <QList>
#include <QString>

class QTreeWidgetItem;

class RecorderAdmin
{
public:
    virtual ~RecorderAdmin() = default;

    // The recorders a site-book item stands for: itself for a recorder, a folder's direct child
    // recorders, nothing for anything else.
    virtual QList<int> RecordersOfItem(QTreeWidgetItem* item) const = 0;
    virtual bool HasRecorder(int index) const = 0;
    virtual QString RecorderName(int index) const = 0;
    virtual QString RecorderAddress(int index) const = 0;
    // The firmware version the recorder reported when its session logged in ("" when unknown).
    virtual QString RecorderFirmwareVersion(int index) const = 0;

    // False when the recorder has no session (any more): nothing was started.
    virtual bool StartConnect(int index, int purpose) = 0;
    virtual bool SetConfigData(int index) = 0;
    virtual bool SetFirmwareData(int index) = 0;

    virtual QString ProgramDirectory() const = 0;
    virtual QString FirmwarePath() const = 0;
    virtual void SetFirmwarePath(const QString& path) = 0;
    // The flag a session polls while it waits for the firmware tool.
    virtual void SetFirmwareCancel(bool cancel) = 0;
};
