#include "ui/listfilereader.h"

#include <QFile>
#include <QThread>

#include <utility>

ListFileReader::ListFileReader(Exists exists, QObject* parent)
    : QObject(parent)
    , m_exists(std::move(exists))
{}

ListFileReader::~ListFileReader()
{
    if (m_thread) {
        m_stop->store(true);
        m_thread->wait();
        delete m_thread;
    }
}

void ListFileReader::Read(const QString& listPath, HandOverOpener::Mode mode)
{
    m_queue.enqueue({listPath, mode});
    Next();
}

void ListFileReader::Next()
{
    if (m_thread || m_queue.isEmpty())
        return;
    m_current = m_queue.dequeue();
    m_result = std::make_shared<ListFiles>();
    const auto result = m_result;
    const auto stop = m_stop;
    const Exists exists = m_exists;
    const QString path = m_current.path;
    m_thread = QThread::create([result, stop, exists, path] {
        QFile list(path);
        const QByteArray text = list.open(QIODevice::ReadOnly) ? list.read(kMaxListBytes) : QByteArray();
        *result = HandOverOpener::ListFor(path, text, exists, stop.get());
    });
    connect(m_thread, &QThread::finished, this, &ListFileReader::Finished, Qt::QueuedConnection);
    m_thread->start();
}

void ListFileReader::Finished()
{
    if (!m_thread)
        return;
    m_thread->wait(); // already ended: its finished signal brought us here
    delete m_thread;
    m_thread = nullptr;
    const Request done = m_current;
    const ListFiles files = *m_result;
    emit listRead(done.path, done.mode, files);
    Next();
}
