#pragma once
#include <QVariant>
#include <QVector>

#include <memory>
#include <vector>

// One item of the validation tree: a display value and a user value per column, and its owned
// children.
class TreeModelItem
{
public:
    TreeModelItem(const QVector<QVariant>& values, TreeModelItem* parent = nullptr);
    ~TreeModelItem();
    TreeModelItem(const TreeModelItem&) = delete;
    TreeModelItem& operator=(const TreeModelItem&) = delete;

    TreeModelItem* child(int number) const;
    int childCount() const;
    int columnCount() const;
    // Role 256 reads the user values, every other role the display values; null when outside.
    QVariant data(int column, int role) const;
    bool setData(int column, const QVariant& value, int role);
    bool insertChildren(int position, int count, int columns);
    bool removeChildren(int position, int count);
    bool insertColumns(int position, int columns);
    bool removeColumns(int position, int columns);
    TreeModelItem* parent() const { return m_parent; }
    // Position among the parent's children: 0 for the root, -1 when not found.
    int childNumber() const;

private:
    std::vector<std::unique_ptr<TreeModelItem>> m_children;
    QVector<QVariant> m_display;
    QVector<QVariant> m_user;
    TreeModelItem* m_parent;
};
