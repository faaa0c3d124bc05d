#include "ui/cfullscreendlg.h"
#include "ui/cfullscreenctrldlg.h"
#include "ui/cviewerdlg.h"
#include "ui/hpcameo.h"
#include "ui/viewertiles.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QScreen>

CFullScreenDlg::CFullScreenDlg(CViewerDlg& viewer, HPCameo* grid, ViewerTiles& tiles, QWidget* parent)
    : QDialog(parent, Qt::Window | Qt::FramelessWindowHint)
    , m_viewer(viewer)
    , m_grid(grid)
    , m_tiles(tiles)
    , m_gridHome(grid->parentWidget())
    , m_gridPlace(grid->geometry())
{
    setWindowTitle(QStringLiteral("Orvane"));
    setStyleSheet(QStringLiteral("background: black;"));
    m_grid->setParent(this);
    m_grid->setGeometry(rect());
    m_grid->show();
    m_grid->installEventFilter(this);
    m_bar = new CFullScreenCtrlDlg(viewer, this);
    connect(m_bar, &CFullScreenCtrlDlg::exitRequested, this, &QDialog::accept);
    // The whole screen, also where no window manager applies the full-screen state.
    if (QScreen* screen = viewer.screen() ? viewer.screen() : QGuiApplication::primaryScreen())
        setGeometry(screen->geometry());
    setWindowState(windowState() | Qt::WindowFullScreen);
}

CFullScreenDlg::~CFullScreenDlg()
{
    GiveGridBack();
}

void CFullScreenDlg::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    m_bar->PlaceAt(geometry());
    m_barPlaced = true;
    m_bar->show();
}

void CFullScreenDlg::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    if (m_grid->parentWidget() != this)
        return;
    m_grid->setGeometry(rect());
    m_grid->Layout(width(), height(), m_tiles.SplitCode(), false, false, true);
    if (!m_barPlaced && width() > 400) {
        m_bar->PlaceAt(QRect(mapToGlobal(QPoint(0, 0)), size()));
        m_barPlaced = true;
    }
}

bool CFullScreenDlg::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_grid && event->type() == QEvent::MouseButtonPress
        && static_cast<QMouseEvent*>(event)->button() == Qt::RightButton) {
        m_bar->show();
        m_bar->raise();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void CFullScreenDlg::done(int result)
{
    GiveGridBack();
    QDialog::done(result);
}

void CFullScreenDlg::GiveGridBack()
{
    if (m_grid->parentWidget() != this)
        return;
    m_grid->removeEventFilter(this);
    m_grid->setParent(m_gridHome);
    m_grid->setGeometry(m_gridPlace);
    m_grid->show();
    m_grid->Layout(m_gridPlace.width(), m_gridPlace.height(), m_tiles.SplitCode(), false, false, true);
    m_tiles.RedrawAll();
}
