#pragma once
// Adds, changes or shows one group of the validation tree: its name and description.
#include "widgets/cpopupdialog.h"

class QLineEdit;
class QPushButton;
class ValidationHub;

class CAddGroupDialog : public CPopupDialog
{
    Q_OBJECT
public:
    CAddGroupDialog(ValidationHub& hub, QWidget* parent = nullptr);

    // Shows the stored name and description; read-only hides OK.
    void SetGroup(bool readOnly);

    QString name;
    QString description;

public slots:
    void onOKButtonClicked();
    void onCancelButtonClicked();

private:
    ValidationHub& m_hub;
    QLineEdit* m_name;
    QLineEdit* m_description;
    QPushButton* m_ok;
    QPushButton* m_cancel;
};
