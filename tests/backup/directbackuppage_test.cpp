// The remote backup page without a recorder, under the program's dark style: its "Start" button
// must read "Start" and look disabled from the moment the page is made, and again after a reset;
// the grey day buttons keep their numbers legible.
#include "backup/cdirectbackup.h"
#include "net/sendbackupcapa.h"

#include <QByteArray>
#include <QImage>
#include <QPushButton>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>

namespace {

// The program's main style sheet dims the text of every disabled button.
const char* const kProgramSheet = "QPushButton:disabled, QToolButton:disabled { color: #707070; }";

// How far the button's text stands out from the button drawn without it: the largest grey-level
// difference of any pixel between the two pictures.
int TextContrast(QPushButton* button)
{
    const QImage withText = button->grab().toImage().convertToFormat(QImage::Format_Grayscale8);
    const QString text = button->text();
    button->setText(QString());
    const QImage without = button->grab().toImage().convertToFormat(QImage::Format_Grayscale8);
    button->setText(text);
    if (withText.size() != without.size() || withText.isNull())
        return -1;
    int most = 0;
    for (int y = 0; y < withText.height(); ++y) {
        const uchar* a = withText.constScanLine(y);
        const uchar* b = without.constScanLine(y);
        for (int x = 0; x < withText.width(); ++x)
            most = std::max(most, std::abs(int(a[x]) - int(b[x])));
    }
    return most;
}

class DirectBackupPageTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_window.setStyleSheet(QLatin1String(kProgramSheet));
        m_page = new CDirectBackup(&m_window);
        m_window.resize(890, 740);
        m_window.show();
    }

    QWidget m_window;
    CDirectBackup* m_page = nullptr;
};

constexpr int kLegible = 80;

TEST_F(DirectBackupPageTest, StartReadsStartAndIsDisabledFromTheStart)
{
    QPushButton* start = m_page->StartButton();
    ASSERT_NE(start, nullptr);
    EXPECT_EQ(start->text(), "Start");
    EXPECT_FALSE(start->isEnabled());
    EXPECT_GE(TextContrast(start), kLegible);
}

TEST_F(DirectBackupPageTest, DaysWithoutRecordingsShowTheirNumbers)
{
    // December 2026 without a connected recorder: every day is numbered, grey and disabled.
    m_page->OnRecvPlaybackInfo(0, 0, 20261207, 0, 0, nullptr);
    const struct
    {
        int button;
        const char* text;
    } cases[] = {{2, "1"}, {8, "7"}, {32, "31"}};
    for (const auto& c : cases) {
        QPushButton* day = m_page->DayButton(c.button);
        EXPECT_EQ(day->text(), c.text);
        EXPECT_FALSE(day->isEnabled()) << c.text;
        EXPECT_GE(TextContrast(day), kLegible) << c.text;
    }
}

TEST_F(DirectBackupPageTest, ResetAfterAnEstimateDisablesStartLegibly)
{
    // A capacity reply with data (no recorder, so its one entry is the audio entry of 5 MB):
    // header bytes 9..11 hold the total length 20; the mask at 12; the entry at 16.
    QByteArray bytes(int(sizeof(_SEND_BACKUP_CAPA)), '\0');
    bytes[9] = 20;
    bytes[16] = 5;
    m_page->OnRecvBackupCapa(reinterpret_cast<_SEND_BACKUP_CAPA*>(bytes.data()));
    QPushButton* start = m_page->StartButton();
    ASSERT_TRUE(start->isEnabled());
    const std::string enabledStyle = start->styleSheet().toStdString();

    m_page->ResetView();
    EXPECT_FALSE(start->isEnabled());
    EXPECT_NE(start->styleSheet().toStdString(), enabledStyle);
    EXPECT_EQ(start->text(), "Start");
    EXPECT_GE(TextContrast(start), kLegible);
}

} // namespace
