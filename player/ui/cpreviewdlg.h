#pragma once
// One of the ten slider previews: a small frameless window over the play slider showing the
// selected tile's picture at one tenth of its recording, its caption outlined in black, a red
// frame while the mouse is over it, and a seek when clicked. The picture arrives from the
// tile's preview reader thread through SetPicture (queued onto the window's thread).
#include "playback/previewstrip.h"

#include <QImage>
#include <QMutex>
#include <QWidget>

class CPreviewDlg : public QWidget
{
    Q_OBJECT
public:
    CPreviewDlg(int number, QWidget* parent = nullptr);

    // command: 1 show, 2 hide, other non-zero show, 0 clear. length is the tile's length in
    // position units; slider the play slider's rectangle in the parent's coordinates.
    void ShowPreview(int command, int length, bool noPicture, const QRect& slider);
    // Any thread: the picture and caption read for this preview.
    void SetPicture(const QImage& picture, const QString& caption);
    void SetTileState(int length, bool tileSelected);

    const PreviewStrip& Strip() const { return m_strip; }
    bool Hot() const { return m_hot; }
    QImage Picture() const;

signals:
    // The tile should read the picture at position for this preview.
    void ReadRequested(int preview, int position);
    // The tile should seek to position.
    void SeekRequested(int position);
    void HotChanged(int preview, bool hot);

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void SetHot(bool hot);
    void Clear();
    // Over the play slider at the aspect of the picture held now.
    void Place();

    PreviewStrip m_strip;
    mutable QMutex m_lock;
    QImage m_picture;
    QString m_caption;
    bool m_hot = false;
    int m_length = 0;
    bool m_tileSelected = false;
    QRect m_slider; // empty until the preview is first placed
};
