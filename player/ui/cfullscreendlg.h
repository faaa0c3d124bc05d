#pragma once
// Full-screen mode: a maximised window that takes the tile grid for as long as it is open, with
// a floating bar of layout and playback buttons. Closing gives the grid back to the main dialog
// with the same layout.
#include <QDialog>

class CFullScreenCtrlDlg;
class CViewerDlg;
class HPCameo;
class ViewerTiles;

class CFullScreenDlg : public QDialog
{
    Q_OBJECT
public:
    CFullScreenDlg(CViewerDlg& viewer, HPCameo* grid, ViewerTiles& tiles, QWidget* parent = nullptr);
    ~CFullScreenDlg() override;

    CFullScreenCtrlDlg* Bar() const { return m_bar; }
    HPCameo* Grid() const { return m_grid; }

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void done(int result) override;

private:
    void GiveGridBack();

    CViewerDlg& m_viewer;
    HPCameo* m_grid;
    ViewerTiles& m_tiles;
    QWidget* m_gridHome;
    QRect m_gridPlace;
    CFullScreenCtrlDlg* m_bar = nullptr;
    bool m_barPlaced = false;
};
