#pragma once
// Reads one console layout into the console window: the widget-free ConfigLayoutParser reads and
// converts the document, then this builds one skinned widget per element as the window's
// children and reports whether the layout is a shutdown page and which channel it names.
#include "console/consolearea.h"
#include "console/consolelayout.h"

#include <QCoreApplication>

class ConfigView;
class QIODevice;
class QWidget;

class ConfigXmlReader
{
    Q_DECLARE_TR_FUNCTIONS(ConfigXmlReader)
public:
    explicit ConfigXmlReader(ConfigView* view);

    void setStartMousePos(int x, int y);
    void setWidgetSize(int width, int height);
    void setResolutionInfo(int x, int y);
    // True when the document was read without an error. A document whose root is not a "zent"
    // 1.0 frame builds nothing and leaves the old layout; one that breaks later keeps what was
    // built up to the error.
    bool read(QIODevice* device);

    int shutdownPage() const { return m_shutdownPage; }
    int channel() const { return m_channel; }
    const ConsoleLayout& layout() const { return m_layout; }

private:
    void Build();
    QWidget* Create(const ConsoleElement& element);
    QWidget* CreateWindow(const ConsoleElement& element);
    QWidget* CreateLabel(const ConsoleElement& element);
    QWidget* CreateButton(const ConsoleElement& element);
    QWidget* CreateImage(const ConsoleElement& element);
    QWidget* CreateRange(const ConsoleElement& element);

    ConfigView* m_view;
    int m_shutdownPage = 0;
    int m_channel = -1;
    ConsoleArea m_area;
    ConsoleLayout m_layout;
};
