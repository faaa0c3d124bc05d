#include "search/searchthumnail.h"

#include <QHideEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QMutexLocker>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QShowEvent>

#include "search/ccameomuseum.h"
#include "search/searchlog.h"
#include "session/recordersession.h"
#include "session/sessionhub.h"

namespace {

constexpr int kTileX = 10;
constexpr int kTileY = 30;
constexpr int kTileWidth = 960;
constexpr int kTileHeight = 559;
constexpr int kColumnX = 979;
constexpr int kColumnY = 30;
constexpr int kColumnWidth = 180;
constexpr int kColumnHeight = 602;
constexpr int kRowY = 600;
constexpr int kRowHeight = 30;
constexpr int kBandHeight = 18;
const QColor kNavy(0, 0, 128);

const QString kTitle = QStringLiteral("Thumbnail Search");

void ShowBox(const QString& title, const QString& text, const QString& option)
{
    if (SessionHub* hub = SessionHub::Instance())
        hub->ShowMessageBox(title, text, option);
}

int DateOfText(const QString& dateText)
{
    // "MM/DD/YYYY"
    return dateText.right(4).toInt() * 10000 + dateText.left(2).toInt() * 100 + dateText.mid(3, 2).toInt();
}

int TimeOfText(const QString& timeText)
{
    // "hh:mm:ss"
    return timeText.left(2).toInt() * 10000 + timeText.mid(3, 2).toInt() * 100 + timeText.mid(6, 2).toInt();
}

QRect SlotFrame(int slot)
{
    // A frame from (0, y) to (158, y + 118), drawn with a one-pixel pen.
    return QRect(0, slot * SearchThumnail::kSlotHeight, SearchThumnail::kThumbnailWidth - 2,
                 SearchThumnail::kSlotHeight - 2);
}

QImage BlackPicture(QSize size = QSize(kTileWidth, kTileHeight))
{
    QImage picture(size, QImage::Format_RGB888);
    picture.fill(Qt::black);
    return picture;
}

// A notice without picture still carries its time: what it shows stays black.
QImage Scaled(const QImage& picture, QSize size)
{
    return picture.isNull() ? BlackPicture(size)
                            : picture.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

} // namespace

SearchThumnail::SearchThumnail(QWidget* parent)
    : CPopupDialog(parent)
{
    setWindowTitle(kTitle);
    setFixedSize(1170, 643);
    m_picture = BlackPicture();
    for (int level = 0; level < ThumbnailLevels::kLevelCount; ++level)
        m_thumbnails[size_t(level)] = QVector<QImage>(ThumbnailLevels::SlotCount(level));
    BuildWidgets();
    m_closeTimer.setSingleShot(true);
    m_closeTimer.setInterval(kCloseDelayMs);
    connect(&m_closeTimer, &QTimer::timeout, this, [this] { m_closeWithGoto ? timerOnOk() : timerOnCancel(); });
    connect(this, &SearchThumnail::pictureArrived, this, &SearchThumnail::TakePicture, Qt::QueuedConnection);
    connect(this, &SearchThumnail::thumbnailArrived, this, &SearchThumnail::TakeThumbnail, Qt::QueuedConnection);
    connect(this, &SearchThumnail::messageBoxArrived, this, &SearchThumnail::TakeMessageBox, Qt::QueuedConnection);
}

SearchThumnail::~SearchThumnail()
{
    if (ThumbnailSearchPopup::Instance() == this)
        ThumbnailSearchPopup::Install(nullptr);
}

void SearchThumnail::BuildWidgets()
{
    m_tile = new CCameoMuseum;
    m_tile->setParent(this);
    m_tile->setGeometry(kTileX, kTileY, kTileWidth, kTileHeight);
    m_tile->m_searchKind = CCameoMuseum::SearchKind::Thumbnail;
    m_tile->ClearCameo();
    connect(m_tile, &CCameoMuseum::recordSignal, this, &SearchThumnail::OnRecord);
    connect(m_tile, &CCameoMuseum::museumSearch, this, &SearchThumnail::OnMuseumSearch);
    connect(m_tile, &CCameoMuseum::quickSearch, this, &SearchThumnail::OnQuickSearch);
    BuildColumns();
    BuildButtons();
}

void SearchThumnail::BuildColumns()
{
    for (int level = 0; level < ThumbnailLevels::kLevelCount; ++level) {
        Column& column = m_columns[size_t(level)];
        column.area = new QScrollArea(this);
        column.area->setGeometry(kColumnX, kColumnY, kColumnWidth, kColumnHeight);
        column.area->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        column.label = new QLabel;
        column.label->setFixedSize(kThumbnailWidth, ThumbnailLevels::SlotCount(level) * kSlotHeight);
        column.label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        column.label->installEventFilter(this);
        column.area->setWidget(column.label);
        column.canvas = QImage(column.label->size(), QImage::Format_RGB32);
        ClearColumn(level);
        column.area->setVisible(level == 0);
    }
}

QPushButton* SearchThumnail::AddButton(const QString& text, const QRect& geometry, void (SearchThumnail::*slot)())
{
    auto* button = new QPushButton(text, this);
    button->setObjectName(text);
    button->setGeometry(geometry);
    connect(button, &QPushButton::clicked, this, slot);
    return button;
}

void SearchThumnail::BuildButtons()
{
    const struct
    {
        const char* text;
        void (SearchThumnail::*slot)();
    } play[] = {{"<<", &SearchThumnail::OnPlayBFBtn},
                {"<", &SearchThumnail::OnPlayBBtn},
                {"||", &SearchThumnail::OnPlayPBtn},
                {">", &SearchThumnail::OnPlayFBtn},
                {">>", &SearchThumnail::OnPlayFFBtn}};
    for (size_t i = 0; i < m_playButtons.size(); ++i)
        m_playButtons[i] = AddButton(QLatin1String(play[i].text), QRect(10 + 80 * int(i), kRowY, 70, kRowHeight),
                                     play[i].slot);
    m_exitButton = AddButton(QStringLiteral("X"), QRect(440, kRowY, 50, kRowHeight),
                             &SearchThumnail::OnPlayExitBtn);
    m_prevButton = AddButton(QStringLiteral("-"), QRect(500, kRowY, 50, kRowHeight),
                             &SearchThumnail::OnThumbnailPrev);
    m_prevButton->setObjectName(QStringLiteral("levelPrev"));
    m_levelLabel = new QLabel(this);
    m_levelLabel->setObjectName(QStringLiteral("levelName"));
    m_levelLabel->setGeometry(560, kRowY, 50, kRowHeight);
    m_levelLabel->setAlignment(Qt::AlignCenter);
    m_nextButton = AddButton(QStringLiteral("-"), QRect(605, kRowY, 50, kRowHeight),
                             &SearchThumnail::OnThumbnailNext);
    m_nextButton->setObjectName(QStringLiteral("levelNext"));
    AddButton(QStringLiteral("Goto"), QRect(765, kRowY, 100, kRowHeight), &SearchThumnail::OnOkBtn);
    AddButton(QStringLiteral("Close"), QRect(870, kRowY, 100, kRowHeight), &SearchThumnail::OnCancelBtn);
    SetLevelTexts(0);
    EnablePlayRow(false);
}

RecorderSession* SearchThumnail::Device() const
{
    const SessionHub* hub = SessionHub::Instance();
    const int index = GetDeviceIndex();
    return hub && index >= 0 ? hub->GetDevice(index) : nullptr;
}

int SearchThumnail::GetDeviceIndex() const
{
    QMutexLocker lock(&m_stateLock);
    return m_deviceIndex;
}

int SearchThumnail::GetLevelOnScreen() const
{
    QMutexLocker lock(&m_stateLock);
    return m_levels.LevelOnScreen();
}

int SearchThumnail::GetLevelSearched() const
{
    QMutexLocker lock(&m_stateLock);
    return m_levels.LevelSearched();
}

int SearchThumnail::GetSlotsReceived() const
{
    QMutexLocker lock(&m_stateLock);
    return m_levels.SlotsReceived();
}

int SearchThumnail::GetNextRequest() const
{
    QMutexLocker lock(&m_stateLock);
    return m_levels.NextRequest();
}

QString SearchThumnail::GetCaption(int level, int slot) const
{
    QMutexLocker lock(&m_stateLock);
    return m_levels.Caption(level, slot);
}

int SearchThumnail::GetChosenSlot(int level) const
{
    QMutexLocker lock(&m_stateLock);
    return m_levels.ChosenSlot(level);
}

bool SearchThumnail::IsLevelDone(int level) const
{
    QMutexLocker lock(&m_stateLock);
    return m_levels.IsDone(level);
}

QImage SearchThumnail::ColumnImage(int level) const
{
    QMutexLocker lock(&m_paintLock);
    return m_columns[size_t(level)].canvas.copy();
}

// ---- the session's calls

void SearchThumnail::SetSearchInfo(int deviceIndex, int channel, int date, int time)
{
    show();
    {
        QMutexLocker lock(&m_stateLock);
        m_deviceIndex = deviceIndex;
        m_levels.Reset();
        m_levels.Begin();
    }
    ShowLevel(0);
    m_channel = channel;
    m_tile->m_deviceIndex = deviceIndex;
    const RecorderSession* device = Device();
    m_recorderName = device ? device->GetDvrName() : QString();
    m_cameraName = device ? device->GetCameraTitle(channel) : QString();
    const QString digits = QString::asprintf("%08d", date);
    m_dateText = digits.mid(4, 2) + QLatin1Char('/') + digits.mid(6, 2) + QLatin1Char('/') + digits.left(4);
    m_returnTime = time;
    for (int level = 0; level < ThumbnailLevels::kLevelCount; ++level)
        ClearColumn(level);
    RedrawTile();
}

int SearchThumnail::SetCameoImage(int deviceIndex, int /*channel*/, const QString& timeText, const QImage& picture)
{
    // The search thread: the step is decided under the lock, the pictures are scaled outside it
    // and the widgets follow on their own thread.
    ThumbnailLevels::Outcome outcome;
    int level = ThumbnailLevels::kNoLevel;
    int playCode = 0;
    bool showsBig = false;
    {
        QMutexLocker lock(&m_stateLock);
        if (m_deviceIndex < 0 || deviceIndex != m_deviceIndex)
            return -999;
        level = m_levels.LevelSearched();
        if (level == ThumbnailLevels::kNoLevel)
            return ThumbnailLevels::kCompleted;
        const bool playing = level == ThumbnailLevels::kPlaying;
        const int mode = m_playMode.load();
        if (!(playing && mode == int(PlayMode::Forward)))
            m_record = false;
        if (playing) {
            playCode = PlayCode(mode);
            if (mode == int(PlayMode::Stop))
                return playCode;
            showsBig = true;
        } else {
            showsBig = m_levels.SlotsReceived() == 0;
            outcome = m_levels.OnPicture(timeText);
        }
    }
    if (showsBig)
        emit pictureArrived(Scaled(picture, QSize(kTileWidth, kTileHeight)), timeText);
    if (level == ThumbnailLevels::kPlaying)
        return playCode;
    if (outcome.arrival != ThumbnailLevels::Arrival::Stored) {
        emit messageBoxArrived(QString(), QStringLiteral("Search completed."), QString());
        emit messageBoxArrived(QString(), QString(), QStringLiteral("auto"));
        return ThumbnailLevels::kCompleted;
    }
    const QImage thumbnail = Scaled(picture, QSize(kThumbnailWidth, kSlotHeight));
    {
        QMutexLocker paint(&m_paintLock);
        m_thumbnails[size_t(level)][outcome.slot] = thumbnail;
    }
    emit thumbnailArrived(level, outcome.slot, timeText);
    qCDebug(lcSearch) << QString::asprintf("%06d", outcome.next);
    return outcome.next;
}

int SearchThumnail::PlayCode(int playMode)
{
    switch (PlayMode(playMode)) {
    case PlayMode::Forward: return -15;
    case PlayMode::FastForward: return -115;
    case PlayMode::Backward: return -25;
    case PlayMode::FastBackward: return -125;
    default: return -999;
    }
}

void SearchThumnail::OnRecorderLost()
{
    {
        QMutexLocker lock(&m_stateLock);
        m_deviceIndex = -1;
    }
    m_tile->m_deviceIndex = -1;
    OnCancelBtn();
}

// ---- what the search thread handed over

void SearchThumnail::TakePicture(const QImage& picture, const QString& timeText)
{
    m_picture = picture;
    m_timeText = timeText;
    m_showsPicture = true;
    RedrawTile();
}

void SearchThumnail::TakeThumbnail(int level, int slot, const QString& caption)
{
    // A level reopened meanwhile has forgotten this slot.
    if (GetCaption(level, slot) != caption)
        return;
    PaintSlot(level, slot, caption);
    if (slot == 0)
        PaintSlot(level, slot, QString());
    PublishColumn(level);
}

void SearchThumnail::TakeMessageBox(const QString& title, const QString& text, const QString& option)
{
    ShowBox(title, text, option);
}

// ---- the columns

void SearchThumnail::PaintSlot(int level, int slot, const QString& caption)
{
    QMutexLocker lock(&m_paintLock);
    QPainter painter(&m_columns[size_t(level)].canvas);
    const int y = slot * kSlotHeight;
    if (caption.isEmpty()) {
        painter.setPen(Qt::red);
        painter.drawRect(SlotFrame(slot));
        return;
    }
    painter.drawImage(0, y, m_thumbnails[size_t(level)][slot]);
    painter.setOpacity(0.5);
    painter.fillRect(0, y, kThumbnailWidth, kBandHeight, kNavy);
    painter.setOpacity(1.0);
    QFont font(QStringLiteral("Lucida"), 9);
    font.setWeight(QFont::Bold);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(QRect(1, y, kThumbnailWidth - 2, kBandHeight - 1), Qt::AlignCenter, caption);
    painter.setPen(Qt::gray);
    painter.drawRect(SlotFrame(slot));
}

void SearchThumnail::PaintColumnFrames(int level)
{
    std::array<QString, 24> captions;
    const int slotCount = ThumbnailLevels::SlotCount(level);
    for (int slot = 0; slot < slotCount; ++slot)
        captions[size_t(slot)] = GetCaption(level, slot);
    QMutexLocker lock(&m_paintLock);
    QPainter painter(&m_columns[size_t(level)].canvas);
    for (int slot = 0; slot < slotCount; ++slot) {
        if (captions[size_t(slot)].isEmpty())
            painter.fillRect(0, slot * kSlotHeight, kThumbnailWidth, kSlotHeight, Qt::black);
        painter.setPen(Qt::gray);
        painter.drawRect(SlotFrame(slot));
    }
}

void SearchThumnail::ClearColumn(int level)
{
    {
        QMutexLocker lock(&m_paintLock);
        m_columns[size_t(level)].canvas.fill(Qt::black);
    }
    PaintColumnFrames(level);
    PublishColumn(level);
}

void SearchThumnail::PublishColumn(int level)
{
    QMutexLocker lock(&m_paintLock);
    Column& column = m_columns[size_t(level)];
    column.label->setPixmap(QPixmap::fromImage(column.canvas));
}

// ---- the levels

void SearchThumnail::SetLevel(int level, int slot)
{
    int first = 0;
    int onScreen = 0;
    {
        QMutexLocker lock(&m_stateLock);
        if (!m_levels.OpenLevel(level, slot))
            return;
        first = m_levels.NextRequest();
        onScreen = m_levels.LevelOnScreen();
    }
    PaintColumnFrames(level);
    PublishColumn(level);
    for (int deeper = level + 1; deeper < ThumbnailLevels::kLevelCount; ++deeper)
        ClearColumn(deeper);
    ShowLevel(onScreen);
    if (onScreen > level)
        m_columns[size_t(onScreen)].area->verticalScrollBar()->setValue(0);
    if (RecorderSession* device = Device()) {
        ShowBox(kTitle, QStringLiteral("Searching..."), QString());
        device->RequestPlayback(first, int(PlayMode::Forward));
    }
}

void SearchThumnail::ShowLevel(int level)
{
    for (int other = 0; other < ThumbnailLevels::kLevelCount; ++other)
        m_columns[size_t(other)].area->setVisible(other == level);
    SetLevelTexts(level);
}

void SearchThumnail::SetLevelTexts(int level)
{
    m_prevButton->setText(ThumbnailLevels::LevelName(level - 1));
    m_prevButton->setEnabled(level > 0);
    m_levelLabel->setText(ThumbnailLevels::LevelName(level));
    m_nextButton->setText(ThumbnailLevels::LevelName(level + 1));
    m_nextButton->setEnabled(level + 1 < ThumbnailLevels::kLevelCount);
}

void SearchThumnail::PickSlot(int slot)
{
    int level = 0;
    QString caption;
    {
        QMutexLocker lock(&m_stateLock);
        if (!m_levels.Pick(slot))
            return;
        level = m_levels.LevelOnScreen();
        caption = m_levels.Caption(level, slot);
    }
    PaintColumnFrames(level);
    PaintSlot(level, slot, QString());
    PublishColumn(level);
    {
        QMutexLocker lock(&m_paintLock);
        m_picture = Scaled(m_thumbnails[size_t(level)][slot], QSize(kTileWidth, kTileHeight));
    }
    m_timeText = caption;
    m_showsPicture = true;
    EnablePlayRow(true);
    RedrawTile();
}

void SearchThumnail::OnThumbnailNext()
{
    const int above = GetLevelOnScreen();
    if (above + 1 >= ThumbnailLevels::kLevelCount)
        return;
    SetLevel(above, GetChosenSlot(above));
}

void SearchThumnail::OnThumbnailPrev()
{
    int level = 0;
    {
        QMutexLocker lock(&m_stateLock);
        if (!m_levels.GoUp())
            return;
        level = m_levels.LevelOnScreen();
    }
    ShowLevel(level);
}

bool SearchThumnail::eventFilter(QObject* watched, QEvent* event)
{
    const bool press = event->type() == QEvent::MouseButtonPress;
    const bool doubleClick = event->type() == QEvent::MouseButtonDblClick;
    if (!press && !doubleClick)
        return CPopupDialog::eventFilter(watched, event);
    const int level = GetLevelOnScreen();
    if (watched != m_columns[size_t(level)].label)
        return CPopupDialog::eventFilter(watched, event);
    const auto* mouse = static_cast<QMouseEvent*>(event);
    if (mouse->button() == Qt::RightButton) {
        OnThumbnailPrev();
        return true;
    }
    if (mouse->button() != Qt::LeftButton)
        return true;
    // The label scrolls with its area, so its own y already counts the scroll offset.
    const int slot = mouse->pos().y() / kSlotHeight;
    if (doubleClick)
        SetLevel(level, slot);
    else
        PickSlot(slot);
    return true;
}

void SearchThumnail::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::RightButton) {
        OnThumbnailPrev();
        return;
    }
    CPopupDialog::mousePressEvent(event);
}

// ---- the play row

void SearchThumnail::EnablePlayRow(bool on)
{
    for (QPushButton* button : m_playButtons)
        button->setEnabled(on);
    // "X" only takes the row away again, so it is there while the row is.
    m_exitButton->setVisible(on);
}

void SearchThumnail::Play(PlayMode mode, int speedStep, bool request)
{
    m_playMode = int(mode);
    m_speedStep = speedStep;
    const int time = TimeOfText(m_timeText);
    {
        QMutexLocker lock(&m_stateLock);
        m_levels.StartPlaying();
    }
    RedrawTile();
    if (!request)
        return;
    if (RecorderSession* device = Device())
        device->RequestPlayback(time, int(PlayMode::Forward));
}

void SearchThumnail::OnPlayBFBtn()
{
    RecordOff();
    const int step = m_playMode.load() == int(PlayMode::FastBackward) ? m_speedStep.load() + 1 : 2;
    Play(PlayMode::FastBackward, step >= 9 ? 2 : step, true);
}

void SearchThumnail::OnPlayBBtn()
{
    RecordOff();
    Play(PlayMode::Backward, 1, true);
}

void SearchThumnail::OnPlayPBtn()
{
    RecordOff();
    Play(PlayMode::Stop, 1, false);
}

void SearchThumnail::OnPlayFBtn()
{
    Play(PlayMode::Forward, 1, true);
}

void SearchThumnail::OnPlayFFBtn()
{
    RecordOff();
    const int step = m_playMode.load() == int(PlayMode::FastForward) ? m_speedStep.load() + 1 : 2;
    Play(PlayMode::FastForward, step >= 9 ? 2 : step, true);
}

void SearchThumnail::OnPlayExitBtn()
{
    RecordOff();
    m_speedStep = 1;
    EnablePlayRow(false);
    RedrawTile();
}

void SearchThumnail::RecordOff()
{
    m_record = false;
    m_tile->m_recordMark = 0;
}

void SearchThumnail::RedrawTile()
{
    const int mode = m_playMode.load();
    const bool marks = mode == int(PlayMode::Forward) || mode == int(PlayMode::Stop);
    m_tile->m_recordMark = marks && m_record.load() ? 1 : 0;
    m_tile->SetCameoInfo(m_picture, 0, 0, 0, 0, 0, 0, m_dateText, m_timeText, m_recorderName, m_cameraName, mode,
                         m_speedStep.load(), m_showsPicture);
}

void SearchThumnail::OnRecord()
{
    m_record = !m_record.load();
    RedrawTile();
    if (!m_record.load())
        return;
    if (RecorderSession* device = Device())
        device->StartSearchRecord(m_channel.load(), DateOfText(m_dateText), TimeOfText(m_timeText));
}

// ---- closing and switching

void SearchThumnail::StopPlaying()
{
    if (m_playMode.load() == int(PlayMode::Stop))
        return;
    RecordOff();
    m_playMode = int(PlayMode::Stop);
    m_speedStep = 1;
    RedrawTile();
}

void SearchThumnail::CloseLater(bool gotoPicture)
{
    m_closeWithGoto = gotoPicture;
    m_closeTimer.start();
}

void SearchThumnail::OnCancelBtn()
{
    StopPlaying();
    if (!Device()) {
        m_closeTimer.stop();
        hide();
        return;
    }
    CloseLater(false);
}

void SearchThumnail::OnOkBtn()
{
    StopPlaying();
    CloseLater(true);
}

void SearchThumnail::timerOnOk()
{
    if (!m_timeText.isEmpty())
        m_returnTime = TimeOfText(m_timeText);
    hide();
}

void SearchThumnail::timerOnCancel()
{
    hide();
}

void SearchThumnail::SwitchSearch(int returnCode)
{
    RecorderSession* device = Device();
    if (!device)
        return;
    device->SetSearchRequest(m_channel.load(), DateOfText(m_dateText), TimeOfText(m_timeText));
    m_returnTime = returnCode;
    OnCancelBtn();
}

void SearchThumnail::OnMuseumSearch()
{
    SwitchSearch(-3);
}

void SearchThumnail::OnQuickSearch()
{
    SwitchSearch(-4);
}

void SearchThumnail::showEvent(QShowEvent* event)
{
    // The window system showing it again (the program restored) is no new search.
    if (event->spontaneous()) {
        CPopupDialog::showEvent(event);
        return;
    }
    m_closeTimer.stop();
    RecordOff();
    {
        QMutexLocker lock(&m_stateLock);
        m_levels.Reset();
    }
    for (int level = 0; level < ThumbnailLevels::kLevelCount; ++level) {
        m_columns[size_t(level)].area->verticalScrollBar()->setValue(0);
        ClearColumn(level);
    }
    ShowLevel(0);
    EnablePlayRow(false);
    m_picture = BlackPicture();
    m_timeText.clear();
    m_showsPicture = false;
    RedrawTile();
    m_tile->EnableUpdate(true);
    ShowBox(kTitle, QStringLiteral("Searching..."), QString());
    CPopupDialog::showEvent(event);
}

void SearchThumnail::hideEvent(QHideEvent* event)
{
    // Minimising the program is no close: the recorder keeps its search.
    if (event->spontaneous()) {
        CPopupDialog::hideEvent(event);
        return;
    }
    m_closeTimer.stop();
    RecordOff();
    {
        // A picture still on its way finds the dialog idle.
        QMutexLocker lock(&m_stateLock);
        m_levels.Reset();
    }
    m_lastHandBack = -1;
    if (RecorderSession* device = Device()) {
        device->LeaveThumbnailSearch();
        device->RequestPlayback(m_returnTime, int(PlayMode::Forward));
        m_lastHandBack = m_returnTime;
    }
    m_tile->EnableUpdate(false);
    m_returnTime = -1;
    CPopupDialog::hideEvent(event);
}
