#pragma once
// The file tree of local backups: choosing a file starts the backup player on it 100 ms later.
#include <QTreeView>

class QFileSystemModel;

class FileTreeView : public QTreeView
{
    Q_OBJECT

public:
    static constexpr int kPlayerDelayMs = 100;

    // Shows the folder `rootPath` (created when missing).
    FileTreeView(QWidget* parent, const QString& rootPath);

    QFileSystemModel* FileModel() const { return m_model; }
    // The command line waiting for the player start; empty when none.
    QString PendingCommand() const { return m_command; }

public slots:
    void OnSelectFile(const QModelIndex& index);
    void timerOnPlayer();

signals:
    // The player was asked to start on the file; `started` is false when it could not start.
    void playerStarted(const QString& file, bool started);

private:
    QFileSystemModel* m_model = nullptr;
    QString m_command;
    QString m_file;
};
