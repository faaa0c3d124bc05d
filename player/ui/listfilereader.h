#pragma once
// Reads "file.lst" lists and looks up the files they name on a worker thread, one list after
// another, so that a long list never holds up the window; each result is reported on the
// owner's thread. A list is read up to kMaxListBytes.
#include <QObject>
#include <QQueue>
#include <QString>

#include <atomic>
#include <functional>
#include <memory>

#include "ui/handoveropener.h"

class QThread;

class ListFileReader : public QObject
{
    Q_OBJECT
public:
    using Exists = std::function<bool(const QString&)>;
    static constexpr qint64 kMaxListBytes = 1 << 20;

    // `exists` is called on the worker thread.
    explicit ListFileReader(Exists exists, QObject* parent = nullptr);
    ~ListFileReader() override;

    void Read(const QString& listPath, HandOverOpener::Mode mode);

signals:
    void listRead(const QString& listPath, HandOverOpener::Mode mode, const ListFiles& files);

private:
    struct Request
    {
        QString path;
        HandOverOpener::Mode mode = HandOverOpener::Mode::HandOver;
    };

    void Next();
    void Finished();

    Exists m_exists;
    QQueue<Request> m_queue;
    Request m_current;
    QThread* m_thread = nullptr;
    std::shared_ptr<ListFiles> m_result;
    std::shared_ptr<std::atomic<bool>> m_stop = std::make_shared<std::atomic<bool>>(false);
};
