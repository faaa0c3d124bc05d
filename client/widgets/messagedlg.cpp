#include "widgets/messagedlg.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "widgets/messageboxhub.h"

namespace {
constexpr int kRefreshMs = 100;
constexpr int kAutoCloseTicks = 10;
} // namespace

MessageDlg::MessageDlg(QWidget* parent, int mode)
    : CPopupDialog(parent)
    , m_mode(mode)
{
    if (MessageBoxHub* hub = MessageBoxHub::Instance()) {
        hub->MessageBoxOpened();
        m_countedBy = hub;
        m_countedInstall = MessageBoxHub::Installs();
    }

    m_pLabel = new QLabel(this);
    m_pLabel->setObjectName(QStringLiteral("label"));
    m_pLabel->setMinimumSize(200, 40);
    m_pLabel->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);

    auto* column = new QVBoxLayout(this);
    column->addWidget(m_pLabel);

    if (m_mode == Question) {
        m_pOkButton = new QPushButton(QStringLiteral("OK"), this);
        m_pOkButton->setObjectName(QStringLiteral("okButton"));
        m_pCloseButton = new QPushButton(QStringLiteral("Cancel"), this);
        m_pCloseButton->setObjectName(QStringLiteral("closeButton"));
        auto* row = new QHBoxLayout;
        row->addWidget(m_pOkButton);
        row->addWidget(m_pCloseButton);
        column->addLayout(row);
        connect(m_pOkButton, &QPushButton::clicked, this, &MessageDlg::onOkButtonClicked);
    } else {
        const bool cancel = (m_mode == MuseumSearch);
        m_pCloseButton = new QPushButton(cancel ? QStringLiteral("Cancel") : QStringLiteral("Close"), this);
        m_pCloseButton->setObjectName(QStringLiteral("closeButton"));
        m_pCloseButton->setEnabled(cancel);
        column->addWidget(m_pCloseButton);
    }
    connect(m_pCloseButton, &QPushButton::clicked, this, &MessageDlg::onCancelButtonClicked);

    MessageBoxHub* hub = MessageBoxHub::Instance();
    if ((m_mode == HubMessage || m_mode == MuseumSearch) && hub) {
        m_title = hub->MessageTitle();
        setWindowTitle(m_title);
        m_pLabel->setText(hub->MessageText());
    }

    if (FollowsHub()) {
        m_pTimer = new QTimer(this);
        connect(m_pTimer, &QTimer::timeout, this, &MessageDlg::timerRedrawLabel);
        m_pTimer->start(kRefreshMs);
    }
    if (m_mode == Wait)
        hide();
}

MessageDlg::~MessageDlg()
{
    StopTimer();
    ReleaseOpenFlag();
}

void MessageDlg::SetText(const QString& title, const QString& text)
{
    setWindowTitle(title);
    m_pLabel->setText(text);
    m_pCloseButton->setEnabled(true);
}

void MessageDlg::StopTimer()
{
    if (m_pTimer)
        m_pTimer->stop();
}

void MessageDlg::ReleaseOpenFlag()
{
    MessageBoxHub* hub = m_countedBy;
    m_countedBy = nullptr;
    if (hub && hub == MessageBoxHub::Instance() && m_countedInstall == MessageBoxHub::Installs())
        hub->MessageBoxClosed();
}

void MessageDlg::CloseBox(int result)
{
    StopTimer();
    ReleaseOpenFlag();
    done(result);
}

void MessageDlg::done(int result)
{
    StopTimer();
    ReleaseOpenFlag();
    CPopupDialog::done(result);
}

void MessageDlg::onOkButtonClicked()
{
    CloseBox(1);
}

void MessageDlg::onCancelButtonClicked()
{
    CloseBox(0);
}

void MessageDlg::closeEvent(QCloseEvent* event)
{
    StopTimer();
    ReleaseOpenFlag();
    CPopupDialog::closeEvent(event);
    event->accept();
}

void MessageDlg::timerRedrawLabel()
{
    MessageBoxHub* hub = MessageBoxHub::Instance();
    if (!hub)
        return;

    if (m_mode == Wait) {
        // The wait box also honours "exit", so that a sender can end it like any other box.
        if (hub->MessageOption() == QLatin1String("exit")) {
            CloseBox(0);
            return;
        }
        setVisible(hub->GetWaitFlag() == 0);
        return;
    }
    if (!FollowsHub())
        return;

    const QString text = hub->MessageText();
    const QString option = hub->MessageOption();
    if (hub->MessageTitle() != m_title) {
        m_title = hub->MessageTitle();
        setWindowTitle(m_title);
    }
    m_pLabel->setText(text);

    if (option == QLatin1String("exit")) {
        CloseBox(0);
    } else if (option == QLatin1String("stop")) {
        m_pCloseButton->setEnabled(true);
    } else if (option == QLatin1String("auto")) {
        m_pCloseButton->setEnabled(true);
        if (++m_tick >= kAutoCloseTicks)
            CloseBox(0);
    }
}
