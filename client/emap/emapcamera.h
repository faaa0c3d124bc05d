#pragma once
// One camera icon on an e-map window: a push button the operator drags to a new place, opens as
// a live tile beside it (a red line joins the two), closes or deletes. Its place is kept as a
// fraction of the window's size so that it follows the window when it is resized.
#include <QPointer>
#include <QPushButton>
#include <QString>

class EmapTile;
class EmapView;
class QAction;
class SiteBook;

class EmapCamera : public QPushButton
{
    Q_OBJECT

public:
    EmapCamera(EmapView* view, int slot);
    ~EmapCamera() override;

    void setSiteBook(SiteBook record);
    int GetRecorder() const { return m_recorder; }
    int GetChannel() const { return m_channel; }
    QString GetName() const { return m_name; }
    int GetSlot() const { return m_slot; }
    // Null once the tile's widget is gone (the window deletes its children in any order).
    EmapTile* GetTile() const { return m_tileWidget ? m_tile : nullptr; }
    bool IsTileShown() const { return m_tileShown != 0; }

    // Recorder mode: moves go to the recorder's record; on a camera's own picture (cameraMap)
    // to that camera's own position.
    void SetDeviceCamera(bool on) { m_deviceCamera = on ? 1 : 0; }
    bool IsDeviceCamera() const { return m_deviceCamera != 0; }
    void SetCameraMap(bool on) { m_cameraMap = on ? 1 : 0; }
    bool IsCameraMap() const { return m_cameraMap != 0; }

    float GetX() const { return m_x; }
    float GetY() const { return m_y; }
    void SetPosition(float x, float y);
    // Stores the window size and moves the icon to its fraction of it.
    void setAreaSize(int width, int height);

public slots:
    void viewCameo();
    void closeCameo();
    void deleteCamera();
    void OnHideCameo();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    // The recorder's session when it is registered in the hub.
    bool RecorderRegistered() const;
    void StoreReleasedPosition();

    EmapView* m_view;
    quint8 m_deviceCamera = 0;
    quint8 m_cameraMap = 0;
    float m_x = 0.0f;
    float m_y = 0.0f;
    int m_areaWidth = 0;
    int m_areaHeight = 0;
    int m_pressX = 0;
    int m_pressY = 0;
    int m_dragging = 0;
    int m_slot;
    QAction* m_viewAct = nullptr;
    QAction* m_closeAct = nullptr;
    QAction* m_deleteAct = nullptr;
    int m_recorder = -1;
    int m_channel = -1;
    QString m_name;
    EmapTile* m_tile = nullptr;
    QPointer<QWidget> m_tileWidget;
    quint8 m_tileShown = 0;
};
