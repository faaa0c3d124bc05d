#include "validation/validationformlayout.h"

#include <QDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

QFormLayout* ValidationFormLayout::Frame(QDialog* dialog, QPushButton* ok, QPushButton* cancel)
{
    dialog->setStyleSheet(QStringLiteral("QPushButton {min-width : 100px;}"));
    auto* form = new QFormLayout;
    form->setLabelAlignment(Qt::AlignLeft);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* column = new QVBoxLayout(dialog);
    column->addLayout(form);
    column->addLayout(buttons);
    ok->setDefault(true);
    return form;
}

void ValidationFormLayout::ShowButtons(QPushButton* ok, QPushButton* cancel, bool viewOnly)
{
    ok->setVisible(!viewOnly);
    cancel->setText(viewOnly ? QStringLiteral("Close") : QStringLiteral("Cancel"));
}
