#include "sitebook/recorderimportreport.h"

#include <QFileInfo>

namespace {

QString Count(int n, const char* one, const char* many)
{
    return QStringLiteral("%1 %2").arg(n).arg(QLatin1String(n == 1 ? one : many));
}

QString RowName(const CheckedListRow& row)
{
    const RecorderListEntry& entry = row.entry;
    QString text = QStringLiteral("row %1").arg(entry.row);
    const QString name = entry.hasRecorder ? entry.name : entry.folder;
    if (!name.isEmpty())
        text += QStringLiteral(" \"%1\"").arg(name);
    if (!row.detail.isEmpty() || row.refusal == ListRowRefusal::BadAddress)
        text += QStringLiteral(" (%1)").arg(row.detail.isEmpty() ? QStringLiteral("empty") : row.detail);
    return text;
}

} // namespace

void RecorderImportReport::Skipped(const CheckedListRow& row)
{
    Reason& reason = m_skipped[row.refusal];
    ++reason.count;
    if (reason.named.size() < kNamedRowsPerReason)
        reason.named << RowName(row);
}

int RecorderImportReport::SkippedRows() const
{
    int rows = 0;
    for (const auto& [refusal, reason] : m_skipped)
        rows += reason.count;
    return rows;
}

QString RecorderImportReport::Text(const QString& fileName) const
{
    const QString file = QFileInfo(fileName).fileName();
    if (Failed())
        return QStringLiteral("%1 could not be imported: %2. The site book is unchanged.").arg(file, m_readError);
    QStringList lines;
    lines << QStringLiteral("%1: %2 added, %3 updated, %4 added.")
                 .arg(file, Count(m_recordersAdded, "recorder", "recorders"), QString::number(m_recordersUpdated),
                      Count(m_foldersAdded, "folder", "folders"));
    const int skipped = SkippedRows();
    if (skipped > 0)
        lines << QStringLiteral("%1 skipped:").arg(Count(skipped, "row", "rows"));
    for (const auto& [refusal, reason] : m_skipped) {
        QString line = QStringLiteral("- %1: %2")
                           .arg(RecorderListCheck::RefusalText(refusal), reason.named.join(QStringLiteral(", ")));
        const int unnamed = reason.count - int(reason.named.size());
        if (unnamed > 0)
            line +=
                QStringLiteral(" and %1 more %2").arg(unnamed).arg(QLatin1String(unnamed == 1 ? "row" : "rows"));
        lines << line;
    }
    return lines.join(QLatin1Char('\n'));
}
