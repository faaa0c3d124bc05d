#include "ui/cfullscreenctrldlg.h"
#include "ui/csearchcontrol.h"
#include "ui/cviewerdlg.h"
#include "ui/splitmodes.h"

#include <QMouseEvent>
#include <QPushButton>
#include <QWindow>

namespace {
// Dialog units of the bar's template at 8-point "MS Shell Dlg": 1.5 pixels across, 1.625 down.
QRect Units(int x, int y, int w, int h)
{
    return QRect(x * 3 / 2, y * 13 / 8, w * 3 / 2, h * 13 / 8);
}
} // namespace

CFullScreenCtrlDlg::CFullScreenCtrlDlg(CViewerDlg& viewer, QWidget* fullScreen)
    : QDialog(fullScreen, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
    , m_viewer(viewer)
{
    setModal(false);
    resize(Units(0, 0, 112, 110).size());
    setStyleSheet(QStringLiteral("QDialog { background: rgb(35,56,85); border: 1px solid rgb(19,35,59); }"
                                 "QPushButton { background: rgb(59,91,134); color: rgb(212,230,255);"
                                 " border: 1px solid rgb(19,35,59); }"));
    const int layoutIds[4] = {1008, 1009, 1010, 1011};
    const char* captions[4] = {"1", "4", "9", "16"};
    for (int i = 0; i < 4; ++i) {
        const int code = SplitModes::CodeOfButton(layoutIds[i], LayoutOwner::FullScreenBar);
        connect(Add(layoutIds[i], QString::fromLatin1(captions[i]), Units(7 + 25 * i, 15, 22, 16)),
                &QPushButton::clicked, this, [this, code] { m_viewer.SetSplitMode(code, true, false); });
    }
    struct Play
    {
        int id;
        const char* caption;
        void (CSearchControl::*handler)();
    };
    const Play plays[9] = {
        {1165, "|<", &CSearchControl::OnGoFirst},      {1037, "|>", &CSearchControl::OnStepForward},
        {1038, ">|", &CSearchControl::OnGoLast},       {1039, "<", &CSearchControl::OnPlayBackward},
        {1040, "||", &CSearchControl::OnPause},        {1041, ">", &CSearchControl::OnPlayForward},
        {1042, "<<", &CSearchControl::OnFastBackward}, {1043, "<|", &CSearchControl::OnStepBackward},
        {1044, ">>", &CSearchControl::OnFastForward},
    };
    for (int i = 0; i < 9; ++i) {
        const Play& play = plays[i];
        const auto handler = play.handler;
        connect(
            Add(play.id, QString::fromLatin1(play.caption), Units(7 + 33 * (i % 3), 38 + 14 * (i / 3), 31, 12)),
            &QPushButton::clicked, this, [this, handler] { (m_viewer.ControlBar()->*handler)(); });
    }
    connect(Add(1140, viewer.Language().GetText(QStringLiteral("HIDE")), Units(6, 85, 47, 16)),
            &QPushButton::clicked, this, &QWidget::hide);
    QPushButton* exitButton = Add(1000, viewer.Language().GetText(QStringLiteral("EXIT")), Units(56, 85, 47, 16));
    exitButton->setDefault(true);
    connect(exitButton, &QPushButton::clicked, this, &CFullScreenCtrlDlg::exitRequested);
}

QPushButton* CFullScreenCtrlDlg::Add(int id, const QString& caption, const QRect& place)
{
    auto* button = new QPushButton(caption, this);
    button->setGeometry(place);
    button->setFocusPolicy(Qt::NoFocus);
    m_buttons.append({id, button});
    return button;
}

QPushButton* CFullScreenCtrlDlg::Button(int id) const
{
    for (const auto& entry : m_buttons) {
        if (entry.first == id)
            return entry.second;
    }
    return nullptr;
}

void CFullScreenCtrlDlg::PlaceAt(const QRect& area)
{
    move(area.right() + 1 - width(), area.bottom() + 1 - height());
}

void CFullScreenCtrlDlg::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && windowHandle())
        windowHandle()->startSystemMove();
}

void CFullScreenCtrlDlg::reject()
{
    emit exitRequested();
}
