#include "search/filetreeview.h"

#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QTimer>

#include "search/backupplayercommand.h"
#include "search/searchhub.h"
#include "search/searchlog.h"
#include "session/sessionhub.h"

FileTreeView::FileTreeView(QWidget* parent, const QString& rootPath)
    : QTreeView(parent)
    , m_model(new QFileSystemModel(this))
{
    QDir().mkpath(rootPath);
    m_model->setRootPath(rootPath);
    setModel(m_model);
    setRootIndex(m_model->index(rootPath));
    // The tree is narrow beside the grid: names keep their whole width, and the size, type and
    // date columns are reached by scrolling sideways.
    header()->setStretchLastSection(false);
    header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    connect(this, &QTreeView::doubleClicked, this, &FileTreeView::OnSelectFile);
}

void FileTreeView::OnSelectFile(const QModelIndex& index)
{
    const QString path = m_model->filePath(index);
    if (path.isEmpty() || QFileInfo(path).isDir())
        return;
    const SessionHub* hub = SessionHub::Instance();
    m_command = BackupPlayerCommand::CommandLine(hub ? hub->ProgramDirectory() : QDir::currentPath(), path);
    m_file = path;
    QTimer::singleShot(kPlayerDelayMs, this, &FileTreeView::timerOnPlayer);
}

void FileTreeView::timerOnPlayer()
{
    if (m_command.isEmpty())
        return;
    qCDebug(lcSearch) << "start backup player:" << m_command;
    // The player takes the file as its one argument; a failed start is not reported to the user.
    SearchHub* hub = SearchHub::Instance();
    const bool started = hub && hub->StartBackupPlayer(m_file);
    const QString file = m_file;
    m_command.clear();
    m_file.clear();
    emit playerStarted(file, started);
}
