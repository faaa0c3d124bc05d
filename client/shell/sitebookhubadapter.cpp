#include "shell/sitebookhubadapter.h"

#include "shell/mainwindow.h"

void SiteBookHubAdapter::ShowModalMessage(const QString& title, const QString& text)
{
    m_window.ShowModalMessage(title, text);
}

void SiteBookHubAdapter::loadSiteBook(const QString& path, bool clear)
{
    m_window.loadSiteBook(path, clear);
}

void SiteBookHubAdapter::saveSiteBook(const QString& path)
{
    m_window.saveSiteBook(path);
}

void SiteBookHubAdapter::exeAccountManager()
{
    m_window.exeAccountManager();
}

void SiteBookHubAdapter::exeFirmwareManager()
{
    m_window.exeFirmwareManager();
}

void SiteBookHubAdapter::createAVIConvert()
{
    m_window.createAVIConvert();
}

void SiteBookHubAdapter::sendEmail(const QString& path, int kind)
{
    m_window.sendEmail(path, kind);
}

void SiteBookHubAdapter::OpenDeviceInLiveView(int deviceIndex)
{
    m_window.OpenDeviceInLiveView(deviceIndex);
}

void SiteBookHubAdapter::OpenFavoriteInLiveView(int layout, const QString& devices, const QString& channels)
{
    m_window.OpenFavoriteInLiveView(layout, devices, channels);
}

void SiteBookHubAdapter::StartRemoteSearch(int deviceIndex, int date, int time)
{
    m_window.StartRemoteSearch(deviceIndex, date, time);
}

void SiteBookHubAdapter::OpenEmapView(int deviceIndex, int channel)
{
    m_window.OpenEmapView(deviceIndex, channel);
}

void SiteBookHubAdapter::OpenEmapEntry(const QString& name, const QString& emapPath, const QString& emapPos,
                                       const QString& devices, const QString& channels, int emapIndex)
{
    m_window.OpenEmapEntry(name, emapPath, emapPos, devices, channels, emapIndex);
}
