#pragma once
// The large picture tile of the quick, museum and thumbnail search dialogs: the playing picture
// with its recorder, camera, date and time, the play mode caption, the record mark and, in the
// museum search, the area grid. Digital zoom with panning, a context menu that records, takes a
// stamped JPEG snapshot or switches to another search. Everything is drawn into an off-screen
// canvas under the tile's lock; a timer repaints the screen from it.
#include <QImage>
#include <QLabel>
#include <QMutex>
#include <QPixmap>
#include <QPoint>
#include <QString>
#include <QTimer>

class QAction;
class QMenu;

class CCameoMuseum : public QLabel
{
    Q_OBJECT

public:
    enum class SearchKind { Quick = 0, Museum = 1, Thumbnail = 2 };
    static constexpr int kRefreshMs = 50;

    CCameoMuseum();

    // The values drawn and what they are drawn with. The grid and area are 0 where a dialog has
    // none.
    struct Info
    {
        QImage picture;
        int columns = 0;
        int rows = 0;
        int areaEndColumn = 0;
        int areaEndRow = 0;
        int areaStartColumn = 0;
        int areaStartRow = 0;
        QString dateText;
        QString timeText;
        QString recorderName;
        QString cameraName;
        int playMode = 0;
        int speedStep = 0;
        bool playing = false;
    };
    void SetCameoInfo(const Info& info);
    void SetCameoInfo(const QImage& picture, int columns, int rows, int areaEndColumn, int areaEndRow,
                      int areaStartColumn, int areaStartRow, const QString& dateText, const QString& timeText,
                      const QString& recorderName, const QString& cameraName, int playMode, int speedStep,
                      bool playing);
    // Redraws with the stored values (no grid); nothing when the lock is taken.
    void RefreshCameo();
    void ClearCameo();
    void EnableUpdate(bool on);

    // Written directly by the owning dialog.
    int m_deviceIndex = -1;
    quint8 m_recordMark = 0;
    SearchKind m_searchKind = SearchKind::Quick;

    double GetZoom() const { return m_zoom; }
    QPoint GetPan() const { return m_pan; }
    bool IsPlaying() const { return m_playing; }
    QString GetDateText() const { return m_info.dateText; }
    QString GetTimeText() const { return m_info.timeText; }
    // A copy of the canvas.
    QPixmap Canvas() const;
    bool IsRefreshing() const { return m_refreshTimer.isActive(); }
    // The context menu as it would open now (only while playing; null otherwise).
    QMenu* BuildContextMenu();
    QAction* Action(const char* text) const;

    // Takes the snapshot; the path of the saved file, empty when nothing was saved.
    QString TakeSnapshot();

signals:
    void thumbnailSearch();
    void museumSearch();
    void quickSearch();
    void recordSignal();
    void OnMousePress(int, int);
    void OnMouseMove(int, int);

public slots:
    void zoomInAction();
    void zoomOutAction();
    void recordAction();
    void snapShotAction();
    void quickSearchAction();
    void thumnailSearchAction();
    void museumSearchAction();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void CreateActions();
    void DrawLocked(const Info& info);
    void DrawTexts(class QPainter& painter, const QString& caption, bool grid);
    void ChangeZoom(double zoom);

    mutable QMutex m_lock;
    QPixmap m_canvas;
    Info m_info;
    bool m_playing = false;
    double m_zoom = 1.0;
    QPoint m_pan;
    QPoint m_lastMouse;
    bool m_drag = false;
    QTimer m_refreshTimer;

    QAction* m_zoomIn = nullptr;
    QAction* m_zoomOut = nullptr;
    QAction* m_record = nullptr;
    QAction* m_snapShot = nullptr;
    QAction* m_quick = nullptr;
    QAction* m_thumbnail = nullptr;
    QAction* m_museum = nullptr;
};
