#include "importcore/oledirectorynode.h"

#include <algorithm>

OleDirectoryNode::OleDirectoryNode(OleDirectoryNode* parent, const OleDirectoryEntry& entry, quint32 entryNumber)
    : m_parent(parent)
    , m_entry(entry)
    , m_entryNumber(entryNumber)
{}

OleDirectoryNode* OleDirectoryNode::AddChild(std::unique_ptr<OleDirectoryNode> child)
{
    m_children.push_back(std::move(child));
    return m_children.back().get();
}

void OleDirectoryNode::SortChildren()
{
    std::sort(m_children.begin(), m_children.end(),
              [](const std::unique_ptr<OleDirectoryNode>& a, const std::unique_ptr<OleDirectoryNode>& b) {
                  return a->EntryNumber() < b->EntryNumber();
              });
}
OleDirectoryNode* OleDirectoryNode::ChildNamed(const QString& name) const
{
    for (const auto& child : m_children) {
        if (child->Entry().Name() == name)
            return child.get();
    }
    return nullptr;
}
