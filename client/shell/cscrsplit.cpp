#include "shell/cscrsplit.h"
#include "ui_cscrsplit.h"

#include <QDir>

#include "shell/settingsfiles.h"

CScrSplit::CScrSplit(QWidget* parent)
    : QWidget(parent)
    , ui(std::make_unique<Ui::CScrSplit>())
{
    ui->setupUi(this);
    // The buttons without caption show only what this sheet draws on them.
    const QString sheet = SettingsFiles::ReadStyleSheetIn(QDir::currentPath(), QStringLiteral("splite_1"));
    for (QPushButton* button :
         {ui->split1, ui->split4, ui->split9, ui->split16, ui->split13, ui->split36, ui->split49, ui->split64})
        button->setStyleSheet(sheet);
}

CScrSplit::~CScrSplit() = default;

void CScrSplit::on_split1_clicked()
{
    emit OnScrSplit(1);
}
void CScrSplit::on_split4_clicked()
{
    emit OnScrSplit(4);
}
void CScrSplit::on_split9_clicked()
{
    emit OnScrSplit(9);
}
void CScrSplit::on_split16_clicked()
{
    emit OnScrSplit(16);
}
void CScrSplit::on_split13_clicked()
{
    emit OnScrSplit(25);
}
void CScrSplit::on_split36_clicked()
{
    emit OnScrSplit(36);
}
void CScrSplit::on_split49_clicked()
{
    emit OnScrSplit(49);
}
void CScrSplit::on_split64_clicked()
{
    emit OnScrSplit(64);
}
