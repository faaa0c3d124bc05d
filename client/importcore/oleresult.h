#pragma once
// What a lookup or read in a compound file ends with.
enum class OleResult : int {
    Ok = 1,
    // A storage on the path is missing (changing the current storage).
    StorageNotFound = -2,
    // No entry has that path.
    EntryNotFound = -4,
    // The entry exists but its sector chain is broken: it loops, leaves its table, is shorter
    // than the entry's size or names a sector beyond the end of the file.
    BrokenChain = -5,
};
