#pragma once
// What the site book reaches of the main window hub besides the recorder table (which it reads
// through the session hub): its files, the windows its menu opens, and the live windows a
// recorder or favorite opens into. The main window implements it and installs itself; without
// a hub these calls do nothing.
#include <QString>

class SiteBookHub
{
public:
    virtual ~SiteBookHub() = default;

    // A box that waits for the user.
    virtual void ShowModalMessage(const QString& title, const QString& text) = 0;
    virtual void loadSiteBook(const QString& path, bool clear) = 0;
    virtual void saveSiteBook(const QString& path) = 0;
    virtual void exeAccountManager() = 0;
    virtual void exeFirmwareManager() = 0;
    virtual void createAVIConvert() = 0;
    // Opens the send e-mail dialog with a file of the archive: kind 1 a recording (sent with its
    // index file), 2 a snapshot, 0 nothing attached.
    virtual void sendEmail(const QString& /*path*/, int /*kind*/) {}
    // Shows every channel of a recorder in the active live window, or a new one when none is.
    virtual void OpenDeviceInLiveView(int deviceIndex) = 0;
    virtual void OpenFavoriteInLiveView(int layout, const QString& devices, const QString& channels) = 0;
    // Opens the recorder in a remote playback window from the date (YYYYMMDD) and time (HHMMSS),
    // or, both -1, from the day the operator picks.
    virtual void StartRemoteSearch(int deviceIndex, int date, int time) = 0;

    // E-map windows (their library sits above the site book): a recorder's map (channel -1) or a
    // camera's own picture, and an e-map entry of the e-map book.
    virtual void OpenEmapView(int /*deviceIndex*/, int /*channel*/) {}
    virtual void OpenEmapEntry(const QString& /*name*/, const QString& /*emapPath*/, const QString& /*emapPos*/,
                               const QString& /*devices*/, const QString& /*channels*/, int /*emapIndex*/)
    {}

    // What the server-pushed edits read and tell of the hub: the bulk-load flag (set while the
    // central server's site book loads), the connect setting (recorders are queued for connection
    // only while it reads "0"), the pending-connect count the tool bar shows, the reconnect count.
    virtual bool IsBulkLoading() const { return false; }
    virtual QString ConnectSetting() const { return QStringLiteral("0"); }
    virtual void SetPendingConnectCount(int /*count*/) {}
    virtual void CountReconnect() {}

    static SiteBookHub* Instance();
    static void Install(SiteBookHub* hub);
};
