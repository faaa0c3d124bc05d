#include "ui/csearchevent.h"

#include <QPushButton>
#include <QTreeWidget>

CSearchEvent::CSearchEvent(QWidget* parent)
    : QWidget(parent)
{
    setGeometry(QRect(kPlace, kSize));
    m_list = new QTreeWidget(this);
    m_list->setGeometry(4, 4, kSize.width() - 110, kSize.height() - 8);
    m_list->setHeaderLabels({QStringLiteral("Time"), QStringLiteral("Event")});
    m_query = new QPushButton(QStringLiteral("Query"), this);
    m_query->setGeometry(kSize.width() - 100, 10, 92, 26);
    m_next = new QPushButton(QStringLiteral("Next Query"), this);
    m_next->setGeometry(kSize.width() - 100, 42, 92, 26);
    // The panel has no query of its own: its buttons stay greyed rather than do nothing.
    m_query->setEnabled(false);
    m_next->setEnabled(false);
    hide();
}
