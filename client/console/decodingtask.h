#pragma once
// The console's decoding thread: frames from the live connection queue up under a lock, the
// thread decodes them in order with the client's H.264 decoder (mode 3) and hands each picture
// to the window as an owned copy. It waits on a condition while the queue is empty and is
// always joined before it is deleted.
#include "console/mirelavframe.h"

#include <QImage>
#include <QMutex>
#include <QQueue>
#include <QThread>
#include <QWaitCondition>

#include <atomic>
#include <memory>

class CModuleDecoder;

class DecodingTask : public QThread
{
    Q_OBJECT
public:
    // Frames beyond this many waiting are dropped (the decoder then waits for the next key frame).
    static constexpr int kMaxQueued = 120;

    DecodingTask();
    ~DecodingTask() override;

    // 1 running, -1 asked to end, 0 ended.
    int running() const { return m_running.load(); }
    // Asks the loop to end; the queue is discarded when it does.
    void stop();
    int queued() const;

signals:
    void didAVFrameDecoded(QImage picture);
    void workFinished();

public slots:
    void hasConnectionClosed();
    void didReceiveAVFrame(MirelAVFrame frame);

protected:
    void run() override;

private:
    bool Next(MirelAVFrame& frame);

    std::atomic<int> m_running{1};
    mutable QMutex m_lock;
    QWaitCondition m_wake;
    QQueue<MirelAVFrame> m_queue;
    std::unique_ptr<CModuleDecoder> m_decoder;
};
