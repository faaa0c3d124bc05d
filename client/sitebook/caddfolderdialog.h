#pragma once
// Asks one name: a folder of the site book, a camera title, an e-map entry or a favorite. The
// caller runs it modally and reads `name` after exec() returned 1. It writes no record or file.
#include <QString>

#include <functional>

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
    // Names already taken where the name goes: OK refuses one of them (other than the name the
    // dialog was opened with).
    void SetNameTaken(std::function<bool(const QString&)> taken) { m_nameTaken = std::move(taken); }

    // The edit's text when OK or Cancel was pressed.
    QString name;
    Mode mode = Mode::Folder;

public slots:
    void onOKButtonClicked();
    void onCancelButtonClicked();

private:
    void Refuse(const QString& title, const QString& text);

    std::function<bool(const QString&)> m_nameTaken;
    QString m_initialName;
    QLabel* m_pLabel = nullptr;
    QLineEdit* m_pEdit = nullptr;
    QPushButton* m_pOk = nullptr;
    QPushButton* m_pCancel = nullptr;
};
