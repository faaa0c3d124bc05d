// Worker thread class: who may start and wait, refusals and their messages, restart.
#include "session/qthreadhelper.h"

#include <QLoggingCategory>
#include <QMutex>
#include <QSemaphore>
#include <QStringList>

#include <gtest/gtest.h>

#include "harness/messagecapture.h"

#include <atomic>
#include <pthread.h>
#include <thread>

namespace {

// Collects every message of the Qt logger while it lives (from any thread).
class MessageLog : public MessageCapture
{
public:
    int CountStartingWith(const QString& prefix) const
    {
        int n = 0;
        for (const QString& l : Lines())
            n += l.startsWith(prefix) ? 1 : 0;
        return n;
    }
};

QString Num(pthread_t t)
{
    return QString::number(static_cast<unsigned long>(t));
}

// What a procedure sees and records; the gate lets the test hold the procedure inside its body.
struct Job
{
    std::atomic<int> calls{0};
    std::atomic<int> lastValue{-1};
    std::atomic<bool> finished{false};
    std::atomic<unsigned long> worker{0};
    QSemaphore entered;
    QSemaphore gate;
    bool hold = false;
};

void JobProc(void* arg, int value)
{
    auto* job = static_cast<Job*>(arg);
    job->worker = static_cast<unsigned long>(pthread_self());
    job->lastValue = value;
    ++job->calls;
    job->entered.release();
    if (job->hold)
        job->gate.acquire();
    job->finished = true;
}

TEST(CQThreadHelper, NullProcedureOrArgumentIsRefusedSilently)
{
    MessageLog log;
    CQThreadHelper t;
    Job job;
    EXPECT_FALSE(t.StartThread(nullptr, &job, 1));
    EXPECT_FALSE(t.StartThread(&JobProc, nullptr, 1));
    t.WaitThread();
    EXPECT_EQ(job.calls.load(), 0);
    EXPECT_EQ(log.CountStartingWith("Try to start"), 0);
    EXPECT_EQ(log.CountStartingWith("Invalid"), 0);
    EXPECT_EQ(log.CountStartingWith("Already"), 0);
}

TEST(CQThreadHelper, RunsProcedureWithItsArgumentsAndLogs)
{
    MessageLog log;
    CQThreadHelper t;
    Job job;
    ASSERT_TRUE(t.StartThread(&JobProc, &job, 7));
    t.WaitThread();
    EXPECT_EQ(job.calls.load(), 1);
    EXPECT_EQ(job.lastValue.load(), 7);
    EXPECT_TRUE(job.finished.load());
    EXPECT_FALSE(t.IsRunning());

    const QString worker = QString::number(job.worker.load());
    EXPECT_NE(job.worker.load(), static_cast<unsigned long>(pthread_self()));
    EXPECT_TRUE(log.Has("Try to start thread, parent=" + Num(pthread_self())));
    EXPECT_TRUE(log.Has("Thread(" + worker + ") created"));
    EXPECT_TRUE(log.Has("Thread(" + worker + ") finished"));
    EXPECT_TRUE(log.Has("Finished to wait for thread(" + worker + ")"));
}

TEST(CQThreadHelper, StartFromForeignThreadIsRefused)
{
    MessageLog log;
    CQThreadHelper t;
    Job job;
    bool result = true;
    pthread_t foreign{};
    std::thread other([&] {
        foreign = pthread_self();
        result = t.StartThread(&JobProc, &job, 3);
    });
    other.join();
    EXPECT_FALSE(result);
    EXPECT_FALSE(t.isRunning());
    t.WaitThread();
    EXPECT_EQ(job.calls.load(), 0);
    EXPECT_TRUE(log.Has("Invalid caller thread, " + Num(pthread_self()) + ", " + Num(foreign)))
        << log.Lines().join('\n').toStdString();
    EXPECT_EQ(log.CountStartingWith("Try to start"), 0);
}

TEST(CQThreadHelper, CreatorIsTheThreadThatConstructed)
{
    MessageLog log;
    Job job;
    CQThreadHelper* made = nullptr;
    std::thread other([&] { made = new CQThreadHelper; });
    other.join();
    EXPECT_FALSE(made->StartThread(&JobProc, &job, 0));
    EXPECT_EQ(log.CountStartingWith("Invalid caller thread, "), 1);
    delete made;
    EXPECT_EQ(job.calls.load(), 0);
}

TEST(CQThreadHelper, SecondStartWhileRunningIsRefused)
{
    MessageLog log;
    CQThreadHelper t;
    Job job;
    job.hold = true;
    Job other;
    ASSERT_TRUE(t.StartThread(&JobProc, &job, 1));
    job.entered.acquire(); // the procedure is inside its body
    EXPECT_TRUE(t.IsRunning());
    EXPECT_FALSE(t.StartThread(&JobProc, &other, 2));
    EXPECT_TRUE(log.Has("Already Running"));
    job.gate.release();
    t.WaitThread();
    EXPECT_EQ(job.calls.load(), 1);
    EXPECT_EQ(job.lastValue.load(), 1);
    EXPECT_EQ(other.calls.load(), 0);
}

// Two starts in a row, before the new thread has entered its body: the second one must be
// refused rather than reported as started while nothing runs.
TEST(CQThreadHelper, ImmediateSecondStartIsRefused)
{
    CQThreadHelper t;
    Job job;
    job.hold = true;
    Job other;
    ASSERT_TRUE(t.StartThread(&JobProc, &job, 1));
    EXPECT_FALSE(t.StartThread(&JobProc, &other, 2));
    job.gate.release();
    t.WaitThread();
    EXPECT_EQ(job.calls.load(), 1);
    EXPECT_EQ(other.calls.load(), 0);
}

TEST(CQThreadHelper, WaitFromForeignThreadWarnsAndStillWaits)
{
    MessageLog log;
    CQThreadHelper t;
    Job job;
    job.hold = true;
    ASSERT_TRUE(t.StartThread(&JobProc, &job, 5));
    job.entered.acquire();

    std::atomic<bool> finishedWhenWaitReturned{false};
    pthread_t foreign{};
    QSemaphore waiterStarted;
    std::thread waiter([&] {
        foreign = pthread_self();
        waiterStarted.release();
        t.WaitThread();
        finishedWhenWaitReturned = job.finished.load();
    });
    waiterStarted.acquire();
    job.gate.release();
    waiter.join();
    EXPECT_TRUE(finishedWhenWaitReturned.load());
    EXPECT_TRUE(log.Has("Warning!!! : Invalid caller thread, " + Num(pthread_self()) + ", " + Num(foreign)));
    EXPECT_TRUE(log.Has("Wait for thread(" + QString::number(job.worker.load()) + ")"));
}

TEST(CQThreadHelper, WaitOnNeverStartedReturns)
{
    MessageLog log;
    CQThreadHelper t;
    t.WaitThread();
    EXPECT_TRUE(log.Has("Wait for thread(0)"));
    EXPECT_TRUE(log.Has("Finished to wait for thread(0)"));
}

TEST(CQThreadHelper, RestartsAfterProcedureReturned)
{
    CQThreadHelper t;
    Job job;
    ASSERT_TRUE(t.StartThread(&JobProc, &job, 1));
    job.entered.acquire();
    // No WaitThread: once the procedure has returned the flag is down and a new start runs it
    // again.
    while (t.IsRunning())
        QThread::yieldCurrentThread();
    ASSERT_TRUE(t.StartThread(&JobProc, &job, 2));
    t.WaitThread();
    EXPECT_EQ(job.calls.load(), 2);
    EXPECT_EQ(job.lastValue.load(), 2);

    ASSERT_TRUE(t.StartThread(&JobProc, &job, 3));
    t.WaitThread();
    EXPECT_EQ(job.calls.load(), 3);
    EXPECT_EQ(job.lastValue.load(), 3);
}

// An owner that destroys the object while its procedure still runs must not bring the program
// down; the destructor waits for the procedure instead.
TEST(CQThreadHelper, DestructionWhileRunningWaits)
{
    MessageLog log;
    Job job;
    job.hold = true;
    auto* t = new CQThreadHelper;
    ASSERT_TRUE(t->StartThread(&JobProc, &job, 1));
    job.entered.acquire();
    // The procedure may end only once the destructor has said it waits; the bound keeps a
    // faulty destructor from hanging the test.
    std::thread releaser([&] {
        for (int i = 0; i < 10000 && log.Lines().filter("still running").isEmpty(); ++i)
            QThread::msleep(1);
        job.gate.release();
    });
    delete t;
    EXPECT_TRUE(job.finished.load());
    releaser.join();
    EXPECT_EQ(
        log.CountStartingWith("Thread(" + QString::number(job.worker.load()) + ") still running at destruction"),
        1);
}

} // namespace
