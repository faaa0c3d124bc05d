#pragma once
// The main window's side of the site book: its boxes, book files, the windows the site book's
// menu opens and the live, playback and e-map windows a recorder or favorite opens into.
#include "sitebook/sitebookhub.h"

class MainWindow;

class SiteBookHubAdapter : public SiteBookHub
{
public:
    explicit SiteBookHubAdapter(MainWindow& window)
        : m_window(window)
    {}

    void ShowModalMessage(const QString& title, const QString& text) override;
    void loadSiteBook(const QString& path, bool clear) override;
    void saveSiteBook(const QString& path) override;
    void exeAccountManager() override;
    void exeFirmwareManager() override;
    void createAVIConvert() override;
    void sendEmail(const QString& path, int kind) override;
    void OpenDeviceInLiveView(int deviceIndex) override;
    void OpenFavoriteInLiveView(int layout, const QString& devices, const QString& channels) override;
    void StartRemoteSearch(int deviceIndex, int date, int time) override;
    void OpenEmapView(int deviceIndex, int channel) override;
    void OpenEmapEntry(const QString& name, const QString& emapPath, const QString& emapPos,
                       const QString& devices, const QString& channels, int emapIndex) override;

private:
    MainWindow& m_window;
};
