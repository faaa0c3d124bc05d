#pragma once
// What an import of a recorder list did, told in one message at its end: how many folders and
// recorders were added or updated, and each skipped row by its reason (a few rows named per
// reason, the rest counted). Widget-free.
#include <QString>
#include <QStringList>
#include <map>

#include "sitebook/recorderlistcheck.h"

class RecorderImportReport
{
public:
    // Rows named per reason; the others of that reason are counted.
    static constexpr int kNamedRowsPerReason = 5;

    void FolderAdded() { ++m_foldersAdded; }
    void RecorderAdded() { ++m_recordersAdded; }
    void RecorderUpdated() { ++m_recordersUpdated; }
    void Skipped(const CheckedListRow& row);
    // The list could not be read at all; `why` says so.
    void ReadFailed(const QString& why) { m_readError = why; }

    int FoldersAdded() const { return m_foldersAdded; }
    int RecordersAdded() const { return m_recordersAdded; }
    int RecordersUpdated() const { return m_recordersUpdated; }
    int SkippedRows() const;
    bool Failed() const { return !m_readError.isEmpty(); }

    // The message for the list file (named by its file name only).
    QString Text(const QString& fileName) const;

private:
    struct Reason
    {
        int count = 0;
        QStringList named;
    };

    int m_foldersAdded = 0;
    int m_recordersAdded = 0;
    int m_recordersUpdated = 0;
    std::map<ListRowRefusal, Reason> m_skipped;
    QString m_readError;
};
