#pragma once
// The floating bar of full-screen mode: layout buttons, the nine playback buttons of the
// control bar, Hide and Exit. It can be dragged by any point.
#include <QDialog>

class CViewerDlg;
class QPushButton;

class CFullScreenCtrlDlg : public QDialog
{
    Q_OBJECT
public:
    CFullScreenCtrlDlg(CViewerDlg& viewer, QWidget* fullScreen);

    // Places the bar's bottom-right corner on the bottom-right corner of `area` (screen
    // coordinates).
    void PlaceAt(const QRect& area);
    QPushButton* Button(int id) const;

signals:
    void exitRequested();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void reject() override;

private:
    QPushButton* Add(int id, const QString& caption, const QRect& place);

    CViewerDlg& m_viewer;
    QVector<QPair<int, QPushButton*>> m_buttons;
};
