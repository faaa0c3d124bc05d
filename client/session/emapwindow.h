#pragma once
// What a recorder session calls back on the e-map window that asked it to connect: open the
// recorder's map and place its cameras (connect purpose 5), or place the next camera of an
// e-map entry (purpose 6). A window makes itself the active one just before it asks a recorder
// to connect, and leaves that place when it goes away; without an active window the callbacks
// are skipped.
#include <QString>

class SiteBook;

class EmapWindow
{
public:
    virtual ~EmapWindow();

    virtual void openEmap(const QString& path) = 0;
    // Places a camera of the window's recorder at the record's posX/posY.
    virtual void createDeviceCamera(SiteBook record, int channel, bool cameraMap) = 0;
    virtual void refreshCameras() = 0;

    static EmapWindow* Active();
    static void SetActive(EmapWindow* window);
};
