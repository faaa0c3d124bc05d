#pragma once
#include "core/validationaccount.h"

#include <QModelIndex>
#include <QString>
#include <QStringList>

#include <memory>
#include <unordered_map>

class TreeModel;

// The account tree's rules over its model: where a node goes among its siblings, the cells each
// kind of node shows, finding nodes by id or name, removing subtrees, and the online, connected
// and health states. It owns the records its nodes carry.
class ValidationTreeOps
{
public:
    static constexpr int kMaxHealthRows = 16;

    explicit ValidationTreeOps(TreeModel& model);
    ~ValidationTreeOps();

    static QStringList Headers();
    TreeModel& Model() const { return m_model; }

    // The record of a node (column 0 of its row); null for none.
    ValidationAccount* Record(const QModelIndex& index) const;
    // Inserts the record among the parent's children at its sorted place; the new column-0 index.
    QModelIndex Insert(const QModelIndex& parent, std::unique_ptr<ValidationAccount> record);
    // Removes the node with its subtree and frees their records.
    void Remove(const QModelIndex& index);
    void RemoveChildren(const QModelIndex& index);
    void Clear();
    // Copies the node's subtree under a new parent (each node re-inserted at its sorted place).
    QModelIndex CopySubtree(const QModelIndex& from, const QModelIndex& toParent);

    // An account or group node by id; a recorder node by id; invalid when none.
    QModelIndex FindAccount(int id) const;
    QModelIndex FindDvr(int id) const;
    // The first recorder whose name holds the text, by position: every node counts one in tree
    // order (depth first); the first matching recorder at `start` or after it. Its position, and
    // the node in `found`; -1 when none.
    int FindDvrFrom(const QString& name, int start, QModelIndex* found = nullptr) const;
    // The nearest group named exactly `name` in the subtree below `under` (level by level);
    // invalid when none.
    QModelIndex FindGroupByName(const QModelIndex& under, const QString& name) const;

    // Takes the record's fields (and its id stays) and shows them.
    void Apply(const QModelIndex& index, const ValidationAccount& record);
    void SetOnline(const QModelIndex& index, bool online);
    void SetDvrConnected(const QModelIndex& index, bool connected);
    // One status digit per camera or disk: rows made anew when their count changes, else
    // updated in place. At most kMaxHealthRows positions are read.
    void HealthCheck(const QModelIndex& index, const QString& report);

    static bool IsAccountType(const QString& type);
    // Level of an account type: root 4, admin 3, super 2, normal 1, else 0.
    static int Level(const QString& type);
    // The level a new account under this node gets (a group takes its nearest account's).
    int LevelForChildOf(const QModelIndex& index) const;
    // Whether the dragged node may move under the target.
    bool MoveAllowed(const QModelIndex& source, const QModelIndex& target) const;

private:
    int InsertPosition(const QModelIndex& parent, const ValidationAccount& record) const;
    void ShowCells(const QModelIndex& index, const ValidationAccount& record);
    void SetCell(const QModelIndex& index, int column, const QString& text);
    QModelIndex Find(const QModelIndex& parent, int id, bool dvr) const;
    QModelIndex NearestAccount(const QModelIndex& index) const;
    bool SubtreeFits(const QModelIndex& node, const QString& owner) const;

    TreeModel& m_model;
    std::unordered_map<const ValidationAccount*, std::unique_ptr<ValidationAccount>> m_records;
};
