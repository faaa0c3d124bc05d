#pragma once
// "Find" over recorder names, one hit at a time: in the site book tree (recorders under the
// find scope, by recorder slot), or in the central-server console's validation tree. Each press
// selects the next recorder of exactly that name and starts over after the last one.
#include <functional>

#include "widgets/cpopupdialog.h"

class QLabel;
class QLineEdit;
class QPushButton;
class SiteBookTreeWidget;

class CFindDvrDialog : public CPopupDialog
{
    Q_OBJECT

public:
    // The validation tree's search: the next recorder of that name after a position; returns
    // the hit's position.
    using ValidationFinder = std::function<int(const QString& name, int lastPosition)>;

    explicit CFindDvrDialog(QWidget* parent = nullptr);

    // Title "Validation" (true) or "SiteBook" (false).
    void setFindMode(bool validation);
    bool IsValidationMode() const { return m_validation; }
    void SetSiteBook(SiteBookTreeWidget* tree) { m_tree = tree; }
    void SetValidationFinder(ValidationFinder finder) { m_validationFinder = std::move(finder); }
    void SetLastPosition(int position) { m_lastPosition = position; }
    int LastPosition() const { return m_lastPosition; }
    QString SearchText() const { return m_searchText; }
    QLineEdit* NameEdit() const { return m_pEdit; }

public slots:
    void onOKButtonClicked();
    void onCancelButtonClicked();

private:
    QString m_searchText;
    int m_lastPosition = 0;
    bool m_validation = false;
    SiteBookTreeWidget* m_tree = nullptr;
    ValidationFinder m_validationFinder;
    QLabel* m_pLabel = nullptr;
    QLineEdit* m_pEdit = nullptr;
    QPushButton* m_pFind = nullptr;
    QPushButton* m_pClose = nullptr;
};
