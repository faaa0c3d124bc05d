// The "MP4 Convert" dialog under the offscreen platform: the list rules, the output name, the
// container choice, the drop from the site book, and conversions run by its worker thread with
// the message box that ends them.
#include "backup/caviconvert.h"
#include "backup/support/recording_fixture.h"
#include "common/support/decoder_streams.h"
#include "common/support/mediaprobe.h"
#include "session/sitebook.h"
#include "sitebook/support/sitebook_modal.h"
#include "widgets/messagedlg.h"

#include <QCheckBox>
#include <QDropEvent>
#include <QFile>
#include <QLabel>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace {

using recording_fixture::Recording;

constexpr int kRecordRole = Qt::UserRole;

struct Box
{
    QString title;
    QString text;
};

// Closes the next message box and keeps what it said.
std::unique_ptr<ModalDriver> CloseNextBox(Box* seen, int limitMs = 120000)
{
    return OnNextDialog<MessageDlg>(
        [seen](MessageDlg* box) {
            seen->title = box->windowTitle();
            if (QLabel* label = box->findChild<QLabel*>())
                seen->text = label->text();
            box->done(0);
        },
        limitMs);
}

bool WaitFor(const std::function<bool()>& done, int limitMs = 120000)
{
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < limitMs)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

template <class T>
T* Child(QWidget* parent, const QString& text)
{
    const QList<T*> all = parent->findChildren<T*>();
    for (T* w : all) {
        if (w->text() == text)
            return w;
    }
    return nullptr;
}

class ConvertDialogTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_dialog = std::make_unique<CAVIConvert>();
    }
    QLabel* PathLabel() const
    {
        const QList<QLabel*> labels = m_dialog->findChildren<QLabel*>();
        for (QLabel* l : labels) {
            if (l->geometry() == QRect(10, 20, 580, 40))
                return l;
        }
        return nullptr;
    }
    QString Cell(int row, int column) const
    {
        return m_dialog->Model()->data(m_dialog->Model()->index(row, column)).toString();
    }
    int CheckState(int row) const
    {
        return m_dialog->Model()->data(m_dialog->Model()->index(row, 0), Qt::CheckStateRole).toInt();
    }
    bool Add(const QString& folder, const QString& name)
    {
        const bool added = m_dialog->AddList(folder, name);
        if (added)
            m_dialog->SetArchivePath(folder, name);
        return added;
    }
    Recording MakeRecording(int startTime, int pictures)
    {
        const decoder_streams::Stream& s = decoder_streams::Make(320, 240, 60, 10);
        EXPECT_TRUE(s.error.isEmpty());
        const Recording r = recording_fixture::Write(m_dir.path(), s.frames.mid(0, pictures), 20261209, startTime,
                                                     0, 10, 10);
        EXPECT_TRUE(r.error.isEmpty()) << qPrintable(r.error);
        return r;
    }
    // Presses Start and closes the box that ends the run.
    Box RunToTheEnd()
    {
        Box seen;
        auto driver = CloseNextBox(&seen);
        Child<QPushButton>(m_dialog.get(), "Start")->click();
        EXPECT_TRUE(WaitFor([&] { return driver->Done(); }));
        EXPECT_TRUE(WaitFor([&] { return !m_dialog->IsConverting(); }));
        return seen;
    }

    QTemporaryDir m_dir;
    std::unique_ptr<CAVIConvert> m_dialog;
};

TEST_F(ConvertDialogTest, BuiltAsTheDialogIsLaidOut)
{
    EXPECT_EQ(m_dialog->windowTitle(), "MP4 Convert");
    EXPECT_EQ(m_dialog->size(), QSize(600, 360));
    EXPECT_TRUE(m_dialog->acceptDrops());
    const QAbstractItemModel* model = m_dialog->Model();
    ASSERT_EQ(model->columnCount(), 4);
    const char* headers[] = {"No", "Backup File", "Convert File", ""};
    for (int c = 0; c < 4; ++c) {
        EXPECT_EQ(model->headerData(c, Qt::Horizontal).toString(), QString::fromLatin1(headers[c]));
        EXPECT_EQ(model->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString(),
                  QString::fromLatin1(headers[c]));
    }
    QRadioButton* mp4 = Child<QRadioButton>(m_dialog.get(), "MP4");
    QRadioButton* avi = Child<QRadioButton>(m_dialog.get(), "AVI");
    QCheckBox* osd = Child<QCheckBox>(m_dialog.get(), "OSD");
    ASSERT_TRUE(mp4 && avi && osd);
    EXPECT_TRUE(mp4->isChecked());
    EXPECT_FALSE(avi->isChecked());
    EXPECT_FALSE(osd->isChecked());
    EXPECT_EQ(mp4->geometry(), QRect(20, 100, 70, 30));
    EXPECT_EQ(Child<QPushButton>(m_dialog.get(), "Start")->geometry(), QRect(340, 100, 120, 30));
    QTableView* table = m_dialog->findChild<QTableView*>();
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->geometry(), QRect(10, 140, 580, 200));
    EXPECT_EQ(table->columnWidth(1), 190);
    ASSERT_NE(PathLabel(), nullptr);
    EXPECT_TRUE(PathLabel()->text().isEmpty());
}

TEST_F(ConvertDialogTest, FirstFileChoosesTheOutputFolder)
{
    ASSERT_TRUE(Add("/rec/a/", "h120000.001"));
    EXPECT_EQ(PathLabel()->text(), "/rec/a/h120000.001.mp4");
    ASSERT_TRUE(Add("/rec/b/", "h130000.002"));
    EXPECT_EQ(PathLabel()->text(), "/rec/a/h130000.002.mp4");
    ASSERT_EQ(m_dialog->Model()->rowCount(), 2);
    EXPECT_EQ(Cell(1, 0), "2");
    EXPECT_EQ(Cell(1, 1), "h130000.002");
    EXPECT_EQ(Cell(1, 2), "h130000.002.mp4");
    EXPECT_EQ(Cell(1, 3), "Show in Folder");
    EXPECT_EQ(CheckState(1), 2);
    const auto* item =
        m_dialog->Model()->data(m_dialog->Model()->index(1, 0), kRecordRole).value<ListConvertItem*>();
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->folder, "/rec/b/");

    // Closing empties the list and forgets the folder: the next file sets it again.
    m_dialog->show();
    m_dialog->close();
    EXPECT_EQ(m_dialog->Model()->rowCount(), 0);
    ASSERT_TRUE(Add("/rec/c/", "h140000.003"));
    EXPECT_EQ(PathLabel()->text(), "/rec/c/h140000.003.mp4");
}

TEST_F(ConvertDialogTest, RefusesASecondFileOfTheSameNameAndTheThirtyFirst)
{
    ASSERT_TRUE(Add("/rec/a/", "h120000.001"));
    Box seen;
    {
        auto driver = CloseNextBox(&seen, 10000);
        EXPECT_FALSE(Add("/rec/other/", "h120000.001"));
        EXPECT_TRUE(driver->Done());
    }
    EXPECT_EQ(seen.title, "MP4 Convert");
    EXPECT_EQ(seen.text, "The same file already exists in the list.");
    EXPECT_EQ(m_dialog->Model()->rowCount(), 1);

    for (int i = 1; i < 30; ++i)
        ASSERT_TRUE(Add("/rec/a/", QString::asprintf("h12%04d.001", i)));
    {
        auto driver = CloseNextBox(&seen, 10000);
        EXPECT_FALSE(Add("/rec/a/", "h235959.001"));
        EXPECT_TRUE(driver->Done());
    }
    EXPECT_EQ(seen.text, "MP4 Convert list limit: 30 files");
    EXPECT_EQ(m_dialog->Model()->rowCount(), 30);
}

TEST_F(ConvertDialogTest, AviChoiceRenamesTheOutputs)
{
    ASSERT_TRUE(Add("/rec/a/", "h120000.001"));
    ASSERT_TRUE(Add("/rec/a/", "h120000.002"));
    QSignalSpy changed(m_dialog->Model(), &QAbstractItemModel::dataChanged);
    Child<QRadioButton>(m_dialog.get(), "AVI")->click();
    EXPECT_EQ(PathLabel()->text(), "/rec/a/h120000.002.avi");
    EXPECT_EQ(Cell(0, 2), "h120000.001.avi");
    EXPECT_EQ(Cell(1, 2), "h120000.002.avi");
    EXPECT_EQ(changed.count(), 2);
    Child<QRadioButton>(m_dialog.get(), "MP4")->click();
    EXPECT_EQ(Cell(0, 2), "h120000.001.mp4");
}

TEST_F(ConvertDialogTest, ClickOnTheFirstColumnTicksAndUnticks)
{
    ASSERT_TRUE(Add("/rec/a/", "h120000.001"));
    const QModelIndex first = m_dialog->Model()->index(0, 0);
    m_dialog->OnClickedList(first);
    EXPECT_EQ(CheckState(0), 0);
    m_dialog->OnClickedList(first);
    EXPECT_EQ(CheckState(0), 2);
    m_dialog->OnClickedList(m_dialog->Model()->index(0, 1));
    EXPECT_EQ(CheckState(0), 2);
}

TEST_F(ConvertDialogTest, StartWithNothingTickedFinishesAtOnce)
{
    const Box seen = RunToTheEnd();
    EXPECT_EQ(seen.title, "MP4 Convert");
    EXPECT_EQ(seen.text, "MP4 Convert Finish");
    // Controls stay as while converting until a file is added.
    EXPECT_FALSE(Child<QRadioButton>(m_dialog.get(), "MP4")->isEnabled());
    EXPECT_TRUE(Child<QPushButton>(m_dialog.get(), "Start")->isHidden());
    ASSERT_TRUE(Add("/rec/a/", "h120000.001"));
    EXPECT_TRUE(Child<QRadioButton>(m_dialog.get(), "MP4")->isEnabled());
    EXPECT_FALSE(Child<QPushButton>(m_dialog.get(), "Start")->isHidden());
}

TEST_F(ConvertDialogTest, ConvertsTheTickedRecordingsWithTheTimeBurnedIn)
{
    const Recording first = MakeRecording(120000, 30);
    const Recording second = MakeRecording(130000, 20);
    ASSERT_TRUE(Add(first.folder, first.fileName));
    ASSERT_TRUE(Add(second.folder, second.fileName));
    m_dialog->OnClickedList(m_dialog->Model()->index(1, 0)); // untick the second
    Child<QCheckBox>(m_dialog.get(), "OSD")->setChecked(true);
    QSignalSpy progress(m_dialog.get(), &CAVIConvert::ProgressValue);
    const Box seen = RunToTheEnd();
    EXPECT_EQ(seen.text, "MP4 Convert Finish");
    EXPECT_FALSE(progress.isEmpty());
    const mediaprobe::Probe probe = mediaprobe::Run(first.folder + first.fileName + ".mp4");
    ASSERT_TRUE(probe.error.isEmpty()) << qPrintable(probe.error);
    EXPECT_EQ(probe.codecName, "h264");
    EXPECT_EQ(probe.packets.size(), 30);
    EXPECT_FALSE(QFile::exists(second.folder + second.fileName + ".mp4"));
    EXPECT_EQ(PathLabel()->text(), first.folder + first.fileName + ".mp4");
}

TEST_F(ConvertDialogTest, FinishedFileLeavesTheBarFull)
{
    // Recordings shorter than a minute: two seconds at the start of a minute, one second at its
    // end (no span to measure), and one that runs over into the next minute.
    const struct
    {
        int startTime;
        int pictures;
    } cases[] = {{120000, 20}, {130059, 10}, {140057, 60}};
    for (const auto& c : cases) {
        const Recording r = MakeRecording(c.startTime, c.pictures);
        ASSERT_TRUE(Add(r.folder, r.fileName));
        QProgressBar* bar = m_dialog->findChild<QProgressBar*>();
        ASSERT_NE(bar, nullptr);
        const Box seen = RunToTheEnd();
        EXPECT_EQ(seen.text, "MP4 Convert Finish") << c.startTime;
        EXPECT_EQ(bar->value(), 100) << c.startTime;
        m_dialog->close(); // empties the list for the next case
    }
}

TEST_F(ConvertDialogTest, FileThatGaveNoOutputIsReportedNotFinished)
{
    const Recording good = MakeRecording(120000, 20);
    ASSERT_TRUE(Add(good.folder, good.fileName));
    ASSERT_TRUE(Add(good.folder, "h010203.001")); // no such recording
    Child<QRadioButton>(m_dialog.get(), "AVI")->click();
    const Box seen = RunToTheEnd();
    EXPECT_EQ(seen.text, "MP4 Convert Fail: h010203.001");
    EXPECT_EQ(mediaprobe::Run(good.folder + good.fileName + ".avi").packets.size(), 20);
}

TEST_F(ConvertDialogTest, ClosingWhileConvertingStopsAfterTheCurrentFile)
{
    const Recording r = MakeRecording(120000, 60);
    ASSERT_TRUE(Add(r.folder, r.fileName));
    ASSERT_TRUE(Add(r.folder, "h120000.002"));
    m_dialog->show();
    Box seen;
    auto driver = CloseNextBox(&seen);
    Child<QPushButton>(m_dialog.get(), "Start")->click();
    m_dialog->close();
    EXPECT_EQ(m_dialog->Model()->rowCount(), 0);
    EXPECT_TRUE(Child<QRadioButton>(m_dialog.get(), "MP4")->isEnabled());
    EXPECT_FALSE(Child<QPushButton>(m_dialog.get(), "Start")->isHidden());
    ASSERT_TRUE(WaitFor([&] { return driver->Done(); }));
    EXPECT_EQ(seen.text, "MP4 Convert Stop");
}

QMimeData* DragOf(const SiteBook& record)
{
    QByteArray bytes;
    QDataStream stream(&bytes, QIODevice::WriteOnly);
    stream.setVersion(SiteBook::StreamVersion);
    stream << record;
    auto* mime = new QMimeData;
    mime->setData(SiteBook::MimeType, bytes);
    return mime;
}

TEST_F(ConvertDialogTest, DropOfARecordingFromTheSiteBookAddsIt)
{
    struct Case
    {
        const char* kind;
        int rows;
    };
    const Case cases[] = {{"device", 0}, {"archiveSnapshot", 0}, {"archiveData", 1}};
    m_dialog->show();
    for (const Case& c : cases) {
        SiteBook record;
        record.kind = QString::fromLatin1(c.kind);
        record.name = "h080000.004";
        record.path = "/backup/Record_Live/Gate/20261209/h080000.004";
        std::unique_ptr<QMimeData> mime(DragOf(record));
        // A drop reaches the widget that accepted the drag's entry.
        QDragEnterEvent enter(QPoint(300, 250), Qt::CopyAction | Qt::MoveAction, mime.get(), Qt::LeftButton,
                              Qt::NoModifier);
        QCoreApplication::sendEvent(m_dialog.get(), &enter);
        EXPECT_TRUE(enter.isAccepted());
        QDropEvent drop(QPointF(300, 250), Qt::CopyAction | Qt::MoveAction, mime.get(), Qt::LeftButton,
                        Qt::NoModifier);
        QCoreApplication::sendEvent(m_dialog.get(), &drop);
        EXPECT_EQ(m_dialog->Model()->rowCount(), c.rows) << c.kind;
    }
    const auto* item =
        m_dialog->Model()->data(m_dialog->Model()->index(0, 0), kRecordRole).value<ListConvertItem*>();
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->folder, "/backup/Record_Live/Gate/20261209/");
    EXPECT_EQ(item->fileName, "h080000.004");
    EXPECT_EQ(PathLabel()->text(), "/backup/Record_Live/Gate/20261209/h080000.004.mp4");
}

} // namespace
