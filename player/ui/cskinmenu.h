#pragma once
// A menu whose items carry small images from an image list and are drawn by SkinMenuStyle in the
// flat or classic look. The tile grid's context menu is one; its texts come from the language
// table through SetItemText.
#include <QHash>
#include <QIcon>
#include <QMenu>
#include <QVector>

class SkinMenuStyle;

// One entry of a menu template: a command, a separator or a popup with its own entries.
struct SkinMenuTemplateItem
{
    QString text;
    int id = 0;
    bool separator = false;
    bool checkable = false;
    QVector<SkinMenuTemplateItem> children;
};

class CSkinMenu : public QMenu
{
    Q_OBJECT
public:
    explicit CSkinMenu(QWidget* parent = nullptr);
    ~CSkinMenu() override;

    // Whether a menu is a CSkinMenu (or one of its popups).
    static bool IsSkinMenu(const QMenu* menu);

    // Builds the menu from a template: popups become skinned popups, shortcut parts are aligned
    // per popup. False for an empty template.
    bool LoadMenu(const QVector<SkinMenuTemplateItem>& entries);
    // Adds an item, or changes the item that already has the command id.
    QAction* AppendItem(const QString& text, int id, int image = -1);
    bool ModifyItem(const QString& text, int id, int image = -1);
    // Replaces the text of the command id in this menu or any popup below it (depth first).
    bool SetItemText(int id, const QString& text);
    // The popup holding the command id and its position there; false when none holds it.
    bool FindMenuOf(int id, QMenu** menu, int* position) const;
    // The images the items refer to by index (shared: the menu never changes the list).
    void SetImageList(const QVector<QIcon>& images);
    // Before the popup opens: items added since get a record (and their image), records of removed
    // items are freed. Returns the number of new records.
    int PreparePopup();
    int Records() const { return m_images.size(); }
    static int CommandOf(const QAction* action);

private:
    QAction* FindAction(int id) const;
    void ApplyImage(QAction* action, int image) const;
    void AlignShortcuts();

    SkinMenuStyle* m_style; // a child of the menu
    QVector<QIcon> m_imageList;
    QHash<QAction*, int> m_images; // item record: the image index (-1: none)
};
