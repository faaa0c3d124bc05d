#pragma once
// The window that holds one live video grid. The hub keeps at most four (index 0..3) and shows
// each inside its multi-document area or popped out; the window only frames the grid, keeps it
// sized to whole cells and hands itself back to its host when it closes or dies.
#include <QDialog>

class CCameo;
class LiveViewHost;

class LiveView : public QDialog
{
    Q_OBJECT

public:
    // `host` (may be null) outlives the window.
    LiveView(QWidget* parent, int index, LiveViewHost* host);
    ~LiveView() override;

    CCameo* GetCameo() const { return m_pCameo; }
    int GetIndex() const { return m_index; }
    // True while the hub shows the window outside its multi-document area.
    bool IsPopup() const;

public slots:
    void showMaximized();

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    LiveViewHost* m_host = nullptr;
    CCameo* m_pCameo = nullptr;
    int m_index = 0;
};
