#pragma once
// One import of a recorder list into the site book, from the chosen file to the closing message:
// the list is read and checked on a thread of its own (RecorderListReader), then its rows are
// handed to the book a batch at a time between the window's events, with a progress box (shown
// when the import takes a while) that can cancel it. At the end one message counts what was
// added and names what was skipped and why, and Finished is emitted.
#include <QObject>
#include <QPointer>
#include <QString>
#include <cstddef>
#include <vector>

#include "sitebook/recorderimportreport.h"
#include "sitebook/recorderlistcheck.h"

class QProgressDialog;
class QWidget;
class RecorderListReader;

// What the import hands its rows to: the site book tree.
class RecorderListTarget
{
public:
    virtual ~RecorderListTarget() = default;
    // Before each batch of rows: the book may have changed between batches.
    virtual void BeginImportBatch() = 0;
    // A row that passed the list's checks: added, updated, or skipped for what the book holds.
    virtual void ImportRow(const CheckedListRow& row, RecorderImportReport* report) = 0;
    // After the last row (also after a cancel): the book is written when anything changed.
    virtual void EndImport(const RecorderImportReport& report) = 0;
};

class RecorderListImport : public QObject
{
    Q_OBJECT

public:
    static constexpr int kRowsPerBatch = 200;
    // The progress box appears only for an import that runs longer than this.
    static constexpr int kProgressDelayMs = 400;

    // `window` holds the progress box and the closing message.
    RecorderListImport(QWidget* window, RecorderListTarget* target, const QString& fileName);
    ~RecorderListImport() override;

    void Start();
    void Cancel();
    const RecorderImportReport& Report() const { return m_report; }

signals:
    void Finished();

private:
    void OnRead();
    void ApplyBatch();
    void Finish();

    QWidget* m_window;
    RecorderListTarget* m_target;
    QString m_fileName;
    RecorderListReader* m_reader;
    QPointer<QProgressDialog> m_progress;
    std::vector<CheckedListRow> m_rows;
    std::size_t m_next = 0;
    bool m_cancelled = false;
    RecorderImportReport m_report;
};
