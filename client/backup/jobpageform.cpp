#include "backup/jobpageform.h"

#include <algorithm>

#include "backup/backupclock.h"
#include "backup/jobrules.h"
#include "backup/listmodel.h"
#include "net/hubservices.h"

#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTableView>
#include <QTimeEdit>
#include <QVector>

namespace {

QFont LucidaFont(int points, bool bold)
{
    QFont font(QStringLiteral("Lucida"), points);
    font.setBold(bold);
    return font;
}

QLabel* Heading(QWidget* page, const QString& text, int x, int y)
{
    auto* label = new QLabel(text, page);
    label->setFont(LucidaFont(11, true));
    label->setGeometry(x, y, 200, 22);
    return label;
}

QPushButton* CheckButton(QWidget* page, const QString& text, const QRect& rect)
{
    auto* button = new QPushButton(text, page);
    button->setCheckable(true);
    button->setFont(LucidaFont(9, false));
    button->setGeometry(rect);
    return button;
}

QTimeEdit* TimeEdit(QWidget* page, const QString& caption, int x, int y, const QTime& initial)
{
    auto* label = new QLabel(caption, page);
    label->setFont(LucidaFont(9, false));
    label->setGeometry(x, y, 150, 20);
    auto* edit = new QTimeEdit(initial, page);
    edit->setDisplayFormat(QStringLiteral("HH:mm:ss"));
    edit->setFont(LucidaFont(9, false));
    edit->setGeometry(x, y + 20, 150, 25);
    return edit;
}

} // namespace

JobPageForm::JobPageForm(QWidget* page, ListModel* model, const QVector<int>& columnWidths)
{
    auto* frame = new QFrame(page);
    frame->setFrameShape(QFrame::Box);
    frame->setGeometry(0, 0, 890, 740);

    Heading(page, QStringLiteral("1. Select Channel"), 10, 10);
    for (int ch = 0; ch < 16; ++ch)
        channelButtons[size_t(ch)] = CheckButton(page, QString::number(ch + 1),
                                                 QRect(10 + 30 * (ch % 6), 40 + 30 * (ch / 6), 30, 30));
    channelAll = new QPushButton(QStringLiteral("All"), page);
    channelAll->setFont(LucidaFont(9, false));
    channelAll->setGeometry(130, 100, 60, 30);

    Heading(page, QStringLiteral("2. Select Day"), 250, 10);
    static const char* const kDays[7] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    for (int d = 0; d < 7; ++d)
        dayButtons[size_t(d)] = CheckButton(page, QLatin1String(kDays[d]),
                                            QRect(250 + 40 * (d % 3), 40 + 30 * (d / 3), 40, 30));
    weekAll = new QPushButton(QStringLiteral("All"), page);
    weekAll->setFont(LucidaFont(9, false));
    weekAll->setGeometry(290, 100, 80, 30);

    Heading(page, QStringLiteral("3. Select Time"), 460, 10);
    beginEdit = TimeEdit(page, QStringLiteral("Begin Time"), 460, 35, QTime(0, 0, 0));
    endEdit = TimeEdit(page, QStringLiteral("End Time"), 460, 85, QTime(23, 59, 59));

    addButton = new QPushButton(QStringLiteral("Add"), page);
    addButton->setFont(LucidaFont(9, false));
    addButton->setGeometry(660, 105, 150, 25);

    auto* line = new QLabel(page);
    line->setFrameShape(QFrame::HLine);
    line->setStyleSheet(QStringLiteral("QLabel {color : gray;}"));
    line->setGeometry(5, 140, 880, 3);

    table = new QTableView(page);
    table->setModel(model);
    table->setGeometry(10, 160, 870, 524);
    table->verticalHeader()->hide();
    table->verticalHeader()->setDefaultSectionSize(20);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setFrameShape(QFrame::Box);
    table->horizontalHeader()->setFont(LucidaFont(9, false));
    table->setContextMenuPolicy(Qt::CustomContextMenu);
    // The state column is last and shows its longest state whole: what it lacks for that comes
    // off the widest column (the fonts of the machine decide), and it takes the rest of the row.
    QVector<int> widths = columnWidths;
    if (widths.size() > 1) {
        const int need = table->fontMetrics().horizontalAdvance(QStringLiteral("Downloading")) + 20;
        const int last = widths.size() - 1;
        const int widest = int(std::max_element(widths.begin(), widths.end() - 1) - widths.begin());
        const int lack = std::min(need - widths[last], widths[widest] / 3);
        if (lack > 0) {
            widths[last] += lack;
            widths[widest] -= lack;
        }
    }
    for (int c = 0; c < widths.size(); ++c)
        table->setColumnWidth(c, widths[c]);
    table->horizontalHeader()->setStretchLastSection(true);

    startButton = new QPushButton(QStringLiteral("Stop"), page);
    startButton->setFont(LucidaFont(9, false));
    startButton->setGeometry(730, 695, 150, 30);
}

void JobPageForm::ToggleAll(QPushButton* const* buttons, int count)
{
    bool anyChecked = false;
    for (int i = 0; i < count; ++i)
        anyChecked = anyChecked || (buttons[i]->isEnabled() && buttons[i]->isChecked());
    for (int i = 0; i < count; ++i) {
        if (buttons[i]->isEnabled())
            buttons[i]->setChecked(!anyChecked);
    }
}

int JobPageForm::DayMask() const
{
    int mask = 0;
    for (int d = 0; d < 7; ++d)
        mask |= dayButtons[size_t(d)]->isChecked() ? 1 << d : 0;
    return mask;
}

quint32 JobPageForm::ChannelMask() const
{
    quint32 mask = 0;
    for (int ch = 0; ch < 16; ++ch)
        mask |= channelButtons[size_t(ch)]->isChecked() && channelButtons[size_t(ch)]->isEnabled() ? 1u << ch : 0u;
    return mask;
}

int JobPageForm::BeginTime() const
{
    return BackupClock::ToHms(beginEdit->time());
}

int JobPageForm::EndTime() const
{
    return BackupClock::ToHms(endEdit->time());
}

void JobPageForm::ResetButtons(int channelCount)
{
    for (int ch = 0; ch < 16; ++ch) {
        channelButtons[size_t(ch)]->setChecked(false);
        channelButtons[size_t(ch)]->setEnabled(ch < channelCount);
    }
    for (QPushButton* day : dayButtons)
        day->setChecked(false);
}

bool JobPageForm::CheckNewJob(const QString& title) const
{
    const QString problem = JobRules::AddProblem(DayMask(), ChannelMask(), BeginTime(), EndTime());
    if (problem.isEmpty())
        return true;
    if (HubServices* hub = HubServices::Instance())
        hub->ShowMessageBox(title, problem, QStringLiteral("stop"));
    return false;
}

bool JobPageForm::AskOverlap(QWidget* page, const QString& title, const std::function<bool()>& answer)
{
    if (answer)
        return answer();
    return QMessageBox(QMessageBox::Information, title, QStringLiteral("Delete overlapped item?"),
                       QMessageBox::Yes | QMessageBox::No, page)
               .exec()
           == QMessageBox::Yes;
}
