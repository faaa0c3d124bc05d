#include "sitebook/recorderlistcheck.h"

#include <QSet>

#include "sitebook/recorderfieldrules.h"

namespace {

// Checks a recorder row on its own; the port is rewritten as a plain number when it is good.
ListRowRefusal CheckRecorder(RecorderListEntry* entry, QString* detail)
{
    if (entry->name.isEmpty())
        return ListRowRefusal::RecorderWithoutName;
    if (!RecorderFieldRules::IsHostAddress(entry->addr)) {
        *detail = entry->addr;
        return ListRowRefusal::BadAddress;
    }
    if (!entry->port.isEmpty()) {
        const int port = RecorderFieldRules::PortNumber(entry->port);
        if (port == 0) {
            *detail = entry->port;
            return ListRowRefusal::BadPort;
        }
        entry->port = QString::number(port);
    }
    return ListRowRefusal::None;
}

} // namespace

std::vector<CheckedListRow> RecorderListCheck::Check(const std::vector<RecorderListEntry>& entries,
                                                     const std::function<bool()>& stop)
{
    std::vector<CheckedListRow> rows;
    rows.reserve(entries.size());
    QSet<QString> names;
    bool stopped = false;
    for (const RecorderListEntry& given : entries) {
        CheckedListRow row{given, ListRowRefusal::None, {}};
        RecorderListEntry& entry = row.entry;
        stopped = stopped || (stop && stop());
        // Leading and trailing blanks are no part of a name or an address, as in the dialogs.
        entry.folder = entry.folder.trimmed();
        entry.name = entry.name.trimmed();
        entry.addr = entry.addr.trimmed();
        entry.port = entry.port.trimmed();
        if (stopped)
            row.refusal = ListRowRefusal::Cancelled;
        else if (entry.folder.isEmpty())
            row.refusal = ListRowRefusal::FolderWithoutName;
        else if (entry.hasRecorder)
            row.refusal = CheckRecorder(&entry, &row.detail);
        if (row.refusal == ListRowRefusal::None && entry.hasRecorder) {
            if (names.contains(entry.name))
                row.refusal = ListRowRefusal::NameTwiceInList;
            else
                names.insert(entry.name);
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

QString RecorderListCheck::RefusalText(ListRowRefusal refusal)
{
    switch (refusal) {
    case ListRowRefusal::None: break;
    case ListRowRefusal::FolderWithoutName: return QStringLiteral("the folder has no name");
    case ListRowRefusal::RecorderWithoutName: return QStringLiteral("the recorder has no name");
    case ListRowRefusal::BadAddress:
        return QStringLiteral("the address is not a host name, an IPv4 address or an IPv6 address");
    case ListRowRefusal::BadPort:
        return QStringLiteral("the port is not a number from %1 to %2")
            .arg(RecorderFieldRules::kLowestPort)
            .arg(RecorderFieldRules::kHighestPort);
    case ListRowRefusal::NameTwiceInList: return QStringLiteral("an earlier row of the list has the same name");
    case ListRowRefusal::NameInBook:
        return QStringLiteral("a recorder of the same name is already in the site book");
    case ListRowRefusal::BookFull: return QStringLiteral("the site book holds no more recorders");
    case ListRowRefusal::Cancelled: return QStringLiteral("the import was cancelled");
    }
    return QString();
}
