#pragma once
// A sound device that takes every write and counts the bytes, readable from any thread.
#include <QIODevice>
#include <atomic>

class MediaSink : public QIODevice
{
public:
    MediaSink() { open(QIODevice::WriteOnly); }
    qint64 Written() const { return m_written.load(); }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char*, qint64 length) override
    {
        m_written += length;
        return length;
    }

private:
    std::atomic<qint64> m_written{0};
};
