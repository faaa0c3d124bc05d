// Import of recorder lists into the site book: the file is chosen, read by RecorderListFile, and
// each folder and recorder it names is found at the top of the book or made there; the site book
// file is written when the list has been applied.
#include <QFileDialog>

#include "session/moduledevice.h"
#include "session/sessionhub.h"
#include "session/sitebook.h"
#include "sitebook/recorderlistfile.h"
#include "sitebook/sitebooklog.h"
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
    // Only a name ending exactly in ".ini" is a list file; anything else is read as a workbook.
    if (fileName.endsWith(QLatin1String(".ini"), Qt::CaseSensitive)) {
        loadIniList(fileName);
        return;
    }
    std::vector<RecorderListEntry> entries;
    if (!RecorderListFile::ReadWorkbook(fileName, &entries))
        return;
    ImportRecorderList(entries);
}

void SiteBookTreeWidget::loadIniList(QString fileName)
{
    std::vector<RecorderListEntry> entries;
    if (!RecorderListFile::ReadIniList(fileName, &entries))
        return;
    ImportRecorderList(entries);
}

void SiteBookTreeWidget::ImportRecorderList(const std::vector<RecorderListEntry>& entries)
{
    for (const RecorderListEntry& entry : entries) {
        CModuleDevice* folder = FindFolderByName(entry.folder);
        if (!folder) {
            auto* record = new SiteBook;
            record->kind = ItemKindText(ItemKind::Folder);
            record->name = entry.folder;
            folder = createTreeItem(m_pSiteBookRoot, record, EntryMode::Folder);
            folder->setIcon(0, m_folderIcon);
            folder->setText(0, record->name);
        }
        if (!entry.hasRecorder)
            continue;
        CModuleDevice* device = FindDeviceByName(entry.name, folder);
        SiteBook* record = device ? SiteBook::FromItem(device) : new SiteBook;
        record->name = entry.name;
        record->addr = entry.addr;
        record->port = entry.port;
        record->id = entry.id;
        record->password = entry.password;
        if (device)
            continue;
        record->kind = ItemKindText(ItemKind::Recorder);
        device = createTreeItem(folder, record, EntryMode::Recorder);
        device->setIcon(0, m_dvrDisableIcon);
        device->setText(0, record->name);
        device->LoadSiteBookInfo();
    }
    SaveSiteBookFile();
}
