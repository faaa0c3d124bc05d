#include "support/named_recorders.h"

#include "session/moduledevice.h"
#include "session/sitebook.h"

NamedRecorders::NamedRecorders() = default;

NamedRecorders::~NamedRecorders()
{
    Clear();
}

CModuleDevice* NamedRecorders::Add(const QString& name)
{
    auto record = std::make_unique<SiteBook>();
    record->name = name;
    auto device = std::make_unique<CModuleDevice>(nullptr, 0);
    SiteBook::SetOnItem(device.get(), record.get());
    m_records.push_back(std::move(record));
    m_devices.push_back(std::move(device));
    return m_devices.back().get();
}

void NamedRecorders::Remove(CModuleDevice* device)
{
    for (auto it = m_devices.begin(); it != m_devices.end(); ++it) {
        if (it->get() == device) {
            m_devices.erase(it);
            return;
        }
    }
}

void NamedRecorders::Clear()
{
    m_devices.clear();
    m_records.clear();
}
