#pragma once
// The rules of the ten slider previews without widgets: the play position each preview shows,
// when a preview is read, shown or hidden, where it sits over the play slider, and whether a
// click on it seeks.
#include <QRect>
#include <QSize>
#include <QtGlobal>

class PreviewStrip
{
public:
    static constexpr int kPreviews = 10;

    enum class Action {
        None,        // nothing changes
        ReadAndShow, // ask the tile for the picture at Position(), then show
        Show,        // show what is there
        Hide,        // keep what is there, hidden
        Clear,       // position -1, caption and picture emptied, hidden
    };

    explicit PreviewStrip(int number);

    // (length / 10 when the length is above 10, else 1) × number.
    static int PositionFor(int length, int number);
    // The picture buffer's size before a picture has been read.
    static constexpr QSize kBlankPicture{300, 200};

    // Over the play slider: width (slider width − 10) / 10, the height keeping the picture's
    // aspect (the blank buffer's while there is no picture), the bottom 5 above the slider's.
    static QRect Geometry(const QRect& slider, int number, const QSize& picture);

    // command 1 shows, another non-zero command only shows or hides (2 hides), 0 clears.
    // noPicture: the tile's last frame data began with four 0xFF bytes.
    Action ShowPreview(int command, int length, bool noPicture);
    // True when a click should seek the tile to Position().
    bool ClickSeeks(int length, bool tileSelected) const;

    int Number() const { return m_number; }
    int Position() const { return m_position; }
    bool Shown() const { return m_shown; }

private:
    int m_number;
    int m_position = -1;
    bool m_shown = false;
};
