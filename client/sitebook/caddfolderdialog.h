#pragma once
// Asks one name: a folder of the site book, a camera title, an e-map entry or a favorite. The
// caller runs it modally and reads `name` after exec() returned 1. It writes no record or file.
#include <QString>

#include "widgets/cpopupdialog.h"

class QLabel;
class QLineEdit;
class QPushButton;

class CAddFolderDialog : public CPopupDialog
{
    Q_OBJECT

public:
    // What the name is for; chooses the text shown when OK is pressed on an empty name.
    enum class Mode {
        Folder = 0,
        Emap = 1,
        Favorites = 2,
    };

    explicit CAddFolderDialog(QWidget* parent = nullptr);

    // E-map entries: title "eMap", label "Name".
    void setEmapMode();
    // Favorites: title "Favorites", label "Name".
    void setFavoritesMode();
    // Puts the name into the edit; the label reads "Camera Name" when cameraFlag is 1, else
    // "Folder Name".
    void setText(const QString& text, int cameraFlag);
    // Puts the name into the edit and leaves the label as it is.
    void setName(const QString& text);

    // The edit's text when OK or Cancel was pressed.
    QString name;
    Mode mode = Mode::Folder;

public slots:
    void onOKButtonClicked();
    void onCancelButtonClicked();

private:
    QLabel* m_pLabel = nullptr;
    QLineEdit* m_pEdit = nullptr;
    QPushButton* m_pOk = nullptr;
    QPushButton* m_pCancel = nullptr;
};
