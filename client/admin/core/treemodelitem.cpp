#include "core/treemodelitem.h"

TreeModelItem::TreeModelItem(const QVector<QVariant>& values, TreeModelItem* parent)
    : m_display(values)
    , m_user(values)
    , m_parent(parent)
{}

TreeModelItem::~TreeModelItem() = default;

TreeModelItem* TreeModelItem::child(int number) const
{
    if (number < 0 || number >= childCount())
        return nullptr;
    return m_children[size_t(number)].get();
}

int TreeModelItem::childCount() const
{
    return int(m_children.size());
}

int TreeModelItem::columnCount() const
{
    return m_display.size();
}

QVariant TreeModelItem::data(int column, int role) const
{
    const QVector<QVariant>& values = role == Qt::UserRole ? m_user : m_display;
    if (column < 0 || column >= values.size())
        return QVariant();
    return values[column];
}

bool TreeModelItem::setData(int column, const QVariant& value, int role)
{
    QVector<QVariant>& values = role == Qt::UserRole ? m_user : m_display;
    if (column < 0 || column >= values.size())
        return false;
    values[column] = value;
    return true;
}

bool TreeModelItem::insertChildren(int position, int count, int columns)
{
    if (position < 0 || position > childCount())
        return false;
    for (int row = 0; row < count; ++row)
        m_children.insert(m_children.begin() + position,
                          std::make_unique<TreeModelItem>(QVector<QVariant>(columns), this));
    return true;
}

bool TreeModelItem::removeChildren(int position, int count)
{
    if (position < 0 || count < 0 || position + count > childCount())
        return false;
    m_children.erase(m_children.begin() + position, m_children.begin() + position + count);
    return true;
}

bool TreeModelItem::insertColumns(int position, int columns)
{
    if (position < 0 || position > m_display.size())
        return false;
    for (int column = 0; column < columns; ++column) {
        m_display.insert(position, QVariant());
        m_user.insert(position, QVariant());
    }
    for (auto& child : m_children)
        child->insertColumns(position, columns);
    return true;
}

bool TreeModelItem::removeColumns(int position, int columns)
{
    if (position < 0 || columns < 0 || position + columns > m_display.size())
        return false;
    m_display.remove(position, columns);
    m_user.remove(position, columns);
    for (auto& child : m_children)
        child->removeColumns(position, columns);
    return true;
}

int TreeModelItem::childNumber() const
{
    if (!m_parent)
        return 0;
    for (int row = 0; row < m_parent->childCount(); ++row)
        if (m_parent->m_children[size_t(row)].get() == this)
            return row;
    return -1;
}
