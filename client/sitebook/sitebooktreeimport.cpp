// Import of recorder lists into the site book: the file is chosen, read and checked off the
// window thread (RecorderListImport), and each folder and recorder of a row that passed is found
// at the top of the book or made there, a batch at a time; the site book file is written when
// the list has been applied, and one message tells what came in and what did not.
#include <QFileDialog>

#include "session/recordersession.h"
#include "session/sessionhub.h"
#include "session/sitebook.h"
#include "sitebook/recorderlistfile.h"
#include "sitebook/sitebooklog.h"
#include "sitebook/sitebooksessions.h"
#include "sitebook/sitebooktreewidget.h"

void SiteBookTreeWidget::loadExcelList()
{
    const QString directory = SessionHub::Instance() ? SessionHub::Instance()->ProgramDirectory() : QString();
    const QString fileName = QFileDialog::getOpenFileName(this, tr("Open Import File"), directory,
                                                          tr("ZENT Excel Files (*.xls);;KRO List Files (*.ini)"));
    if (fileName.isEmpty())
        return;
    ImportFile(fileName);
}

void SiteBookTreeWidget::ImportFile(const QString& fileName)
{
    if (m_import) {
        qCWarning(lcSiteBook) << "import of" << fileName << "not started: another import runs";
        return;
    }
    m_importIndex = std::make_unique<ImportIndex>();
    m_import = std::make_unique<RecorderListImport>(this, static_cast<RecorderListTarget*>(this), fileName);
    connect(m_import.get(), &RecorderListImport::Finished, this, [this] {
        m_import.release()->deleteLater();
        m_importIndex.reset();
        emit ImportFinished();
    });
    m_import->Start();
}

void SiteBookTreeWidget::loadIniList(QString fileName)
{
    ImportFile(fileName);
}

void SiteBookTreeWidget::BeginImportBatch()
{
    ImportIndex& index = *m_importIndex;
    index.folders.clear();
    index.recorders.clear();
    std::vector<QTreeWidgetItem*> pending{m_pSiteBookRoot};
    while (!pending.empty()) {
        QTreeWidgetItem* item = pending.back();
        pending.pop_back();
        for (int i = 0; i < item->childCount(); ++i) {
            QTreeWidgetItem* child = item->child(i);
            const SiteBook* record = SiteBookSessions::SessionOf(child) ? SiteBook::FromItem(child) : nullptr;
            if (!record)
                continue;
            const ItemKind kind = ItemKindFromText(record->kind);
            if (kind == ItemKind::Folder) {
                if (item == m_pSiteBookRoot && !index.folders.contains(record->name))
                    index.folders.insert(record->name, child);
                pending.push_back(child);
            } else if (kind == ItemKind::Recorder) {
                index.recorders.insert(PlainName(record->name), child);
            }
        }
    }
}

void SiteBookTreeWidget::ImportRow(const CheckedListRow& row, RecorderImportReport* report)
{
    ImportIndex& index = *m_importIndex;
    const RecorderListEntry& entry = row.entry;
    QTreeWidgetItem* folder = index.folders.value(entry.folder);
    QTreeWidgetItem* device = nullptr;
    if (entry.hasRecorder) {
        // The same recorder in the same folder is updated (a list imported again); a name any
        // other recorder of the book holds is refused, as the recorder dialog refuses it.
        bool takenElsewhere = false;
        const QList<QTreeWidgetItem*> named = index.recorders.values(entry.name);
        for (QTreeWidgetItem* candidate : named) {
            if (folder && candidate->parent() == folder && SiteBook::FromItem(candidate)->name == entry.name)
                device = candidate;
            else
                takenElsewhere = true;
        }
        ListRowRefusal refusal = ListRowRefusal::None;
        const SessionHub* hub = SessionHub::Instance();
        if (!device && takenElsewhere)
            refusal = ListRowRefusal::NameInBook;
        else if (!device && hub && hub->GetFreeDeviceIndex() < 0)
            refusal = ListRowRefusal::BookFull;
        if (refusal != ListRowRefusal::None) {
            report->Skipped({entry, refusal, {}});
            return;
        }
    }
    if (!folder) {
        auto* record = new SiteBook;
        record->kind = ItemKindText(ItemKind::Folder);
        record->name = entry.folder;
        folder = CreateEntry(m_pSiteBookRoot, record, EntryMode::Folder);
        folder->setIcon(0, m_folderIcon);
        folder->setText(0, record->name);
        index.folders.insert(entry.folder, folder);
        index.changed = true;
        report->FolderAdded();
    }
    if (!entry.hasRecorder)
        return;
    SiteBook* record = device ? SiteBook::FromItem(device) : new SiteBook;
    record->name = entry.name;
    record->addr = entry.addr;
    record->port = entry.port;
    record->id = entry.id;
    record->password = entry.password;
    index.changed = true;
    if (device) {
        report->RecorderUpdated();
        return;
    }
    record->kind = ItemKindText(ItemKind::Recorder);
    device = CreateEntry(folder, record, EntryMode::Recorder);
    device->setIcon(0, m_dvrDisableIcon);
    device->setText(0, record->name);
    SiteBookSessions::SessionOf(device)->LoadSiteBookInfo();
    index.recorders.insert(entry.name, device);
    report->RecorderAdded();
}

void SiteBookTreeWidget::EndImport(const RecorderImportReport& report)
{
    qCDebug(lcSiteBook) << "import:" << report.RecordersAdded() << "recorders added," << report.RecordersUpdated()
                        << "updated," << report.FoldersAdded() << "folders added," << report.SkippedRows()
                        << "rows skipped";
    if (m_importIndex->changed)
        SaveSiteBookFile();
}
