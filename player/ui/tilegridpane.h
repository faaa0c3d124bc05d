#pragma once
// The tile grid as the main dialog shows it: the grid state's cells drawn as tiles with their
// selection, clicks that select, and files opened through the tile engines. It stands where
// the video engine draws the tiles' pictures.
#include <functional>

#include <QWidget>

#include "ui/cameogrid.h"
#include "ui/viewertiles.h"

class TileGridPane : public QWidget, public ViewerTiles
{
    Q_OBJECT
public:
    using Opener = std::function<bool(int tile, const QString& folder, const QString& name)>;

    TileGridPane(Opener opener, QWidget* parent = nullptr);

    CameoGrid& Grid() { return m_grid; }

    QVector<int> SelectedCameos() const override;
    void SelectOnly(int tile) override;
    void SelectAll() override;
    bool IsVisible(int tile) const override;
    bool OpenFile(int tile, const QString& path) override;
    int CameoFromPoint(const QPoint& point) const override;
    void Layout(const QSize& size, int code, bool repress, bool restore) override;
    int SplitCode() const override;
    void RedrawAll() override;

signals:
    void selectionChanged();
    void doubleClicked(int tile);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    Opener m_opener;
    CameoGrid m_grid;
    QString m_names[16];
};
