#pragma once
// The tools popup of the main dialog: a small panel with "AVI Convert" and "Print && Save".
// AVI Convert checks for the Xvid codec first (offering its installer when missing) and opens
// the export for the last selected tile; both beep when no tile with a file is selected. The
// panel is drawn from its skin bitmap and takes that bitmap's shape (magenta is left out).
#include "ui/toolspopuphost.h"

#include <QPixmap>
#include <QWidget>

class CSkinButton;

class CDlgAlarm : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kWidth = 140;
    static constexpr int kHeight = 100;
    static constexpr int kBackgroundBitmap = 295;

    // xvidInstalled and encoderFound are the codec check and the `ffmpeg` lookup; given so
    // that tests choose them.
    CDlgAlarm(ToolsPopupHost& host, bool xvidInstalled, bool encoderFound, QWidget* parent = nullptr);

    // Shown at the parent's client width − 177, height − 128, or hidden.
    void ShowPopup(bool show);
    void OnAviConvert();
    void OnPrint();

    CSkinButton* AviButton() const { return m_avi; }
    CSkinButton* PrintButton() const { return m_print; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    ToolsPopupHost& m_host;
    bool m_xvid;
    bool m_encoder;
    QPixmap m_background;
    CSkinButton* m_avi;
    CSkinButton* m_print;
};
