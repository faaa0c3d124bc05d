#include "sitebook/sitebooksessions.h"

#include "session/moduledevice.h"

CModuleDevice* SiteBookSessions::Create(QTreeWidgetItem* parent, int kind)
{
    return new CModuleDevice(parent, kind);
}

QTreeWidgetItem* SiteBookSessions::Item(CModuleDevice* device)
{
    return device;
}

RecorderSession* SiteBookSessions::Session(CModuleDevice* device)
{
    return device;
}

CModuleDevice* SiteBookSessions::DeviceOf(QTreeWidgetItem* item)
{
    return dynamic_cast<CModuleDevice*>(item);
}

RecorderSession* SiteBookSessions::SessionOf(QTreeWidgetItem* item)
{
    return dynamic_cast<CModuleDevice*>(item);
}

const RecorderSession* SiteBookSessions::SessionOf(const QTreeWidgetItem* item)
{
    return dynamic_cast<const CModuleDevice*>(item);
}

QTreeWidgetItem* SiteBookSessions::ItemOf(RecorderSession* session)
{
    return dynamic_cast<CModuleDevice*>(session);
}

int SiteBookSessions::ServerId(const QTreeWidgetItem* item)
{
    const auto* device = dynamic_cast<const CModuleDevice*>(item);
    return device ? device->GetServerId() : 0;
}

void SiteBookSessions::SetServerId(QTreeWidgetItem* item, int serverId)
{
    if (auto* device = dynamic_cast<CModuleDevice*>(item))
        device->SetServerId(serverId);
}

bool SiteBookSessions::IsSocketConnected(const QTreeWidgetItem* item)
{
    const auto* device = dynamic_cast<const CModuleDevice*>(item);
    return device && device->IsSocketConnected();
}

bool SiteBookSessions::LoginOption(const QTreeWidgetItem* item)
{
    const auto* device = dynamic_cast<const CModuleDevice*>(item);
    return device && device->GetLoginOption();
}

void SiteBookSessions::SendCameraTitle(QTreeWidgetItem* item, int channel, const QString& title)
{
    if (auto* device = dynamic_cast<CModuleDevice*>(item))
        device->SendCameraTitle(channel, title);
}

void SiteBookSessions::UpdateSiteBookItem(QTreeWidgetItem* recorder, QTreeWidgetItem* entry)
{
    if (auto* device = dynamic_cast<CModuleDevice*>(recorder))
        device->UpdateSiteBookItem(entry);
}

void SiteBookSessions::DeleteItemTree(QTreeWidgetItem* item)
{
    CModuleDevice::DeleteItemTree(item);
}
