#pragma once
// A snapshot from a recorder's archive, shown in a pop-up at a fixed 960 x 540 with a Close
// button. A file that does not load leaves the picture area empty.
#include <QLabel>
#include <QPushButton>
#include <QString>

#include "widgets/cpopupdialog.h"

class CSnapShow : public CPopupDialog
{
    Q_OBJECT

public:
    static constexpr int kPictureWidth = 960;
    static constexpr int kPictureHeight = 540;

    CSnapShow(QWidget* parent, const QString& path);

    QLabel* PictureLabel() const { return m_picture; }
    QPushButton* CloseButton() const { return m_close; }

public slots:
    void onOKButtonClicked();

private:
    QLabel* m_picture = nullptr;
    QPushButton* m_close = nullptr;
};
