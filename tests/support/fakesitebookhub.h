#pragma once
// A site book hub for tests: it records what the site book asks of the main window (modal boxes,
// book loads and saves, the windows its menu opens) instead of doing it. It installs itself
// while it lives and gives the previous hub back.
#include <QString>
#include <QStringList>

#include "sitebook/sitebookhub.h"

class FakeSiteBookHub : public SiteBookHub
{
public:
    FakeSiteBookHub();
    ~FakeSiteBookHub() override;
    FakeSiteBookHub(const FakeSiteBookHub&) = delete;
    FakeSiteBookHub& operator=(const FakeSiteBookHub&) = delete;

    // Each call as "title|text".
    void ShowModalMessage(const QString& title, const QString& text) override
    {
        modalMessages << title + QLatin1Char('|') + text;
    }
    void loadSiteBook(const QString& path, bool) override { loadedBooks << path; }
    void saveSiteBook(const QString& path) override { savedBooks << path; }
    void exeAccountManager() override { opened << QStringLiteral("account manager"); }
    void exeFirmwareManager() override { opened << QStringLiteral("firmware manager"); }
    void createAVIConvert() override { opened << QStringLiteral("convert"); }
    void OpenDeviceInLiveView(int deviceIndex) override { opened << QStringLiteral("live %1").arg(deviceIndex); }
    void OpenFavoriteInLiveView(int layout, const QString& devices, const QString& channels) override
    {
        opened << QStringLiteral("favorite %1 %2 %3").arg(layout).arg(devices, channels);
    }
    void StartRemoteSearch(int deviceIndex, int date, int time) override
    {
        opened << QStringLiteral("search %1 %2 %3").arg(deviceIndex).arg(date).arg(time);
    }

    QStringList modalMessages;
    QStringList loadedBooks;
    QStringList savedBooks;
    QStringList opened;

private:
    SiteBookHub* m_previous = nullptr;
};
