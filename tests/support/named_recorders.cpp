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
    return Keep(std::move(record));
}

CModuleDevice* NamedRecorders::AddAt(const QString& name, int port, int useSsl)
{
    auto record = std::make_unique<SiteBook>();
    record->kind = QStringLiteral("device");
    record->name = name;
    record->addr = QStringLiteral("127.0.0.1");
    record->port = QString::number(port);
    record->id = QStringLiteral("admin");
    record->password = QStringLiteral("1234");
    record->use_ssl = useSsl;
    return Keep(std::move(record));
}

CModuleDevice* NamedRecorders::Keep(std::unique_ptr<SiteBook> record)
{
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
