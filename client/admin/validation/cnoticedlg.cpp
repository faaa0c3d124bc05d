#include "validation/cnoticedlg.h"

#include <QFrame>
#include <QLineEdit>
#include <QPushButton>
#include <QTextEdit>

CNoticeDlg::CNoticeDlg(QWidget* parent)
    : CPopupDialog(parent)
    , m_title(new QLineEdit(this))
    , m_text(new QTextEdit(this))
{
    setWindowTitle(QStringLiteral("Notice"));
    setStyleSheet(QStringLiteral("QPushButton {min-width : 100px;}"));
    m_title->setGeometry(10, 30, 400, 20);
    m_text->setGeometry(10, 60, 400, 300);
    m_title->setEnabled(false);
    m_text->setEnabled(false);
    m_text->setAcceptRichText(false);
    auto* rule = new QFrame(this);
    rule->setFrameShape(QFrame::HLine);
    rule->setGeometry(10, 365, 400, 2);
    auto* close = new QPushButton(QStringLiteral("Close"), this);
    close->setGeometry(215, 380, 195, 25);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    setFixedSize(420, 415);
}

void CNoticeDlg::SetNotice(const QString& title, const QString& contents)
{
    m_title->setText(title);
    m_text->setPlainText(contents);
}
