#pragma once
// The remote configuration console: mirrors a recorder's own setup menu from the layouts the
// recorder sends, forwards the operator's presses and releases in the recorder's screen
// coordinates, and shows the channel a layout names live behind the menu. The recorder is
// chosen by dropping it from the site book. The window reaches the session and the main window
// only through its ConsoleHost; the session reaches it as a RemoteConsole.
#include "console/consolearea.h"
#include "console/consolepointer.h"
#include "console/vdaoverlay.h"
#include "session/remoteconsole.h"
#include "session/sitebook.h"

#include <QDialog>
#include <QMap>
#include <QPointer>

class ConsoleHost;
class ConsoleLiveLink;
class QAction;
#include <QLabel>
class QTimer;

class ConfigView : public QDialog, public RemoteConsole
{
    Q_OBJECT
public:
    static constexpr int kRefreshMs = 5000;
    static constexpr int kMinWidth = 1000;
    static constexpr int kMinHeight = 680;

    // `clock` gives milliseconds for the press debounce; empty takes a monotonic clock.
    explicit ConfigView(ConsoleHost* host, QWidget* parent = nullptr, ConsolePointer::Clock clock = {});
    ~ConfigView() override;

    // RemoteConsole
    void startRemoteConsole() override;
    void stopRemoteConsole() override;
    void OnRecvGuiData(int size, int originX, int originY, int width, int height, int resolutionWidth,
                       int resolutionHeight) override;
    void OnAsyncEvent() override;
    void OnConsoleLockCanceled() override;
    void OnDisconnected() override;

    // The recorder the console shows, -1 for none.
    int recorderIndex() const { return m_recorderIndex; }
    // Takes a recorder as a drop of its site-book record does.
    void setRecorder(const SiteBook& record);
    void setSlot(int slot) { m_slot = slot; }
    ConsoleHost* Host() const { return m_host; }

    // The layout's widgets, built by ConfigXmlReader; the window owns them.
    void clearConsoleWidgets();
    void AddConsoleWidget(const QString& id, QWidget* widget);
    void SetRestartZones(const QVector<QRect>& zones);
    void createBackground(int channel, const QRect& rect);
    QWidget* consoleWidget(const QString& id) const { return m_widgets.value(id); }
    int consoleWidgetCount() const { return m_widgets.size(); }
    QLabel* background() const { return m_background; }
    QLabel* hint() const { return m_hint; }

    bool restartBlocked() const { return m_pointer.RestartBlocked(); }
    int zoneCount() const { return m_pointer.ZoneCount(); }
    int channel() const { return m_channel; }
    ConsoleLiveLink* liveLink() const { return m_live; }
    bool refreshRunning() const;
    QAction* loadAction() const { return m_loadAction; }

public slots:
    void refreshConfig();
    void loadConfig();
    void saveConfig();
    void didAVFrameDecoded(QImage picture);
    void didReceiveVdaData(int columns, int rows, int rowBytes, QByteArray mask);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    bool RecorderExists() const;
    void checkAndStartStopLive();
    void ReadLayout(const QByteArray& text, const ConsoleArea& area, bool fromRecorder);
    void SaveReceivedLayout(const QByteArray& text);
    bool ReadRestartPermission() const;
    void Forget();
    void UpdateHint();

    ConsoleHost* m_host;
    ConsolePointer m_pointer;
    QAction* m_loadAction = nullptr;
    QAction* m_saveAction = nullptr;
    QTimer* m_refreshTimer = nullptr;
    QMap<QString, QWidget*> m_widgets;
    // The live picture; kept apart from the layout's ids.
    QPointer<QLabel> m_background;
    QLabel* m_hint = nullptr;
    int m_slot = -1;
    int m_recorderIndex = -1;
    ConsoleArea m_area;
    bool m_releaseOnClose = true;
    // Read from this recorder's settings file when the console is granted; refused until then.
    bool m_restartPermitted = false;
    bool m_saveFailureShown = false;
    SiteBook m_siteBook;
    int m_channel = -1;
    ConsoleLiveLink* m_live = nullptr;
    VdaOverlay m_vda;
};
