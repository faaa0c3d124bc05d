#include "ui/cskinmenu.h"

#include "playback/skinmenulook.h"
#include "ui/skinmenustyle.h"

#include <QFontMetrics>
#include <QSet>

namespace {

// Every skinned menu alive, to recognise them among other menus.
QSet<const QMenu*>& Registry()
{
    static QSet<const QMenu*> menus;
    return menus;
}

} // namespace

CSkinMenu::CSkinMenu(QWidget* parent)
    : QMenu(parent)
    , m_style(new SkinMenuStyle)
{
    m_style->setParent(this);
    setStyle(m_style);
    Registry().insert(this);
    connect(this, &QMenu::aboutToShow, this, &CSkinMenu::PreparePopup);
}

CSkinMenu::~CSkinMenu()
{
    Registry().remove(this);
}

bool CSkinMenu::IsSkinMenu(const QMenu* menu)
{
    return menu && Registry().contains(menu);
}

int CSkinMenu::CommandOf(const QAction* action)
{
    return action ? action->data().toInt() : 0;
}

bool CSkinMenu::LoadMenu(const QVector<SkinMenuTemplateItem>& entries)
{
    if (entries.isEmpty()) {
        return false;
    }
    for (const SkinMenuTemplateItem& entry : entries) {
        if (entry.separator) {
            m_images.insert(addSeparator(), -1);
        } else if (!entry.children.isEmpty()) {
            auto* popup = new CSkinMenu(this);
            popup->setTitle(entry.text);
            popup->SetImageList(m_imageList);
            popup->LoadMenu(entry.children);
            addMenu(popup);
        } else {
            QAction* action = AppendItem(entry.text, entry.id);
            action->setCheckable(entry.checkable);
        }
    }
    AlignShortcuts();
    return true;
}

QAction* CSkinMenu::FindAction(int id) const
{
    for (QAction* action : actions()) {
        if (!action->isSeparator() && !action->menu() && CommandOf(action) == id) {
            return action;
        }
    }
    return nullptr;
}

void CSkinMenu::ApplyImage(QAction* action, int image) const
{
    action->setIcon(image >= 0 && image < m_imageList.size() ? m_imageList[image] : QIcon());
}

QAction* CSkinMenu::AppendItem(const QString& text, int id, int image)
{
    QAction* action = FindAction(id);
    if (!action) {
        action = addAction(text);
        action->setData(id);
    } else {
        action->setText(text);
    }
    m_images.insert(action, image);
    ApplyImage(action, image);
    return action;
}

bool CSkinMenu::ModifyItem(const QString& text, int id, int image)
{
    if (!FindAction(id)) {
        return false;
    }
    AppendItem(text, id, image);
    return true;
}

bool CSkinMenu::SetItemText(int id, const QString& text)
{
    QMenu* menu = nullptr;
    int position = -1;
    if (!FindMenuOf(id, &menu, &position)) {
        return false;
    }
    menu->actions().at(position)->setText(text);
    return true;
}

bool CSkinMenu::FindMenuOf(int id, QMenu** menu, int* position) const
{
    const QList<QAction*> items = actions();
    for (int i = 0; i < items.size(); ++i) {
        QAction* action = items[i];
        if (auto* popup = qobject_cast<CSkinMenu*>(action->menu())) {
            if (popup->FindMenuOf(id, menu, position)) {
                return true;
            }
        } else if (!action->isSeparator() && CommandOf(action) == id) {
            *menu = const_cast<CSkinMenu*>(this);
            *position = i;
            return true;
        }
    }
    return false;
}

void CSkinMenu::SetImageList(const QVector<QIcon>& images)
{
    m_imageList = images;
    for (auto it = m_images.begin(); it != m_images.end(); ++it) {
        ApplyImage(it.key(), it.value());
    }
}

int CSkinMenu::PreparePopup()
{
    const QList<QAction*> items = actions();
    int added = 0;
    for (QAction* action : items) {
        if (!m_images.contains(action)) {
            m_images.insert(action, -1);
            ++added;
        }
    }
    for (auto it = m_images.begin(); it != m_images.end();) {
        it = items.contains(it.key()) ? std::next(it) : m_images.erase(it);
    }
    return added;
}

void CSkinMenu::AlignShortcuts()
{
    const QFontMetrics metrics(font());
    QList<QAction*> items;
    QStringList texts;
    for (QAction* action : actions()) {
        if (!action->isSeparator() && !action->menu()) {
            items << action;
            texts << action->text();
        }
    }
    const QStringList aligned = SkinMenuLook::AlignShortcuts(
        texts, [&metrics](const QString& text) { return metrics.horizontalAdvance(text); });
    for (int i = 0; i < items.size(); ++i) {
        items[i]->setText(aligned[i]);
    }
}
