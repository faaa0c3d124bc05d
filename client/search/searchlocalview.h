#pragma once
// The "Backup Player" window for video on the local disk: a playback grid in local-file mode
// beside the file tree of the local archive, from which a file opens in the backup player.
#include <QDialog>
#include <QPointer>

class FileTreeView;

class SearchLocalView : public QDialog
{
    Q_OBJECT

public:
    SearchLocalView(QWidget* parent, int slot);
    ~SearchLocalView() override;

    int GetSlot() const { return m_slot; }
    QWidget* GetGrid() const { return m_grid; }
    FileTreeView* GetFileTree() const { return m_fileTree; }

    void SetPlaybackControl(int code);

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    bool IsPopup() const;

    int m_slot = 0;
    QPointer<QWidget> m_grid;
    FileTreeView* m_fileTree = nullptr;
};
