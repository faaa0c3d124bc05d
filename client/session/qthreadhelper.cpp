#include "session/qthreadhelper.h"

#include <QDebug>

#include "session/sessionlog.h"

#include <limits>

namespace {
unsigned long ThreadNumber(pthread_t t)
{
    return static_cast<unsigned long>(t);
}
} // namespace

CQThreadHelper::CQThreadHelper(QObject* parent)
    : QThread(parent)
    , m_creator(pthread_self())
{}

CQThreadHelper::~CQThreadHelper()
{
    // Destroying a running QThread aborts the program; an owner that forgot to wait gets a
    // warning and the wait instead.
    if (isRunning()) {
        qWarning("Thread(%lu) still running at destruction, waiting", m_worker.load());
        wait();
    }
}

bool CQThreadHelper::StartThread(ThreadProc proc, void* arg, int value)
{
    if (!proc || !arg)
        return false;
    const pthread_t caller = pthread_self();
    if (!pthread_equal(m_creator, caller)) {
        qWarning("Invalid caller thread, %lu, %lu", ThreadNumber(m_creator), ThreadNumber(caller));
        return false;
    }
    if (m_running.load()) {
        qWarning("Already Running");
        return false;
    }
    // The procedure has returned but the thread may still be leaving its body; QThread::start
    // would then do nothing, so let it end first (it has nothing left to run).
    if (isRunning())
        wait();
    // Raised here, not only by the new thread, so that a second start right after this one is
    // refused instead of silently doing nothing while the stored procedure is replaced.
    m_running.store(1);
    m_proc = proc;
    m_arg = arg;
    m_value = value;
    qCDebug(lcSession, "Try to start thread, parent=%lu", ThreadNumber(m_creator));
    start(QThread::InheritPriority);
    return true;
}

void CQThreadHelper::WaitThread()
{
    const pthread_t caller = pthread_self();
    if (!pthread_equal(m_creator, caller))
        qWarning("Warning!!! : Invalid caller thread, %lu, %lu", ThreadNumber(m_creator), ThreadNumber(caller));
    qCDebug(lcSession, "Wait for thread(%lu)", m_worker.load());
    wait(QDeadlineTimer(QDeadlineTimer::Forever));
    qCDebug(lcSession, "Finished to wait for thread(%lu)", m_worker.load());
}

void CQThreadHelper::run()
{
    m_running.store(1);
    if (!m_proc) {
        qWarning("Invalid Thread Proc");
    } else {
        m_worker.store(ThreadNumber(pthread_self()));
        qCDebug(lcSession, "Thread(%lu) created", m_worker.load());
        m_proc(m_arg, m_value);
    }
    m_running.store(0);
    qCDebug(lcSession, "Thread(%lu) finished", m_worker.load());
}
