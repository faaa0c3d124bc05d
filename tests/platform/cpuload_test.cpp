#include "platform/cpuload.h"

#include <QThread>
#include <gtest/gtest.h>

#include <deque>

using platform::CpuLoad;
using platform::CpuTimes;

namespace {

// A query fed with the hand-written samples, one per read of the source.
struct FedLoad
{
    std::deque<QByteArray> samples;
    CpuLoad load{[this]() {
        if (samples.empty())
            return QByteArray();
        QByteArray s = samples.front();
        if (samples.size() > 1)
            samples.pop_front();
        return s;
    }};
};

const QByteArray kHeadA = "cpu  100 0 100 700 100 0 0 0 0 0\n"
                          "cpu0 50 0 50 350 50 0 0 0 0 0\n"
                          "intr 12345 0 0\n";

} // namespace

TEST(CpuLoadParse, SumsTheAggregateLineOnly)
{
    CpuTimes t;
    ASSERT_TRUE(CpuLoad::ParseStat(kHeadA, &t));
    EXPECT_EQ(t.total, 1000u);
    EXPECT_EQ(t.idle, 800u); // idle + iowait
}

TEST(CpuLoadParse, GuestTimeIsNotCountedTwice)
{
    CpuTimes t;
    ASSERT_TRUE(CpuLoad::ParseStat("cpu 10 20 30 40 50 60 70 80 900 900\n", &t));
    EXPECT_EQ(t.total, 360u);
    EXPECT_EQ(t.idle, 90u);
}

TEST(CpuLoadParse, BadTextsAreRefused)
{
    const QByteArray cases[] = {
        "",
        "intr 1 2 3\n",
        "cpu0 1 2 3 4 5\n",                         // no aggregate line
        "cpu 1 2 3\n",                              // too short
        "cpu 1 x 3 4 5 6 7 8\n",                    // not a number
        "cpu 18446744073709551615 1 0 0 0 0 0 0\n", // overflows the sum
    };
    for (const QByteArray& text : cases) {
        CpuTimes t;
        EXPECT_FALSE(CpuLoad::ParseStat(text, &t)) << text.constData();
    }
}

TEST(CpuLoadBetween, TableOfSamplePairs)
{
    struct Case
    {
        CpuTimes a, b;
        double percent;
    };
    const Case cases[] = {
        {{800, 1000}, {1600, 2000}, 20.0}, // 200 busy of 1000
        {{800, 1000}, {800, 2000}, 100.0}, // never idle
        {{800, 1000}, {1800, 2000}, 0.0},  // always idle
        {{800, 1000}, {800, 1000}, 0.0},   // no time passed
        {{800, 1000}, {700, 900}, 0.0},    // counters went back
        {{0, 0}, {291, 1000}, 70.9},
    };
    for (const Case& c : cases)
        EXPECT_NEAR(CpuLoad::LoadBetween(c.a, c.b), c.percent, 1e-9);
}

TEST(CpuLoadQuery, TwoSamplesGiveThePercentAndTruncate)
{
    FedLoad f;
    f.samples = {"cpu 0 0 0 0 0 0 0 0\n", "cpu 0 0 0 0 0 0 0 0\n", "cpu 709 0 0 291 0 0 0 0\n"};
    ASSERT_TRUE(f.load.Open()); // reads the first sample
    ASSERT_TRUE(f.load.AddCounter(QString::fromLatin1(CpuLoad::kCounterName)));
    EXPECT_EQ(f.load.SamplePercent(), 0);  // one sample only
    EXPECT_EQ(f.load.SamplePercent(), 70); // 70.9 counts as 70
    EXPECT_NEAR(f.load.Read(), 70.9, 1e-9);
}

TEST(CpuLoadQuery, NothingWithoutOpenAndCounter)
{
    FedLoad f;
    f.samples = {"cpu 0 0 0 0 0 0 0 0\n"};
    EXPECT_FALSE(f.load.AddCounter(QString::fromLatin1(CpuLoad::kCounterName)));
    EXPECT_FALSE(f.load.Collect());
    ASSERT_TRUE(f.load.Open());
    EXPECT_FALSE(f.load.AddCounter(QStringLiteral("\\Memory\\Available Bytes")));
    EXPECT_FALSE(f.load.Collect());
    EXPECT_EQ(f.load.SamplePercent(), 0);
}

TEST(CpuLoadQuery, AnUnreadableSampleKeepsTheLastLoad)
{
    FedLoad f;
    f.samples = {"cpu 0 0 0 0 0 0 0 0\n", "cpu 0 0 0 0 0 0 0 0\n", "cpu 50 0 0 50 0 0 0 0\n", "garbage\n"};
    ASSERT_TRUE(f.load.Open());
    ASSERT_TRUE(f.load.AddCounter(QString::fromLatin1(CpuLoad::kCounterName)));
    f.load.Collect();
    EXPECT_EQ(f.load.SamplePercent(), 50);
    EXPECT_FALSE(f.load.Collect());
    EXPECT_EQ(f.load.SamplePercent(), 50);
}

TEST(CpuLoadQuery, OpenFailsWithoutAReadableSource)
{
    CpuLoad load([]() { return QByteArray("no counters here"); });
    EXPECT_FALSE(load.Open());
}

TEST(CpuLoadReal, ProcStatGivesALoadInRange)
{
    CpuLoad load;
    ASSERT_TRUE(load.Open());
    ASSERT_TRUE(load.AddCounter(QString::fromLatin1(CpuLoad::kCounterName)));
    ASSERT_TRUE(load.Collect());
    QThread::msleep(100);
    ASSERT_TRUE(load.Collect());
    const double percent = load.Read();
    EXPECT_GE(percent, 0.0);
    EXPECT_LE(percent, 100.0);
}
