#pragma once
// Reads one console layout document into a ConsoleLayout: the "zent" 1.0 frame, the root's
// channel, and each known element with its rectangles converted through the console area.
// Every count, length and number is bounded before use; unknown elements are skipped whole.
// Widget-free.
#include "console/consolearea.h"
#include "console/consolelayout.h"

#include <QXmlStreamReader>

class QIODevice;

class ConfigLayoutParser
{
public:
    explicit ConfigLayoutParser(const ConsoleArea& area);

    ConsoleLayout Read(QIODevice* device);
    ConsoleLayout Read(const QByteArray& document);

private:
    ConsoleLayout ReadStream();
    void ReadElements(ConsoleLayout& layout);
    void Keep(ConsoleLayout& layout, ConsoleElement element);
    bool ReadLabel(ConsoleElement& element);
    bool ReadButton(ConsoleElement& element, bool plain);
    void ReadWindow(ConsoleElement& element);
    void ReadImage(ConsoleElement& element);
    void ReadRange(ConsoleElement& element, bool rows);
    void ReadCommon(ConsoleElement& element);
    void ReadImageChildren(ConsoleElement& element);
    static void CollectRestartZones(ConsoleLayout& layout);

    QString Text(const char* name) const;
    int Number(const char* name) const;

    ConsoleArea m_area;
    QXmlStreamReader m_xml;
};
