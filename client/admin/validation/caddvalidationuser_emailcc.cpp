#include "validation/caddvalidationuser_emailcc.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

CAddValidationUser_emailCC::CAddValidationUser_emailCC(QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Email CC list"));
    setWindowFlags(Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::WindowCloseButtonHint
                   | Qt::MSWindowsFixedSizeDialogHint);
    setStyleSheet(QStringLiteral("QPushButton {min-width : 100px;}"));

    auto* panel = new QWidget;
    auto* grid = new QGridLayout(panel);
    for (int row = 0; row < EmailCcList::kRows; ++row) {
        auto* edit = new QLineEdit(panel);
        edit->setReadOnly(true);
        edit->setFocusPolicy(Qt::NoFocus);
        edit->setObjectName(QStringLiteral("email%1").arg(row + 1));
        auto* add = new QPushButton(QStringLiteral("+"), panel);
        auto* remove = new QPushButton(QStringLiteral("-"), panel);
        // The row buttons are small; the dialog's width rule is for OK and Cancel.
        for (QPushButton* button : {add, remove}) {
            button->setStyleSheet(QStringLiteral("QPushButton {min-width : 20px;}"));
            button->setFixedWidth(24);
        }
        add->setObjectName(QStringLiteral("add%1").arg(row + 1));
        remove->setObjectName(QStringLiteral("remove%1").arg(row + 1));
        grid->addWidget(new QLabel(QStringLiteral("Email %1").arg(row + 1), panel), row, 0);
        grid->addWidget(edit, row, 1);
        grid->addWidget(add, row, 2);
        grid->addWidget(remove, row, 3);
        connect(add, &QPushButton::clicked, this, [this, row] { OnBtnAddEmail(row); });
        connect(remove, &QPushButton::clicked, this, [this, row] { OnBtnDelEmail(row); });
        m_rows[row] = edit;
    }
    auto* scroll = new QScrollArea(this);
    scroll->setWidget(panel);
    scroll->setWidgetResizable(true);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("okButton"));
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* column = new QVBoxLayout(this);
    column->addWidget(scroll);
    column->addLayout(buttons);
    connect(ok, &QPushButton::clicked, this, &CAddValidationUser_emailCC::onOKButtonClicked);
    connect(cancel, &QPushButton::clicked, this, &CAddValidationUser_emailCC::onCancelButtonClicked);
    setFixedSize(295, 297);
}

QLineEdit* CAddValidationUser_emailCC::RowEdit(int row) const
{
    return row >= 0 && row < EmailCcList::kRows ? m_rows[row] : nullptr;
}

void CAddValidationUser_emailCC::ShowRows()
{
    for (int row = 0; row < EmailCcList::kRows; ++row) {
        m_rows[row]->setText(m_list.Row(row));
        // A long address shows its beginning.
        m_rows[row]->setCursorPosition(0);
    }
}

void CAddValidationUser_emailCC::SetEmails(const QString& text)
{
    m_list.SetEmails(text);
    m_result = text;
    ShowRows();
}

void CAddValidationUser_emailCC::OnBtnAddEmail(int row)
{
    bool confirmed = false;
    const QString address = QInputDialog::getText(this, QStringLiteral("Email"), QStringLiteral("Email Address"),
                                                  QLineEdit::Normal, m_list.Row(row), &confirmed);
    if (!confirmed)
        return;
    m_list.SetRow(row, address.trimmed());
    ShowRows();
}

void CAddValidationUser_emailCC::OnBtnDelEmail(int row)
{
    m_list.SetRow(row, QString());
    ShowRows();
}

void CAddValidationUser_emailCC::onOKButtonClicked()
{
    m_result = m_list.Result();
    done(QDialog::Accepted);
}

void CAddValidationUser_emailCC::onCancelButtonClicked()
{
    done(QDialog::Rejected);
}
