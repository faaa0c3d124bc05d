#pragma once
// Reads and checks a recorder list on a thread of its own, so that a list of thousands of rows
// never holds up the window: a list file when the name ends exactly in ".ini", else a workbook.
// Finished follows on the reader's own thread; the rows are then taken once. Deleting the reader
// stops and waits for its thread.
#include <QObject>
#include <QString>
#include <atomic>
#include <memory>
#include <vector>

#include "sitebook/recorderlistcheck.h"

class QThread;

class RecorderListReader : public QObject
{
    Q_OBJECT

public:
    explicit RecorderListReader(QObject* parent = nullptr);
    ~RecorderListReader() override;

    void Start(const QString& fileName);
    // Asks the thread to stop; the rows it has not checked come back as cancelled.
    void Cancel() { m_cancel = true; }

    // After Finished: why the file could not be read (empty when it was), and the checked rows.
    QString ReadError() const { return m_error; }
    std::vector<CheckedListRow> TakeRows() { return std::move(m_rows); }

    // Reads and checks in the calling thread (what the reader's thread runs).
    static std::vector<CheckedListRow> ReadAndCheck(const QString& fileName, QString* error,
                                                    const std::function<bool()>& stop = {});

signals:
    void Finished();

private:
    void OnThreadFinished();

    QThread* m_thread = nullptr;
    std::atomic<bool> m_cancel{false};
    QString m_error;
    std::vector<CheckedListRow> m_rows;
};
