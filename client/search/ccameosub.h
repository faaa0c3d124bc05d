#pragma once
// The match strip of the museum search: a column of 120-pixel slots, each holding one matching
// picture with its time as caption and a frame that marks the selected match. Drawn into an
// off-screen canvas under its lock; a timer repaints the screen from it.
#include <QImage>
#include <QLabel>
#include <QMutex>
#include <QPixmap>
#include <QTimer>

class CCameoSub : public QLabel
{
    Q_OBJECT

public:
    static constexpr int kSlotHeight = 120;
    static constexpr int kCaptionHeight = 18;
    static constexpr int kRefreshMs = 100;

    CCameoSub();

    void ClearSlot(int slot);
    void SelectSlot(int slot);
    void SetSlotImage(const QImage& image, const QString& caption, bool selected, int slot);
    void EnableUpdate(bool on);

    // The owner may install a canvas of its own and fix it (a resize then keeps it).
    void SetCanvas(const QPixmap& canvas);
    void SetFixedCanvas(bool fixed) { m_fixedCanvas = fixed ? 1 : 0; }
    bool IsFixedCanvas() const { return m_fixedCanvas != 0; }
    QPixmap Canvas() const;
    bool IsRefreshing() const { return m_refreshTimer.isActive(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // The canvas rows of a slot, or of the band as high as the strip for a slot below 0.
    QRect Band(int slot) const;
    // Follows the strip's size (unless fixed); false without a canvas to draw on.
    bool CanvasReadyLocked();
    void Outline(class QPainter& painter, const QRect& band, const QColor& colour) const;

    mutable QMutex m_lock;
    QPixmap m_canvas;
    quint8 m_fixedCanvas = 0;
    QTimer m_refreshTimer;
};
