#pragma once
// The client's one message box. Mode 0 follows the hub's texts and option word, mode 1 is a
// fixed message, mode 2 an OK/Cancel question, mode 3 the museum search progress box and mode 4
// the blank wait box that is visible only while the hub's wait flag is 0.
#include "widgets/cpopupdialog.h"

class QLabel;
class QPushButton;
class QTimer;
class MessageBoxHub;

class MessageDlg : public CPopupDialog
{
    Q_OBJECT

public:
    enum BoxMode { HubMessage = 0, Fixed = 1, Question = 2, MuseumSearch = 3, Wait = 4 };

    MessageDlg(QWidget* parent, int mode);
    ~MessageDlg() override;

    void SetText(const QString& title, const QString& text);
    int Mode() const { return m_mode; }

    // Ends the box with the result; every way of closing goes through here, so the hub learns
    // of the close exactly once.
    void done(int result) override;

public slots:
    void timerRedrawLabel();
    void onOkButtonClicked();
    void onCancelButtonClicked();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    bool FollowsHub() const { return m_mode == HubMessage || m_mode == MuseumSearch || m_mode == Wait; }
    void StopTimer();
    void ReleaseOpenFlag();
    void CloseBox(int result);

    QLabel* m_pLabel = nullptr;
    QPushButton* m_pCloseButton = nullptr;
    QPushButton* m_pOkButton = nullptr;
    QTimer* m_pTimer = nullptr;
    QString m_title;
    int m_tick = 0;
    int m_mode = HubMessage;
    // The hub that counted this box as open, until the box has reported its close. A hub that
    // has since gone (uninstalled itself) is not told.
    MessageBoxHub* m_countedBy = nullptr;
    quint64 m_countedInstall = 0;
};
