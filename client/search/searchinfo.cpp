#include "search/searchinfo.h"

#include <QDateEdit>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimeEdit>
#include <QVBoxLayout>

#include "search/playbackstart.h"
#include "session/recordersession.h"
#include "session/sessionhub.h"

SearchInfo::SearchInfo(QWidget* parent, int device, const QString& firstText, const QString& lastText,
                       int lastDate, int lastTime)
    : CPopupDialog(parent)
    , m_device(device)
{
    setWindowTitle(QStringLiteral("Search Information"));
    m_firstLabel = new QLabel(firstText, this);
    m_lastLabel = new QLabel(lastText, this);
    m_firstLabel->setMinimumHeight(25);
    m_lastLabel->setMinimumHeight(25);

    const QFont font(QStringLiteral("arial"));
    m_dateEdit = new QDateEdit(this);
    m_dateEdit->setMinimumHeight(25);
    m_dateEdit->setFont(font);
    const QDate last = PlaybackStart::DateOf(lastDate);
    m_dateEdit->setDate(last.isValid() ? last : QDate::currentDate());
    m_timeEdit = new QTimeEdit(this);
    m_timeEdit->setMinimumHeight(25);
    m_timeEdit->setFont(font);
    m_timeEdit->setDisplayFormat(QStringLiteral("HH:mm:ss"));
    m_timeEdit->setTime(PlaybackStart::PresetTime(lastTime));

    m_calendarButton = new QPushButton(QStringLiteral("Calendar"), this);
    m_okButton = new QPushButton(QStringLiteral("OK"), this);
    m_cancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    connect(m_okButton, &QPushButton::clicked, this, &SearchInfo::onOKButtonClicked);
    connect(m_cancelButton, &QPushButton::clicked, this, &SearchInfo::onCancelButtonClicked);
    connect(m_calendarButton, &QPushButton::clicked, this, &SearchInfo::onCalendarButtonClicked);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_firstLabel);
    layout->addWidget(m_lastLabel);
    auto* edits = new QHBoxLayout;
    edits->addWidget(m_dateEdit);
    edits->addWidget(m_timeEdit);
    layout->addLayout(edits);
    layout->addWidget(m_calendarButton);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_okButton);
    buttons->addWidget(m_cancelButton);
    layout->addLayout(buttons);
}

void SearchInfo::onOKButtonClicked()
{
    m_date = PlaybackStart::DateValue(m_dateEdit->date());
    m_time = PlaybackStart::TimeValue(m_timeEdit->time());
    SessionHub* hub = SessionHub::Instance();
    RecorderSession* device = hub ? hub->GetDevice(m_device) : nullptr;
    if (!device) {
        done(Chosen);
        return;
    }
    if (device->HasRecordDay(m_date)) {
        device->ChoosePlayStart(m_date, m_time);
        done(Chosen);
        return;
    }
    hub->ShowMessageBox(QStringLiteral("Remote Playback"), QStringLiteral("Date without recorded data."),
                        QString());
    hub->ShowMessageBox(QString(), QString(), QStringLiteral("stop"));
}

void SearchInfo::onCancelButtonClicked()
{
    done(Cancelled);
}

void SearchInfo::onCalendarButtonClicked()
{
    done(Calendar);
}
