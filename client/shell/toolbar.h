#pragma once
// The main window's one tool bar: a button for each kind of window the operator opens from the
// main window and one per split-screen size of the live grid. Each button calls the hub
// directly. Its menu shows or hides the bar and docks it on any side of the main window.
#include <QToolBar>

class MainWindow;
class QActionGroup;
class QMenu;

class ToolBar : public QToolBar
{
    Q_OBJECT

public:
    ToolBar(const QString& title, MainWindow* hub);

    QMenu* Menu() const { return m_pMenu; }
    // The style sheet <program directory>/qss/<name in lower case>.qss, read as Latin-1; a missing
    // file gives the default look.
    void loadStyleSheet(const QString& name);
    // A widget hidden when the pointer leaves the bar; none unless set.
    void SetPopup(QWidget* popup) { m_pPopup = popup; }
    // Greys the backup player's button while its program is missing.
    void SetPlayerPresent(bool present);

public slots:
    void LiveView();
    void SearchView();
    void LocalView();
    void EmapView();
    void BackupView();
    void PlayerView();
    void ConfigView();
    void InfoView();
    void OnSplit1();
    void OnSplit4();
    void OnSplit9();
    void OnSplit16();
    void OnSplit25();
    void OnSplit36();
    void OnSplit49();
    void OnSplit64();
    void placeLeft(bool checked);
    void placeRight(bool checked);
    void placeTop(bool checked);
    void placeBottom(bool checked);
    void updateMenu();

protected:
    void leaveEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void Place(Qt::ToolBarArea area, bool checked);

    QActionGroup* m_pPlaceGroup = nullptr;
    QAction* m_pPlaceLeft = nullptr;
    QAction* m_pPlaceRight = nullptr;
    QAction* m_pPlaceTop = nullptr;
    QAction* m_pPlaceBottom = nullptr;
    QAction* m_pWindowActions[8] = {};
    QAction* m_pSplitActions[8] = {};
    QMenu* m_pMenu = nullptr;
    MainWindow* m_pHub = nullptr;
    QWidget* m_pPopup = nullptr;
};
