#include "sitebook/caddfolderdialog.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "widgets/messagedlg.h"

CAddFolderDialog::CAddFolderDialog(QWidget* parent)
    : CPopupDialog(parent)
{
    setWindowTitle(QStringLiteral("SiteBook"));
    setStyleSheet(QStringLiteral("QPushButton {min-width : 100px;}"));

    m_pLabel = new QLabel(QStringLiteral("Folder Name"), this);
    m_pLabel->setObjectName(QStringLiteral("label"));
    m_pEdit = new QLineEdit(this);
    m_pEdit->setObjectName(QStringLiteral("edit"));
    m_pOk = new QPushButton(QStringLiteral("OK"), this);
    m_pOk->setObjectName(QStringLiteral("okButton"));
    m_pCancel = new QPushButton(QStringLiteral("Cancel"), this);
    m_pCancel->setObjectName(QStringLiteral("cancelButton"));

    auto* line = new QLabel(this);
    line->setFrameStyle(QFrame::HLine | QFrame::Sunken);

    auto* nameRow = new QHBoxLayout;
    nameRow->addWidget(m_pLabel);
    nameRow->addWidget(m_pEdit);
    auto* buttonRow = new QHBoxLayout;
    buttonRow->addWidget(m_pOk);
    buttonRow->addWidget(m_pCancel);
    auto* column = new QVBoxLayout(this);
    column->addLayout(nameRow);
    column->addWidget(line);
    column->addLayout(buttonRow);

    m_pOk->setDefault(true);
    connect(m_pOk, &QPushButton::clicked, this, &CAddFolderDialog::onOKButtonClicked);
    connect(m_pCancel, &QPushButton::clicked, this, &CAddFolderDialog::onCancelButtonClicked);
}

void CAddFolderDialog::setEmapMode()
{
    m_pEdit->setEnabled(true);
    setWindowTitle(QStringLiteral("eMap"));
    m_pLabel->setText(QStringLiteral("Name"));
    m_pOk->show();
    m_pCancel->setText(QStringLiteral("Cancel"));
    mode = Mode::Emap;
}

void CAddFolderDialog::setFavoritesMode()
{
    setWindowTitle(QStringLiteral("Favorites"));
    m_pLabel->setText(QStringLiteral("Name"));
    mode = Mode::Favorites;
}

void CAddFolderDialog::setText(const QString& text, int cameraFlag)
{
    m_initialName = text;
    m_pEdit->setText(text);
    m_pLabel->setText(cameraFlag == 1 ? QStringLiteral("Camera Name") : QStringLiteral("Folder Name"));
}

void CAddFolderDialog::setName(const QString& text)
{
    m_initialName = text;
    m_pEdit->setText(text);
}

void CAddFolderDialog::Refuse(const QString& title, const QString& text)
{
    MessageDlg box(this, MessageDlg::Fixed);
    box.SetText(title, text);
    box.exec();
}

void CAddFolderDialog::onOKButtonClicked()
{
    name = m_pEdit->text().trimmed();
    if (!name.isEmpty() && name != m_initialName && m_nameTaken && m_nameTaken(name)) {
        Refuse(windowTitle(), QStringLiteral("\"%1\" is already taken.").arg(name));
        return;
    }
    if (!name.isEmpty()) {
        done(1);
        return;
    }
    QString title;
    QString text;
    switch (mode) {
    case Mode::Emap:
        title = QStringLiteral("eMap");
        text = QStringLiteral("Input eMap name");
        break;
    case Mode::Favorites:
        title = QStringLiteral("Favorites");
        text = QStringLiteral("Input Favorites name");
        break;
    case Mode::Folder:
        title = QStringLiteral("SiteBook");
        text = QStringLiteral("Input folder name");
        break;
    }
    Refuse(title, text);
}

void CAddFolderDialog::onCancelButtonClicked()
{
    name = m_pEdit->text();
    done(0);
}
