#pragma once
// The wait box: a centred box with one line of text, a four-frame animation and a Cancel
// button, shown while a long operation runs in steps. While it is up the main dialog and the
// control bar are disabled. Step may be called from any thread; it is carried out on the box's
// own thread.
#include <QDialog>
#include <QPixmap>
#include <QTimer>

#include "ui/waitboxcounter.h"

class CSkinButton;
class WaitBoxHost;

class CMsgDlg : public QDialog
{
    Q_OBJECT
public:
    CMsgDlg(WaitBoxHost& host, const QString& faceName, const QString& cancelText, QWidget* parent = nullptr);

    void ShowMessage(int steps, const QString& text, WaitBoxStyle style, int kind);
    void Step(const QString& text = QString());

    const WaitBoxCounter& Counter() const { return m_counter; }
    CSkinButton* CancelButton() const { return m_cancel; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void reject() override; // Escape does not close the box

private:
    void StepNow(const QString& text);
    void OnCancel();
    void Close();

    WaitBoxHost& m_host;
    WaitBoxCounter m_counter;
    QString m_face;
    QPixmap m_background;
    QPixmap m_strip;
    CSkinButton* m_cancel = nullptr;
    QTimer m_animation;
    int m_frame = 0;
};
