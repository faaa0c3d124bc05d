#pragma once
// Puts a composed still on one landscape page of a printer: the document "Live Print", margins of
// a tenth of the width and a twentieth of the height, the page framed and the still stretched into
// the printable box.
#include <QImage>
#include <QString>

class QPrinter;

class StillPrinter
{
public:
    // An empty text when the page was printed, else why not.
    static QString Print(QPrinter* printer, const QImage& page);
};
