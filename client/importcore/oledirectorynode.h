#pragma once
// A node of the storage tree built from the directory: its entry, the entry's number, its parent
// (none for the root) and its children by ascending entry number.
#include <QString>
#include <memory>
#include <vector>

#include "importcore/oledirectoryentry.h"

class OleDirectoryNode
{
public:
    OleDirectoryNode(OleDirectoryNode* parent, const OleDirectoryEntry& entry, quint32 entryNumber);

    // Takes the child in at the end; SortChildren puts the children in entry number order once
    // they are all in (sorting once keeps a large directory from costing quadratic time).
    OleDirectoryNode* AddChild(std::unique_ptr<OleDirectoryNode> child);
    void SortChildren();
    // The first child whose name equals `name` unit for unit, whatever its type; null if none.
    OleDirectoryNode* ChildNamed(const QString& name) const;

    OleDirectoryNode* Parent() const { return m_parent; }
    const OleDirectoryEntry& Entry() const { return m_entry; }
    quint32 EntryNumber() const { return m_entryNumber; }
    const std::vector<std::unique_ptr<OleDirectoryNode>>& Children() const { return m_children; }

private:
    OleDirectoryNode* m_parent;
    OleDirectoryEntry m_entry;
    quint32 m_entryNumber;
    std::vector<std::unique_ptr<OleDirectoryNode>> m_children;
};
