#include "backup/mediabackuppage.h"

#include "backup/mediarangeform.h"
#include "backup/sitebookdrop.h"
#include "net/hubservices.h"
#include "session/recordersession.h"
#include "session/sessionhub.h"
#include "session/sitebook.h"

#include <QComboBox>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QHeaderView>
#include <QMessageBox>
#include <QPushButton>
#include <QTableView>

MediaBackupPage::MediaBackupPage(QWidget* parent, std::function<void()> sendStart, std::function<int()> totalMB)
    : QWidget(parent)
    , m_flow(
          {[this] { return Device(); }, [this](const QString& text) { SetStatus(text); },
           [this](const QString& title, const QString& text, bool okCancel) { return Ask(title, text, okCancel); },
           std::move(sendStart), [this] { ResetBackup(); }, std::move(totalMB)})
{
    setAcceptDrops(true);
    m_form = std::make_unique<MediaRangeForm>(this);
    connect(m_form->allButton, &QPushButton::clicked, this, &MediaBackupPage::ChannelAll);

    m_table = new QTableView(this);
    m_table->verticalHeader()->hide();
    m_table->verticalHeader()->setDefaultSectionSize(20);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);

    m_mediaCombo = new QComboBox(this);
    m_mediaCombo->addItems({QStringLiteral("CD/DVD RW"), QStringLiteral("USB Storage")});
    m_mediaCombo->setGeometry(570, 695, 150, 30);
    m_startButton = new QPushButton(QStringLiteral("Start"), this);
    m_startButton->setGeometry(730, 695, 150, 30);
    connect(m_startButton, &QPushButton::clicked, this, [this] { OnBackupStart(); });
}

MediaBackupPage::~MediaBackupPage() = default;

RecorderSession* MediaBackupPage::Device() const
{
    SessionHub* hub = SessionHub::Instance();
    return hub ? hub->GetDevice(m_deviceIndex) : nullptr;
}

QPushButton* MediaBackupPage::ChannelButton(int channel) const
{
    return m_form->channelButtons[size_t(channel)];
}

QString MediaBackupPage::StatusText() const
{
    return m_form->Status();
}

void MediaBackupPage::SetStatus(const QString& text)
{
    m_form->SetStatus(text);
}

void MediaBackupPage::EnableControls(bool enabled)
{
    m_form->SetEnabled(enabled);
    EnablePageButtons(enabled);
}

void MediaBackupPage::Bind(RecorderSession* device)
{
    if (m_bound && m_bound != device) {
        disconnect(m_bound, nullptr, this, nullptr);
        ForgetSizeAnswers();
    }
    m_bound = device;
    if (!device)
        return;
    connect(device, &RecorderSession::OnConnected_CDBackup, this, &MediaBackupPage::OnConnected,
            Qt::UniqueConnection);
    connect(device, &RecorderSession::OnSetCDMedia, this, &MediaBackupPage::SetRecvCDMedia, Qt::UniqueConnection);
    connect(device, &RecorderSession::OnEraseResult, this, &MediaBackupPage::OnEraseResult, Qt::UniqueConnection);
    connect(device, &RecorderSession::OnBurningRate, this, &MediaBackupPage::OnBurningRate, Qt::UniqueConnection);
    BindSizeAnswer(device);
}

void MediaBackupPage::AttachDevice()
{
    m_form->UncheckChannels();
    EnableControls(true);
    m_startButton->setEnabled(true);
    m_startButton->setText(QStringLiteral("Start"));
    m_running = false;
    Bind(Device());
}

void MediaBackupPage::dragEnterEvent(QDragEnterEvent* event)
{
    AcceptSiteBookDrag(event);
}

void MediaBackupPage::dragMoveEvent(QDragMoveEvent* event)
{
    AcceptSiteBookDrag(event);
}

void MediaBackupPage::dropEvent(QDropEvent* event)
{
    SiteBook record;
    if (m_running || !ReadSiteBookDrop(event->mimeData(), &record)) {
        event->ignore();
        return;
    }
    DropRecord(record);
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

void MediaBackupPage::DropRecord(const SiteBook& record)
{
    if (m_running || record.kind != QLatin1String("device"))
        return;
    SessionHub* hub = SessionHub::Instance();
    RecorderSession* device = hub ? hub->GetDevice(record.index) : nullptr;
    if (!device)
        return;
    m_deviceIndex = record.index;
    // The session never announces a connection made for this page, so the page binds at once;
    // its requests go out once the recorder is logged in.
    AttachDevice();
    if (!device->IsLoggedIn())
        device->StartConnect(9);
}

void MediaBackupPage::OnConnected(QString /*name*/, int index)
{
    m_deviceIndex = index;
    EnableControls(true);
    m_startButton->setEnabled(true);
}

void MediaBackupPage::ChannelAll()
{
    m_form->ToggleAll();
}

bool MediaBackupPage::Ask(const QString& title, const QString& text, bool okCancel)
{
    if (m_question)
        return m_question(title, text, okCancel);
    QMessageBox box(QMessageBox::Information, title, text,
                    okCancel ? QMessageBox::Ok | QMessageBox::Cancel : QMessageBox::Yes | QMessageBox::No, this);
    box.setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);
    const int answer = box.exec();
    return answer == QMessageBox::Yes || answer == QMessageBox::Ok;
}

bool MediaBackupPage::StopIfRunning()
{
    if (!m_running)
        return false;
    SetStatus(QStringLiteral("Stop"));
    ResetBackup();
    return true;
}

void MediaBackupPage::BeginRun(const QString& problem)
{
    if (!problem.isEmpty()) {
        if (HubServices* hub = HubServices::Instance())
            hub->ShowMessageBox(QStringLiteral("Remote CD Backup"), problem, QStringLiteral("stop"));
        return;
    }
    EnableControls(false);
    m_table->setEnabled(false);
    m_mediaCombo->setEnabled(false);
    m_startButton->setText(QStringLiteral("Stop"));
    m_running = true;
    m_flow.Begin(MediaBackupFlow::MediaKindOfChoice(m_mediaCombo->currentIndex()));
}

void MediaBackupPage::ResetBackup()
{
    EnableControls(true);
    m_table->setEnabled(true);
    m_mediaCombo->setEnabled(true);
    if (m_running)
        m_flow.SendStop();
    m_startButton->setText(QStringLiteral("Start"));
    m_running = false;
}

void MediaBackupPage::SetRecvCDMedia(short state, short freeMB)
{
    if (m_running)
        m_flow.OnMedia(state, freeMB);
}

void MediaBackupPage::OnEraseResult(char result)
{
    if (m_running)
        m_flow.OnErase(result);
}

void MediaBackupPage::OnBurningRate(char state, char percent, char discs, char discIndex)
{
    if (m_running)
        m_flow.OnRate(state, percent, discs, discIndex);
}
