#pragma once
// The context menu of the event and schedule job tables: "Remove selected item", "Remove
// complete items" and "Remove all items".
#include <QPoint>
#include <functional>

class QWidget;

struct JobMenuActions
{
    std::function<void()> removeSelected;
    std::function<void()> removeComplete;
    std::function<void()> removeAll;
};

void ShowJobMenu(QWidget* parent, const QPoint& globalPos, const JobMenuActions& actions);
