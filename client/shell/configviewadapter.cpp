#include "shell/configviewadapter.h"
#include "shell/skinimageadapter.h"

#include "console/configview.h"
#include "session/recordersession.h"
#include "shell/clientsessionhub.h"
#include "shell/mainwindow.h"
#include "widgets/messagedlg.h"

ConfigViewAdapter::ConfigViewAdapter(MainWindow* hub)
    : m_hub(hub)
{}

ConfigViewAdapter::~ConfigViewAdapter()
{
    delete m_view.data();
}

void ConfigViewAdapter::exeConfigView()
{
    if (m_view)
        return;
    auto* view = new ConfigView(this, m_hub);
    view->setSlot(0);
    view->setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowCloseButtonHint);
    view->setMaximumSize(view->size());
    m_view = view;
    view->show();
}

RemoteConsole* ConfigViewAdapter::Console() const
{
    return m_view.data();
}

int ConfigViewAdapter::RecorderIndex() const
{
    return m_view ? m_view->recorderIndex() : -1;
}

RecorderSession* ConfigViewAdapter::Device(int recorder) const
{
    const ClientSessionHub* sessions = m_hub->Sessions();
    return sessions ? sessions->GetDevice(recorder) : nullptr;
}

bool ConfigViewAdapter::RecorderExists(int recorder) const
{
    return Device(recorder) != nullptr;
}

void ConfigViewAdapter::StartConnect(int recorder, int option)
{
    if (RecorderSession* device = Device(recorder))
        device->StartConnect(option);
}

void ConfigViewAdapter::SendMousePos(int recorder, int x, int y, int button, int extra)
{
    if (RecorderSession* device = Device(recorder))
        device->SendMousePos(x, y, button, extra);
}

void ConfigViewAdapter::RequestConsoleData(int recorder, int value)
{
    if (RecorderSession* device = Device(recorder))
        device->RequestConsoleData(value);
}

void ConfigViewAdapter::SendConsoleMode(int recorder, int mode)
{
    if (RecorderSession* device = Device(recorder))
        device->SendConsoleMode(mode);
}

QImage ConfigViewAdapter::GetChannelImage(int recorder, int channel) const
{
    const RecorderSession* device = Device(recorder);
    return device ? device->GetChannelImage(channel) : QImage();
}

QByteArray ConfigViewAdapter::ConsoleLayoutText(int recorder, int size) const
{
    const RecorderSession* device = Device(recorder);
    return device ? device->GetConsoleLayout(size) : QByteArray();
}

void ConfigViewAdapter::ShowMessageBox(const QString& title, const QString& text, const QString& option)
{
    m_hub->ShowMessageBox(title, text, option);
}

void ConfigViewAdapter::ShowModalMessage(const QString& title, const QString& text)
{
    MessageDlg box(m_hub, MessageDlg::Fixed);
    box.SetText(title, text);
    box.exec();
}

QPixmap ConfigViewAdapter::LoadDeviceImage(const QString& name, int folder, int recorder) const
{
    const ClientSessionHub* sessions = m_hub->Sessions();
    return sessions ? SkinImageAdapter::LoadDeviceImage(*sessions, name, folder, recorder) : QPixmap();
}

void ConfigViewAdapter::StartAudioOutput()
{
    m_hub->startAudioOutput();
}

void ConfigViewAdapter::StopAudioOutput()
{
    m_hub->stopAudioOutput();
}

QString ConfigViewAdapter::ProgramDirectory() const
{
    return m_hub->ProgramDirectory();
}

void ConfigViewAdapter::CloseConfigView(int)
{
    // The window closes itself (and is deleted on close); the main window only forgets it.
    m_view.clear();
}
