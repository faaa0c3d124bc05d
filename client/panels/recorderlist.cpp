#include "panels/recorderlist.h"

#include <QComboBox>

void RecorderList::Add(QComboBox* list, const QString& name, int recorder)
{
    list->addItem(name, recorder);
}

void RecorderList::Remove(QComboBox* list, int recorder)
{
    for (int i = list->count() - 1; i >= 0; --i) {
        if (RecorderAt(list, i) == recorder)
            list->removeItem(i);
    }
}

int RecorderList::RecorderAt(const QComboBox* list, int entry)
{
    if (entry < 0 || entry >= list->count())
        return -1;
    bool ok = false;
    const int recorder = list->itemData(entry).toInt(&ok);
    return ok ? recorder : -1;
}
