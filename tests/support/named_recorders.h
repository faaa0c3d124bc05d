#pragma once
// Recorder session items (kind 0) whose entry records carry the names tests give them. A session
// registers in the hub's recorder table when a hub is installed, and in no table otherwise. The
// sessions go before their records.
#include <QString>
#include <memory>
#include <vector>

class CModuleDevice;
class SiteBook;

class NamedRecorders
{
public:
    NamedRecorders();
    ~NamedRecorders();
    NamedRecorders(const NamedRecorders&) = delete;
    NamedRecorders& operator=(const NamedRecorders&) = delete;

    CModuleDevice* Add(const QString& name);
    // A recorder whose entry record points at a simulator on this machine (user "admin",
    // password "1234"), over TLS when useSsl is 1.
    CModuleDevice* AddAt(const QString& name, int port, int useSsl = 0);
    // Destroys one recorder made by Add.
    void Remove(CModuleDevice* device);
    void Clear();

private:
    CModuleDevice* Keep(std::unique_ptr<SiteBook> record);

    std::vector<std::unique_ptr<SiteBook>> m_records;
    std::vector<std::unique_ptr<CModuleDevice>> m_devices;
};
