#include "session/moduledevice.h"

#include <QDebug>

#include "shell/mainwindow.h"
#include "sitebook/sitebook.h"

CModuleDevice::CModuleDevice(QTreeWidgetItem* parent, int kind)
    : QObject(nullptr)
    , QTreeWidgetItem(parent, 0)
{
    if (kind != 0)
        return;
    MainWindow* hub = g_pMainWindow;
    if (!hub) {
        qWarning() << "CModuleDevice: no main window to register with";
        return;
    }
    const int index = hub->GetFreeDeviceIndex();
    if (index < 0) {
        qWarning() << "CModuleDevice: recorder table full, the recorder stays unregistered";
        return;
    }
    if (hub->AddDevice(index, this))
        m_deviceIndex = index;
}

CModuleDevice::~CModuleDevice()
{
    if (m_deviceIndex >= 0 && g_pMainWindow)
        g_pMainWindow->RemoveDevice(m_deviceIndex);
    m_deviceIndex = -1;
}

QString CModuleDevice::GetDvrName() const
{
    const SiteBook* record = SiteBook::FromItem(this);
    return record ? record->name : QString();
}
