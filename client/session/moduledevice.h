#pragma once
// The session object of one recorder and at once its site book tree item. Folder items of the
// site book are CModuleDevice objects too (any kind other than 0): they take no hub slot.
//
// Only the registration with the hub, the recorder name and the logged-in flag exist so far;
// the connections, decoders, threads and requests are added to this class later.
#include <QObject>
#include <QString>
#include <QTreeWidgetItem>

class CModuleDevice : public QObject, public QTreeWidgetItem
{
    Q_OBJECT

public:
    // kind 0: a recorder, which takes the lowest free slot of the hub's recorder table;
    // any other kind: a folder, device index -1.
    CModuleDevice(QTreeWidgetItem* parent, int kind);
    ~CModuleDevice() override;

    // The recorder's display name from the entry record on the item; empty when the item carries
    // no record.
    QString GetDvrName() const;

    // The slot in the hub's recorder table, or -1 (folder, or the table was full).
    int GetDeviceIndex() const { return m_deviceIndex; }

    // The central server's id of this recorder or folder; 0 unless the server gave one.
    int GetServerId() const { return m_serverId; }
    void SetServerId(int id) { m_serverId = id; }

    // Set when the recorder has logged in (first status reply), cleared when it disconnects.
    quint8 m_loggedIn = 0;

private:
    int m_deviceIndex = -1;
    int m_serverId = 0;
};
