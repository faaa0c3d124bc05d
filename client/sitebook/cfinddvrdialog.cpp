#include "sitebook/cfinddvrdialog.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "sitebook/sitebooktreewidget.h"

CFindDvrDialog::CFindDvrDialog(QWidget* parent)
    : CPopupDialog(parent)
{
    setWindowTitle(QStringLiteral("SiteBook"));
    setStyleSheet(QStringLiteral("QPushButton {min-width : 100px;}"));

    m_pLabel = new QLabel(QStringLiteral("DVR Name"), this);
    m_pEdit = new QLineEdit(this);
    m_pEdit->setObjectName(QStringLiteral("edit"));
    m_pFind = new QPushButton(QStringLiteral("Find"), this);
    m_pFind->setObjectName(QStringLiteral("findButton"));
    m_pClose = new QPushButton(QStringLiteral("Close"), this);
    m_pClose->setObjectName(QStringLiteral("closeButton"));

    auto* line = new QLabel(this);
    line->setFrameStyle(QFrame::HLine | QFrame::Sunken);

    auto* nameRow = new QHBoxLayout;
    nameRow->addWidget(m_pLabel);
    nameRow->addWidget(m_pEdit);
    auto* lineRow = new QHBoxLayout;
    lineRow->addWidget(line);
    auto* buttonRow = new QHBoxLayout;
    buttonRow->addWidget(m_pFind);
    buttonRow->addWidget(m_pClose);
    auto* column = new QVBoxLayout(this);
    column->addLayout(nameRow);
    column->addLayout(lineRow);
    column->addLayout(buttonRow);

    connect(m_pFind, &QPushButton::clicked, this, &CFindDvrDialog::onOKButtonClicked);
    connect(m_pClose, &QPushButton::clicked, this, &CFindDvrDialog::onCancelButtonClicked);
}

void CFindDvrDialog::setFindMode(bool validation)
{
    m_validation = validation;
    setWindowTitle(validation ? QStringLiteral("Validation") : QStringLiteral("SiteBook"));
}

void CFindDvrDialog::onOKButtonClicked()
{
    m_searchText = m_pEdit->text();
    if (m_searchText.isEmpty())
        return;
    if (!m_validation) {
        if (m_tree)
            m_tree->findDvr(m_tree->LastFoundIndex(), m_searchText, false);
        return;
    }
    if (m_validationFinder)
        m_lastPosition = m_validationFinder(m_searchText, m_lastPosition);
}

void CFindDvrDialog::onCancelButtonClicked()
{
    m_searchText = m_pEdit->text();
    done(0);
}
