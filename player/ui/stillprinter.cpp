#include "ui/stillprinter.h"

#include <QPainter>
#include <QPrinter>

QString StillPrinter::Print(QPrinter* printer, const QImage& page)
{
    printer->setDocName(QStringLiteral("Live Print"));
    printer->setPageOrientation(QPageLayout::Landscape);
    printer->setCopyCount(1);
    printer->setFullPage(false);
    QPainter painter;
    if (!painter.begin(printer)) {
        return QStringLiteral("The printer could not start the page.");
    }
    const QRect area = painter.viewport();
    const int width = area.width();
    const int height = area.height();
    const int left = width / 10;
    const int top = height / 20;
    painter.fillRect(area, Qt::white);
    painter.setPen(QPen(Qt::black, std::max(1, width / 1000)));
    painter.drawRect(area.adjusted(0, 0, -1, -1));
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(QRect(left, top, width - 2 * left, height - 2 * top), page);
    if (!painter.end()) {
        return QStringLiteral("The printer did not take the page.");
    }
    return QString();
}
