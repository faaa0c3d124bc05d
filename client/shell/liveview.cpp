#include "shell/liveview.h"

#include <QCloseEvent>
#include <QDebug>
#include <QIcon>
#include <QResizeEvent>

#include "shell/cameoosd.h"
#include "shell/ccameo.h"
#include "shell/liveviewhost.h"
#include "shell/mainwindow.h"
#include "shell/shelllog.h"

namespace {
constexpr int kMargin = 10;
}

LiveView::LiveView(QWidget* parent, int index, LiveViewHost* host)
    : QDialog(parent, Qt::FramelessWindowHint)
    , m_host(host)
    , m_index(index)
{
    if (index < 0 || index >= MainWindow::kLiveViews)
        qCWarning(lcShell) << "LiveView: index" << index << "is outside the hub's live windows";
    setWindowTitle(QString::asprintf("Live - %d", index + 1));
    setWindowIcon(QIcon(QStringLiteral(":/res/Resource/2.png")));
    setMinimumSize(320, 240);
    resize(640, 480);

    m_pCameo = new CCameo(this);
    m_pCameo->setParent(this);
    m_pCameo->SetOwnerSlot(index);
    m_pCameo->InitCameo(int(CameoKind::Live), CCameo::kCells, -1);
    m_pCameo->OnSplitMode(0, 16, false);
    m_pCameo->OnDrawCameo(-1);
    m_pCameo->setGeometry(kMargin, kMargin, width() - 2 * kMargin, height() - 2 * kMargin);
    m_pCameo->setMinimumSize(10, 10);
    m_pCameo->show();

    if (m_host)
        setStyleSheet(m_host->LiveViewStyleSheet());
}

LiveView::~LiveView()
{
    if (m_host)
        m_host->deleteLiveView(m_index);
    qCDebug(lcShell) << "relese live " << m_index;
}

bool LiveView::IsPopup() const
{
    return m_host && m_host->IsLiveViewPopup(m_index);
}

void LiveView::showMaximized()
{
    QDialog::showMaximized();
}

void LiveView::closeEvent(QCloseEvent* event)
{
    qCDebug(lcShell) << "close event";
    if (IsPopup()) {
        // A popped-out window goes back into the multi-document area instead of closing.
        m_host->DockLiveView(m_index);
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void LiveView::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    if (!m_pCameo)
        return;
    // The largest whole-cell size inside the window less the margins.
    const int n = CameoOsd::IntegerSqrt(m_pCameo->GetSplit());
    const int w = event->size().width() - 2 * kMargin;
    const int h = event->size().height() - 2 * kMargin;
    if (n > 0 && w > 0 && h > 0)
        m_pCameo->resize(w / n * n, h / n * n);
    else
        m_pCameo->resize(qMax(w, 0), qMax(h, 0));
    if (isMaximized() && !IsPopup() && m_host)
        m_host->SetupTabBar(false);
}

void LiveView::showEvent(QShowEvent* event)
{
    if (m_host)
        m_host->ResetEmapFlag();
    QDialog::showEvent(event);
}

void LiveView::hideEvent(QHideEvent* event)
{
    if (m_host)
        m_host->ResetEmapFlag();
    QDialog::hideEvent(event);
}

void LiveView::keyPressEvent(QKeyEvent* /*event*/)
{
    // Keys, Escape included, never close the window.
}

void LiveView::focusInEvent(QFocusEvent* event)
{
    qCDebug(lcShell) << "focusIn" << m_index;
    QDialog::focusInEvent(event);
}

void LiveView::focusOutEvent(QFocusEvent* event)
{
    qCDebug(lcShell) << "focusOut" << m_index;
    QDialog::focusOutEvent(event);
}
