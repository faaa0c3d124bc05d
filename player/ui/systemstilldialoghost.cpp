#include "ui/systemstilldialoghost.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>

SystemStillDialogHost::SystemStillDialogHost(std::function<QString(const QString&)> text, QWidget* parent)
    : m_text(std::move(text))
    , m_parent(parent)
{}

QString SystemStillDialogHost::Text(const QString& key) const
{
    return m_text ? m_text(key) : key;
}

void SystemStillDialogHost::ShowMessage(const QString& text, const QString& caption)
{
    QMessageBox::information(m_parent, caption, text, QMessageBox::Ok);
}

QString SystemStillDialogHost::AskSavePath(const QString& proposed)
{
    QFileDialog dialog(m_parent);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("jpg"));
    dialog.setNameFilters({QStringLiteral("JPEG Files(*.jpg)"), QStringLiteral("Bitmap Files(*.bmp)"),
                           QStringLiteral("All Files(*.*)")});
    dialog.selectFile(proposed);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return QString();
    }
    return dialog.selectedFiles().first();
}

bool SystemStillDialogHost::AskPrinter(QPrinter* printer)
{
    if (QPrinterInfo::availablePrinters().isEmpty()) {
        const QString path = QFileDialog::getSaveFileName(m_parent, QStringLiteral("Live Print"),
                                                          QStringLiteral("Live Print.pdf"),
                                                          QStringLiteral("PDF Files(*.pdf)"));
        if (path.isEmpty()) {
            return false;
        }
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(path);
        return true;
    }
    QPrintDialog dialog(printer, m_parent);
    dialog.setMinMax(1, 2);
    dialog.setFromTo(1, 1);
    return dialog.exec() == QDialog::Accepted;
}
