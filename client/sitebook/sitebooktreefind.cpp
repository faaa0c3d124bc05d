// "Find DVR": the find dialog over the site book, and the search it runs.
#include "session/recordersession.h"
#include "session/sessionhub.h"
#include "session/sitebook.h"
#include "sitebook/cfinddvrdialog.h"
#include "sitebook/findorder.h"
#include "sitebook/sitebooktreewidget.h"

namespace {
constexpr int kRecorderSlots = 9999;
} // namespace

int SiteBookTreeWidget::findDvr(int start, const QString& name, bool quiet)
{
    const SessionHub* hub = SessionHub::Instance();
    QTreeWidgetItem* scope = m_findScope;
    const auto matches = [&](int slot) {
        QTreeWidgetItem* device = hub ? ItemOf(hub->GetDevice(slot)) : nullptr;
        const SiteBook* record = device ? SiteBook::FromItem(device) : nullptr;
        if (!record || ItemKindFromText(record->kind) != ItemKind::Recorder || record->name != name)
            return false;
        return scope == m_pSiteBookRoot || (scope && device->parent() == scope);
    };
    const int hit = FindOrder::Next(start, m_lastFoundIndex, kRecorderSlots, matches);
    if (hit < 0) {
        m_lastFoundIndex = 0;
        return -1;
    }
    if (!quiet) {
        QTreeWidgetItem* device = ItemOf(hub->GetDevice(hit));
        for (QTreeWidgetItem* up = device->parent(); up; up = up->parent())
            up->setExpanded(true);
        clearSelection();
        device->setSelected(true);
        scrollToItem(device, QAbstractItemView::EnsureVisible);
    }
    m_lastFoundIndex = hit + 1;
    return hit;
}

void SiteBookTreeWidget::searchDvr()
{
    if (!m_findScope)
        return;
    m_lastFoundIndex = 0;
    CFindDvrDialog dialog(this);
    dialog.setFindMode(false);
    dialog.SetSiteBook(this);
    dialog.SetLastPosition(0);
    dialog.exec();
}
