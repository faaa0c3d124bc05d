#include "support/boxwatcher.h"

#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QPushButton>
#include <QSet>

BoxWatcher::BoxWatcher(Action action)
    : m_action(std::move(action))
{
    QObject::connect(&m_timer, &QTimer::timeout, [this] { Tick(); });
    m_timer.start(5);
    qApp->installEventFilter(this);
}

bool BoxWatcher::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Show && qobject_cast<MessageDlg*>(watched))
        ++m_shown;
    return false;
}

BoxWatcher::~BoxWatcher()
{
    m_timer.stop();
    qApp->removeEventFilter(this);
}

QList<MessageDlg*> BoxWatcher::LiveBoxes()
{
    QList<MessageDlg*> boxes;
    const QWidgetList all = QApplication::allWidgets();
    for (QWidget* w : all) {
        if (auto* box = qobject_cast<MessageDlg*>(w))
            boxes.append(box);
    }
    return boxes;
}

void BoxWatcher::Tick()
{
    const QList<MessageDlg*> boxes = LiveBoxes();
    if (boxes.isEmpty())
        return;
    MessageDlg* box = boxes.last();
    BoxSample s;
    s.box = box;
    if (!box->property("shellWatchId").isValid())
        box->setProperty("shellWatchId", m_nextId++);
    s.id = box->property("shellWatchId").toInt();
    s.mode = box->Mode();
    s.title = box->windowTitle();
    if (auto* label = box->findChild<QLabel*>(QStringLiteral("label")))
        s.text = label->text();
    if (auto* button = box->findChild<QPushButton*>(QStringLiteral("closeButton"))) {
        s.buttonText = button->text();
        s.buttonEnabled = button->isEnabled();
    }
    s.visible = box->isVisible();
    s.liveBoxes = boxes.size();
    m_samples.push_back(s);
    if (m_action)
        m_action(box, s);
}

int BoxWatcher::BoxesSeen() const
{
    QSet<int> seen;
    for (const BoxSample& s : m_samples)
        seen.insert(s.id);
    return seen.size();
}

int BoxWatcher::MostAtOnce() const
{
    int most = 0;
    for (const BoxSample& s : m_samples)
        most = qMax(most, s.liveBoxes);
    return most;
}
