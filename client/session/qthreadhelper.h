#pragma once
// The client's worker thread: runs a plain procedure (pointer argument, integer argument) on a
// thread of its own. Only the thread that created the object may start it; a wait from another
// thread is warned about but still waits. It never stops its procedure: the procedure watches a
// stop flag of its owner, which the owner clears before calling WaitThread.
#include <QThread>

#include <atomic>
#include <pthread.h>

class CQThreadHelper : public QThread
{
    Q_OBJECT
public:
    typedef void (*ThreadProc)(void* arg, int value);

    explicit CQThreadHelper(QObject* parent = nullptr);
    // Does not stop the procedure: the owner clears its stop flag and waits first. Should the
    // thread still run, it waits for it (with a warning) rather than let QThread abort.
    ~CQThreadHelper() override;

    bool StartThread(ThreadProc proc, void* arg, int value);
    void WaitThread();

    // 1 from an accepted StartThread until the procedure has returned.
    bool IsRunning() const { return m_running.load() != 0; }

protected:
    void run() override;

private:
    std::atomic<char> m_running{0};
    pthread_t m_creator;
    std::atomic<unsigned long> m_worker{0};
    ThreadProc m_proc = nullptr;
    void* m_arg = nullptr;
    int m_value = 0;
};
