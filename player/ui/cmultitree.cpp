#include "ui/cmultitree.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QRubberBand>
#include <QScrollBar>

CMultiTree::CMultiTree(QWidget* parent)
    : QTreeWidget(parent)
{
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setHeaderHidden(true);
    connect(this, &QTreeWidget::itemCollapsed, this, &CMultiTree::OnCollapsed);
}

QList<QTreeWidgetItem*> CMultiTree::VisibleItems() const
{
    QList<QTreeWidgetItem*> items;
    for (QTreeWidgetItem* item = topLevelItemCount() ? topLevelItem(0) : nullptr; item; item = itemBelow(item)) {
        if (!item->isHidden())
            items.append(item);
    }
    return items;
}

QTreeWidgetItem* CMultiTree::GetFirstSelectedItem() const
{
    return GetNextSelectedItem(nullptr);
}

QTreeWidgetItem* CMultiTree::GetNextSelectedItem(QTreeWidgetItem* item) const
{
    const QList<QTreeWidgetItem*> items = VisibleItems();
    int i = item ? items.indexOf(item) + 1 : 0;
    if (item && i == 0)
        return nullptr;
    for (; i < items.size(); ++i) {
        if (items.at(i)->isSelected())
            return items.at(i);
    }
    return nullptr;
}

int CMultiTree::GetSelectedCount() const
{
    int count = 0;
    for (QTreeWidgetItem* item : VisibleItems())
        count += item->isSelected() ? 1 : 0;
    return count;
}

void CMultiTree::GetSelectedList(QList<QTreeWidgetItem*>& list) const
{
    list.clear();
    for (QTreeWidgetItem* item : VisibleItems()) {
        if (item->isSelected())
            list.append(item);
    }
}

void CMultiTree::SelectAll(bool select)
{
    SelectAllIgnore(select, nullptr);
}

void CMultiTree::SelectAllIgnore(bool select, QTreeWidgetItem* ignored)
{
    for (QTreeWidgetItem* item : VisibleItems()) {
        if (item != ignored && item->isSelected() != select)
            item->setSelected(select);
    }
}

void CMultiTree::SelectRange(QTreeWidgetItem* from, QTreeWidgetItem* to, bool only)
{
    const QList<QTreeWidgetItem*> items = VisibleItems();
    int a = items.indexOf(from);
    int b = items.indexOf(to);
    if (a < 0 || b < 0)
        return;
    if (a > b)
        std::swap(a, b);
    for (int i = 0; i < items.size(); ++i) {
        const bool inside = i >= a && i <= b;
        if (inside && !items.at(i)->isSelected())
            items.at(i)->setSelected(true);
        else if (!inside && only && items.at(i)->isSelected())
            items.at(i)->setSelected(false);
    }
}

bool CMultiTree::SelectChildren(QTreeWidgetItem* parent, bool select, bool recurse)
{
    bool hadCurrent = false;
    for (int i = 0; parent && i < parent->childCount(); ++i) {
        QTreeWidgetItem* child = parent->child(i);
        hadCurrent = hadCurrent || child == currentItem();
        child->setSelected(select);
        if (recurse && child->isExpanded())
            hadCurrent = SelectChildren(child, select, true) || hadCurrent;
    }
    return hadCurrent;
}

void CMultiTree::OnCollapsed(QTreeWidgetItem* item)
{
    const bool hadCurrent = SelectChildren(item, false, true);
    if (hadCurrent && !item->isSelected())
        setCurrentItem(nullptr, 0, QItemSelectionModel::NoUpdate);
}

void CMultiTree::mousePressEvent(QMouseEvent* event)
{
    QTreeWidgetItem* item = itemAt(event->pos());
    const Qt::KeyboardModifiers keys = event->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier);
    if (!item) {
        // A rubber band from an empty place.
        setFocus(Qt::MouseFocusReason);
        m_banding = true;
        m_bandStarted = false;
        m_bandKeys = keys;
        m_remembered.clear();
        if (keys) {
            QList<QTreeWidgetItem*> selected;
            GetSelectedList(selected);
            m_remembered = QSet<QTreeWidgetItem*>(selected.begin(), selected.end());
        }
        m_bandStart = event->pos() + QPoint(horizontalScrollBar()->value(), verticalScrollBar()->value());
        event->accept();
        return;
    }
    m_pressItem = item;
    m_pressPoint = event->pos();
    if (!keys && item->isSelected() && event->button() == Qt::LeftButton) {
        // The selection stays until the click ends, so that it can be dragged as a whole.
        setCurrentItem(item, 0, QItemSelectionModel::NoUpdate);
        event->accept();
        return;
    }
    QTreeWidget::mousePressEvent(event);
}

void CMultiTree::mouseMoveEvent(QMouseEvent* event)
{
    if (m_banding) {
        UpdateBand(event->pos());
        event->accept();
        return;
    }
    QTreeWidget::mouseMoveEvent(event);
}

void CMultiTree::mouseReleaseEvent(QMouseEvent* event)
{
    if (m_banding) {
        UpdateBand(event->pos());
        if (!m_bandStarted && !m_bandKeys)
            SelectAll(false);
        EndBand();
        event->accept();
        return;
    }
    QTreeWidgetItem* pressed = m_pressItem;
    m_pressItem = nullptr;
    if (pressed && pressed == itemAt(event->pos())
        && !(event->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier))
        && event->button() == Qt::LeftButton) {
        // A plain click on a selected item: that item alone stays selected.
        SelectAllIgnore(false, pressed);
        pressed->setSelected(true);
        setCurrentItem(pressed, 0, QItemSelectionModel::NoUpdate);
    }
    QTreeWidget::mouseReleaseEvent(event);
}

void CMultiTree::keyPressEvent(QKeyEvent* event)
{
    if (m_banding && event->key() == Qt::Key_Escape) {
        SelectAll(false);
        EndBand();
        return;
    }
    QTreeWidget::keyPressEvent(event);
}

void CMultiTree::UpdateBand(const QPoint& point)
{
    const QPoint offset(horizontalScrollBar()->value(), verticalScrollBar()->value());
    const QPoint start = m_bandStart - offset;
    if (!m_bandStarted) {
        if (qAbs(point.x() - start.x()) <= QApplication::startDragDistance()
            && qAbs(point.y() - start.y()) <= QApplication::startDragDistance())
            return;
        m_bandStarted = true;
        if (!m_bandKeys)
            SelectAll(false);
        if (!m_band)
            m_band = new QRubberBand(QRubberBand::Rectangle, viewport());
    }
    const QRect rect = QRect(start, point).normalized();
    m_band->setGeometry(rect);
    m_band->show();
    for (QTreeWidgetItem* item : VisibleItems()) {
        const QRect row = visualItemRect(item);
        const bool inside = row.intersects(rect);
        const bool remembered = m_remembered.contains(item);
        if (inside) {
            if (remembered && (m_bandKeys & Qt::ControlModifier))
                item->setSelected(false);
            else if (remembered && (m_bandKeys & Qt::ShiftModifier))
                m_remembered.remove(item);
            else if (!remembered && !item->isSelected())
                item->setSelected(true);
        } else if (remembered) {
            item->setSelected(true);
        } else if (item->isSelected()) {
            item->setSelected(false);
        }
    }
}

void CMultiTree::EndBand()
{
    m_banding = false;
    m_bandStarted = false;
    m_remembered.clear();
    if (m_band)
        m_band->hide();
}
