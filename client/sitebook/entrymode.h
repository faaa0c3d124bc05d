#pragma once
// How a session object enters the site book: as a recorder, which takes a slot of the hub's
// recorder table, or as a folder (slot -1, never connected). The mode also decides where an entry
// is placed among its siblings: folders first, then recorders, each run sorted by name.
enum class EntryMode {
    Recorder,
    Folder,
};

// The kind value the session object is built with: 0 for a recorder, -1 for a folder.
constexpr int SessionKindOf(EntryMode mode)
{
    return mode == EntryMode::Recorder ? 0 : -1;
}
