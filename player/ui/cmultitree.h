#pragma once
// A tree whose items can be selected several at once: Ctrl-click toggles, Shift-click and
// Shift with the arrow keys select a range from the anchor, and a rubber band dragged over the
// rows from an empty place selects what it covers (Ctrl toggles against, Shift adds to, the
// selection held when it began; Escape clears). Only visible items take part: collapsing a
// node deselects what it hides. A press on an item that is already selected keeps the
// selection until the click ends, so several items can be dragged together.
#include <QList>
#include <QPoint>
#include <QSet>
#include <QTreeWidget>

class QRubberBand;

class CMultiTree : public QTreeWidget
{
    Q_OBJECT
public:
    explicit CMultiTree(QWidget* parent = nullptr);

    QTreeWidgetItem* GetFirstSelectedItem() const;
    QTreeWidgetItem* GetNextSelectedItem(QTreeWidgetItem* item) const;
    int GetSelectedCount() const;
    void GetSelectedList(QList<QTreeWidgetItem*>& list) const;

    void SelectAll(bool select);
    void SelectAllIgnore(bool select, QTreeWidgetItem* item);
    // Visible items from whichever of from and to comes first down to the other; with only set,
    // every other visible item is deselected.
    void SelectRange(QTreeWidgetItem* from, QTreeWidgetItem* to, bool only);
    // True when one of the children changed was the current item.
    bool SelectChildren(QTreeWidgetItem* parent, bool select, bool recurse);

    // The visible items in order, from the first root down.
    QList<QTreeWidgetItem*> VisibleItems() const;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    // True while a press on an item may still become a drag of the selection.
    bool PressPending() const { return m_pressItem != nullptr; }
    QTreeWidgetItem* PressItem() const { return m_pressItem; }
    QPoint PressPoint() const { return m_pressPoint; }
    void ClearPress() { m_pressItem = nullptr; }

private:
    void OnCollapsed(QTreeWidgetItem* item);
    void UpdateBand(const QPoint& point);
    void EndBand();

    QTreeWidgetItem* m_pressItem = nullptr;
    QPoint m_pressPoint;
    bool m_banding = false;
    bool m_bandStarted = false;
    Qt::KeyboardModifiers m_bandKeys;
    QPoint m_bandStart; // content coordinates
    QSet<QTreeWidgetItem*> m_remembered;
    QRubberBand* m_band = nullptr;
};
