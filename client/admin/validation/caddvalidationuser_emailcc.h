#pragma once
// The further e-mail addresses of an account: twenty rows, each filled with "+" (one line asked
// for) and emptied with "-". OK hands back the main address joined with every filled row.
#include "validation/emailcclist.h"

#include <QDialog>

class QLineEdit;

class CAddValidationUser_emailCC : public QDialog
{
    Q_OBJECT
public:
    explicit CAddValidationUser_emailCC(QWidget* parent = nullptr);

    void SetEmails(const QString& text);
    // What OK stored: the main address, then ";" and each address.
    QString Result() const { return m_result; }
    QLineEdit* RowEdit(int row) const;

public slots:
    void OnBtnAddEmail(int row);
    void OnBtnDelEmail(int row);
    void onOKButtonClicked();
    void onCancelButtonClicked();

private:
    void ShowRows();

    EmailCcList m_list;
    QString m_result;
    QLineEdit* m_rows[EmailCcList::kRows] = {};
};
