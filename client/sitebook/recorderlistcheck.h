#pragma once
// The checks an imported recorder list goes through before anything of it reaches the site book:
// the rules of the recorder and folder dialogs for each row, and no recorder name twice in the
// list. Widget-free, and safe to run off the window thread. What depends on the book itself (a
// name another folder already holds, the number of recorders it can take) is checked where the
// rows are applied.
#include <QString>
#include <functional>
#include <vector>

#include "sitebook/recorderlistfile.h"

// Why a row of a list stays out of the site book.
enum class ListRowRefusal {
    None,
    FolderWithoutName,
    RecorderWithoutName,
    BadAddress,
    BadPort,
    NameTwiceInList,
    NameInBook,
    BookFull,
    Cancelled,
};

// A row as checked: the entry (names trimmed, the port written as a plain number) and why it is
// skipped; `detail` names the value at fault.
struct CheckedListRow
{
    RecorderListEntry entry;
    ListRowRefusal refusal = ListRowRefusal::None;
    QString detail;
};

class RecorderListCheck
{
public:
    // A folder needs a name. A recorder needs a name, a host name or IP address, a port of 1 to
    // 65535 when the row names one (a list may leave the port, user and password out, to be
    // filled in later), and a name that no earlier recorder row of the list took. `stop`, when
    // given, is asked between rows; the rows not reached then come back as Cancelled.
    static std::vector<CheckedListRow> Check(const std::vector<RecorderListEntry>& entries,
                                             const std::function<bool()>& stop = {});

    // Why a row is skipped, as the import's message says it.
    static QString RefusalText(ListRowRefusal refusal);
};
