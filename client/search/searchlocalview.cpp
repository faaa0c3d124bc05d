#include "search/searchlocalview.h"

#include <QCloseEvent>
#include <QDir>
#include <QIcon>
#include <QResizeEvent>

#include "search/filetreeview.h"
#include "search/searchhub.h"
#include "search/stylesheetloader.h"
#include "search/tileview.h"
#include "session/archivepaths.h"
#include "session/sessionhub.h"

namespace {

constexpr int kGridMargin = 10;
constexpr int kResizeMargin = 19;
// The file tree of the local archive stands at the left, the grid beside it.
constexpr int kTreeWidth = 220;

} // namespace

SearchLocalView::SearchLocalView(QWidget* parent, int slot)
    : QDialog(parent, Qt::FramelessWindowHint)
    , m_slot(slot)
{
    setWindowTitle(QStringLiteral("Backup Player"));
    setWindowIcon(QIcon(QStringLiteral(":/res/Resource/9.png")));
    setMinimumSize(320, 240);
    resize(640, 480);

    const SessionHub* sessions = SessionHub::Instance();
    const QString programDirectory = sessions ? sessions->ProgramDirectory() : QDir::currentPath();
    m_fileTree = new FileTreeView(this, ArchivePaths::BackupRoot(programDirectory));
    m_fileTree->setGeometry(kGridMargin, kGridMargin, kTreeWidth - kGridMargin, height() - kResizeMargin);

    if (SearchHub* hub = SearchHub::Instance()) {
        m_grid = hub->CreatePlaybackGrid(this, 2, slot);
        if (m_grid) {
            m_grid->setGeometry(kTreeWidth + kGridMargin, kGridMargin, width() - kTreeWidth - kResizeMargin,
                                height() - kResizeMargin);
            m_grid->setMinimumSize(10, 10);
            m_grid->show();
        }
    }
    loadStyleSheet(this, QStringLiteral("main"));
}

SearchLocalView::~SearchLocalView()
{
    delete m_grid.data();
    if (SearchHub* hub = SearchHub::Instance())
        hub->deleteSearchLocalView(m_slot);
}

bool SearchLocalView::IsPopup() const
{
    const SearchHub* hub = SearchHub::Instance();
    return hub && hub->IsSearchLocalViewPopup(m_slot);
}

void SearchLocalView::SetPlaybackControl(int code)
{
    if (SearchHub* hub = SearchHub::Instance(); hub && m_grid)
        hub->GridPlaybackControl(m_grid, code);
}

void SearchLocalView::closeEvent(QCloseEvent* event)
{
    if (IsPopup()) {
        if (SearchHub* hub = SearchHub::Instance())
            hub->DockSearchLocalView(m_slot);
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void SearchLocalView::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    const int h0 = event->size().height() - kResizeMargin;
    if (m_fileTree)
        m_fileTree->resize(kTreeWidth - kGridMargin, qMax(h0, 0));
    if (!m_grid)
        return;
    const SearchHub* hub = SearchHub::Instance();
    const QSize area(event->size().width() - kTreeWidth - kResizeMargin, h0);
    m_grid->resize(TileView::WholeCellSize(area, hub ? hub->GridCellCount(m_grid) : 0));
    if (isMaximized() && !IsPopup())
        if (SearchHub* searchHub = SearchHub::Instance())
            searchHub->SetupTabBar(false);
}

void SearchLocalView::keyPressEvent(QKeyEvent* /*event*/)
{
    // Keys, Escape included, never close the window.
}
