// Typed inputs that the backup pages refuse, each with a message that says what to mend: new
// event and schedule jobs, a remote media backup Start, and the pages that show the messages.
#include <QPushButton>
#include <QTimeEdit>

#include <gtest/gtest.h>

#include "backup/ccdbackup.h"
#include "backup/ccdlistbackup.h"
#include "backup/ceventbackup.h"
#include "backup/jobrules.h"
#include "backup/listmodel.h"
#include "backup/mediabackupflow.h"
#include "backup/support/backup_fixture.h"

namespace {

TEST(BackupInput, NewJobsSayWhatToMend)
{
    const struct
    {
        int days;
        quint32 channels;
        int begin, end;
        const char* problem;
    } cases[] = {
        {0x7F, 1, 10000, 20000, ""},
        {1, 0x8000, 0, 235959, ""},
        {0x7F, 1, 20000, 10000, "The begin time must be before the end time."},
        {0x7F, 1, 10000, 10000, "The begin time must be before the end time."},
        {0, 1, 10000, 20000, "Choose at least one day of the week."},
        {0x7F, 0, 10000, 20000, "Choose at least one channel."},
        {0, 0, 20000, 10000, "Choose at least one channel."},
    };
    for (const auto& c : cases)
        EXPECT_EQ(JobRules::AddProblem(c.days, c.channels, c.begin, c.end), QString::fromLatin1(c.problem))
            << c.days << " " << c.channels << " " << c.begin << " " << c.end;
}

TEST(BackupInput, MediaBackupStartSaysWhatToMend)
{
    const QString empty = QStringLiteral("get rows first");
    const QString limit = QStringLiteral("over the limit");
    const struct
    {
        int rows;
        bool ticked;
        qint64 totalMB, limitMB;
        QString problem;
    } cases[] = {
        {0, false, 0, 4096, empty},
        {3, false, 0, 4096, QStringLiteral("Tick at least one row to back up.")},
        {3, true, 0, 4096, QStringLiteral("The ticked rows hold no recording to back up.")},
        {3, true, 4096, 4096, QString()},
        {3, true, 4097, 4096, limit},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MediaBackupFlow::StartProblem(c.rows, c.ticked, c.totalMB, c.limitMB, empty, limit), c.problem)
            << c.rows << " " << c.ticked << " " << c.totalMB;
}

class BackupInputPageTest : public BackupFixture
{};

// The event page: a job whose begin lies after its end is refused with the reason, and the
// list stays as it was.
TEST_F(BackupInputPageTest, EventJobWithBeginAfterEndIsRefusedWithAMessage)
{
    CEventBackup page;
    page.Form().channelButtons[0]->setChecked(true);
    page.WeekAll();
    page.Form().beginEdit->setTime(QTime(12, 0, 0));
    page.Form().endEdit->setTime(QTime(8, 0, 0));
    page.OnClickedAdd();
    EXPECT_EQ(page.Model()->rowCount(), 0);
    EXPECT_EQ(hub->boxCalls,
              QStringList({QStringLiteral("Event Backup|The begin time must be before the end time.|stop")}));
    page.Form().endEdit->setTime(QTime(13, 0, 0));
    page.OnClickedAdd();
    EXPECT_EQ(page.Model()->rowCount(), 1);
    EXPECT_EQ(hub->boxCalls.size(), 1);
}

// The recorder-side pages: Start with nothing listed or nothing ticked says what to do.
TEST_F(BackupInputPageTest, MediaBackupStartWithNothingChosenSaysWhatToDo)
{
    CCDBackup range;
    range.SetRange(20261207, 0, 20261207, 130);
    range.AttachDevice();
    range.OnBackupStart();
    EXPECT_FALSE(range.IsRunning());
    range.OnAddBackupCapa(0, 2, 10);
    ListModel* model = range.Model();
    model->setData(model->index(0, 0), int(Qt::Unchecked), Qt::CheckStateRole);
    range.OnBackupStart();
    EXPECT_FALSE(range.IsRunning());

    CCDListBackup list;
    list.OnBackupStart();
    EXPECT_FALSE(list.IsRunning());
    EXPECT_EQ(
        hub->boxCalls,
        QStringList({QStringLiteral("Remote CD Backup|Press Get List first, then tick what to back up.|stop"),
                     QStringLiteral("Remote CD Backup|Tick at least one row to back up.|stop"),
                     QStringLiteral("Remote CD Backup|Add a time range with Add List first, then tick what "
                                    "to back up.|stop")}));
}

} // namespace
