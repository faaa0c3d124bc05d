#include "backup/mediarangeform.h"

#include "backup/backupclock.h"

#include <QDateEdit>
#include <QLabel>
#include <QPushButton>
#include <QTimeEdit>

namespace {

QFont Lucida(int points, bool bold)
{
    QFont font(QStringLiteral("Lucida"), points);
    font.setBold(bold);
    return font;
}

void Caption(QWidget* page, const QString& text, int x, int y, bool bold)
{
    auto* label = new QLabel(text, page);
    label->setFont(Lucida(bold ? 11 : 9, bold));
    label->setGeometry(x, y, 200, 20);
}

QTime TimeOf(int hms)
{
    return QTime(hms / 10000, hms / 100 % 100, hms % 100);
}

} // namespace

MediaRangeForm::MediaRangeForm(QWidget* page)
{
    Caption(page, QStringLiteral("1. Select Channel"), 10, 10, true);
    for (int ch = 0; ch < 16; ++ch) {
        auto* button = new QPushButton(QString::asprintf("%d", ch + 1), page);
        button->setCheckable(true);
        button->setFont(Lucida(9, false));
        button->setGeometry(10 + 30 * (ch % 6), 40 + 30 * (ch / 6), 30, 30);
        channelButtons[size_t(ch)] = button;
    }
    allButton = new QPushButton(QStringLiteral("All"), page);
    allButton->setGeometry(130, 100, 60, 30);
    const QDateTime now = QDateTime::currentDateTime();
    auto dateEdit = [page, &now](int x) {
        auto* edit = new QDateEdit(now.date(), page);
        edit->setGeometry(x, 55, 150, 25);
        return edit;
    };
    auto timeEdit = [page, &now](int x) {
        auto* edit = new QTimeEdit(now.time(), page);
        edit->setDisplayFormat(QStringLiteral("HH:mm:ss"));
        edit->setGeometry(x, 105, 150, 25);
        return edit;
    };
    Caption(page, QStringLiteral("2. Select Start"), 250, 10, true);
    Caption(page, QStringLiteral("Start Date"), 250, 35, false);
    startDate = dateEdit(250);
    Caption(page, QStringLiteral("Start Time"), 250, 85, false);
    startTime = timeEdit(250);
    Caption(page, QStringLiteral("3. Select Finish"), 460, 10, true);
    Caption(page, QStringLiteral("Finish Date"), 460, 35, false);
    finishDate = dateEdit(460);
    Caption(page, QStringLiteral("Finish Time"), 460, 85, false);
    finishTime = timeEdit(460);
    status = new QLabel(QStringLiteral("Status : -"), page);
    status->setGeometry(10, 695, 550, 30);
}

quint32 MediaRangeForm::ChannelMask() const
{
    quint32 mask = 0;
    for (int ch = 0; ch < 16; ++ch)
        mask |= channelButtons[size_t(ch)]->isChecked() ? 1u << ch : 0u;
    return mask;
}

MediaRange MediaRangeForm::Range() const
{
    return MediaRange{BackupClock::ToYmd(startDate->date()), BackupClock::ToHms(startTime->time()),
                      BackupClock::ToYmd(finishDate->date()), BackupClock::ToHms(finishTime->time())};
}

void MediaRangeForm::SetRange(const MediaRange& range)
{
    startDate->setDate(BackupClock::FromYmd(range.startDate));
    startTime->setTime(TimeOf(range.startTime));
    finishDate->setDate(BackupClock::FromYmd(range.finishDate));
    finishTime->setTime(TimeOf(range.finishTime));
}

void MediaRangeForm::SetEnabled(bool enabled)
{
    for (QPushButton* button : channelButtons)
        button->setEnabled(enabled);
    allButton->setEnabled(enabled);
    startDate->setEnabled(enabled);
    startTime->setEnabled(enabled);
    finishDate->setEnabled(enabled);
    finishTime->setEnabled(enabled);
}

void MediaRangeForm::UncheckChannels()
{
    for (QPushButton* button : channelButtons)
        button->setChecked(false);
}

void MediaRangeForm::ToggleAll()
{
    const bool any = ChannelMask() != 0;
    for (QPushButton* button : channelButtons)
        button->setChecked(!any);
}

void MediaRangeForm::SetStatus(const QString& text)
{
    status->setText(QStringLiteral("Status : ") + text);
}

QString MediaRangeForm::Status() const
{
    return status->text();
}
