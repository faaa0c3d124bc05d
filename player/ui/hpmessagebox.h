#pragma once
// The notice box: two lines of text, an optional Cancel button, an optional animation and an
// optional beep; it closes by itself after a time (20 s by default). A request given while it
// is shown replaces the texts and restarts the time.
#include <QDialog>
#include <QElapsedTimer>
#include <QPixmap>
#include <QPointer>
#include <QTimer>

class CSkinButton;
class HPImageManager;

struct MessageBoxRequest
{
    QString firstLine;
    QString secondLine;
    bool showCancel = false;
    int durationMs = 20000;
    QPointer<QWidget> windowToDisable;
    bool animate = true;
    bool beep = false;
};

class HPMessageBox : public QDialog
{
    Q_OBJECT
public:
    // The skin comes from `skinFolder` (program folder + "Resource/KRO/Connect/").
    HPMessageBox(HPImageManager& images, const QString& skinFolder, const QString& faceName,
                 QWidget* parent = nullptr);

    // Returns 0 without a request, else 1.
    int ShowBox(const MessageBoxRequest* request);
    // The Cancel button: closes the box at once.
    void Cancel() { Finish(); }
    bool IsActive() const { return m_active; }
    const MessageBoxRequest& Request() const { return m_request; }

signals:
    void beepRequested();

protected:
    void paintEvent(QPaintEvent* event) override;
    void reject() override;

private:
    void OnTick();
    void Finish();

    MessageBoxRequest m_request;
    QString m_face;
    QPixmap m_background;
    QPixmap m_strip;
    CSkinButton* m_cancel = nullptr;
    QTimer m_tick;
    QElapsedTimer m_started;
    bool m_active = false;
    int m_frame = 0;
};
