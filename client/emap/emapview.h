#pragma once
// The e-map window: a map picture with up to 16 camera icons placed on it at fractions of the
// window's size. It shows either one recorder's map (or one camera's own picture) with that
// recorder's cameras, whose places live in the recorder's entry record, or an e-map entry of the
// e-map book, whose cameras may belong to several recorders and whose places the site book tree
// writes to emap.xml at once. The hub keeps at most two, docked or popped out.
#include <QDialog>
#include <QPixmap>
#include <QPoint>
#include <QString>
#include <array>

#include "emap/emapentry.h"
#include "session/emapwindow.h"

class RecorderSession;
class EmapCamera;
class QAction;
class QLabel;
class QScrollArea;
class SiteBook;

class EmapView : public QDialog, public EmapWindow
{
    Q_OBJECT

public:
    static constexpr int kCameras = EmapEntry::kPositions;
    static constexpr const char* kDefaultMap = ":/res/Resource/map_default.png";

    EmapView(QWidget* parent, int viewSlot);
    ~EmapView() override;

    // Recorder mode: the map of a recorder (channel -1) or of one of its cameras.
    void setDevice(int recorder, int channel);
    // Entry mode: an e-map entry's three lists, picture, name and e-map slot.
    void openEmapEntry(const QString& devices, const QString& channels, const QString& positions,
                       const QString& mapPath, const QString& name, int slot);

    // EmapWindow: called back by a recorder's session once it is connected.
    void openEmap(const QString& path) override;
    void createDeviceCamera(SiteBook record, int channel, bool cameraMap) override;
    void refreshCameras() override;

    // A dropped camera; the slot used, or -1.
    int createCamera(const SiteBook& record, const QPoint& point);
    void removeCamera(int slot);
    void storeEntry();
    void redrawLines();

    // The session of a recorder slot when it is registered in the hub, else null.
    static RecorderSession* Recorder(int recorder);

    // Reading the window.
    int GetViewSlot() const { return m_viewSlot; }
    bool IsRecorderMode() const { return m_recorderMode != 0; }
    int GetRecorder() const { return m_recorder; }
    int GetChannel() const { return m_channel; }
    int GetEntrySlot() const { return m_entrySlot; }
    // Nothing open: neither a recorder's map nor an entry.
    bool IsEmpty() const { return !m_recorderMode && m_entrySlot < 0; }
    // True when the window shows this recorder's map (channel -1) or that camera's picture.
    bool Shows(int recorder, int channel) const;
    QString GetMapPath() const { return m_mapPath; }
    double GetScale() const { return m_scale; }
    // The icon of a slot, null when it was never made.
    EmapCamera* GetCamera(int slot) const;
    // Visible icons, in slot order.
    QList<EmapCamera*> VisibleCameras() const;
    QLabel* MapLabel() const { return m_mapLabel; }
    QAction* GetAction(int index) const;
    // What the window would store for its entry now.
    EmapEntry::Lists EntryLists() const;

    // True while the hub shows the window outside its multi-document area.
    bool IsPoppedOut() const;
    // Shows a picture file as the map (what "Load Map Image" does with the chosen file); false
    // with the old picture kept when it does not load.
    bool OpenMapFile(const QString& path);

public slots:
    void loadMapImage();
    void saveMapImage();
    void zoomIn();
    void zoomOut();
    void normalSize();
    void fitToWindow();
    void OnPopupAction();
    void loadStyleSheet(const QString& name);

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    enum ActionIndex { LoadMap, SaveMap, Popup, ZoomIn, ZoomOut, NormalSize, FitToWindow, ActionCount };

    void CreateActions();
    void BuildMapArea();
    // Shows a picture that loaded: in the label scaled to the window (aspect kept) and as the
    // scaled picture the lines are drawn on (aspect ignored).
    void ShowPicture(const QPixmap& picture);
    // True when a picture was loaded from the path.
    bool setMap(const QString& path);
    // Stores a picture path as the recorder's map or as the camera's own picture.
    void StoreRecorderMap(const QString& path);
    // Asks to load a map when the recorder's (or camera's) picture and mapPath are both empty.
    void AskForMapWhenNone(const QString& recorderPicture);
    // Recorder mode for a recorder's slot; false (no mode) when it is not registered.
    bool EnterRecorderMode(int recorder, int channel);
    void ConnectForMap();
    void RemoveAllCameras();
    // The lowest slot whose icon is missing or hidden, -1 when all 16 are shown.
    int FreeSlot() const;
    EmapCamera* CameraForSlot(int slot);
    // Gives an icon its text, font, record, tooltip, place and shows it.
    void SetUpCamera(EmapCamera* camera, const SiteBook& record, const QString& toolTip, float x, float y);
    // Moves to the next placed position and asks its recorder to connect; false at the end.
    bool AdvanceEntryCursor();
    void CloseConnectingBox();
    QString RecorderName(int recorder) const;
    QString CameraTitle(int recorder, int channel) const;
    void ScaleImage(double factor);
    // Draws the lines into a copy of the scaled picture; true when a line moved.
    bool DrawLines(QPixmap& copy);

    quint8 m_recorderMode = 0;
    int m_channel = -1;
    int m_recorder = -1;
    int m_entrySlot = -1;
    int m_cursor = 0;
    bool m_entryConnectAsked = false;
    std::array<int, kCameras> m_entryRecorder{};
    std::array<int, kCameras> m_entryChannel{};
    std::array<float, kCameras> m_entryX{};
    std::array<float, kCameras> m_entryY{};
    std::array<QAction*, ActionCount> m_actions{};
    QLabel* m_mapLabel = nullptr;
    QScrollArea* m_scrollArea = nullptr;
    QPixmap m_picture;
    QPixmap m_scaledPicture;
    double m_scale = 1.0;
    std::array<EmapCamera*, kCameras> m_cameras{};
    int m_viewSlot;
    QString m_mapPath;
    std::array<QPoint, kCameras> m_lineStart{};
    std::array<QPoint, kCameras> m_lineEnd{};
};
