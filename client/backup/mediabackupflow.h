#pragma once
// The recorder-side media backup as both remote media pages drive it: the media check, an
// erase or format when the medium asks for one, the start, the progress of every medium and the
// question for the next one. The page says how to start (one range or a list), how to show a
// status, how to ask the user and how to end; every failure and every finish ends through the
// page's reset, which tells the recorder to stop and close.
#include <QString>
#include <QtGlobal>

#include <functional>

class RecorderSession;

class MediaBackupFlow
{
public:
    struct Page
    {
        std::function<RecorderSession*()> device;
        // The status text after "Status : ".
        std::function<void(const QString&)> status;
        // A question (title, text; OK and Cancel when the flag is set, else Yes and No).
        std::function<bool(const QString&, const QString&, bool)> ask;
        // Sends the start of the first medium ("Preparing" is shown first).
        std::function<void()> start;
        // Ends the run.
        std::function<void()> reset;
        // Megabytes the run writes.
        std::function<int()> totalMB;
    };

    // What keeps a Start from beginning, in words that say what to mend (empty: it may begin):
    // no rows yet (`emptyText` says how to get them), no row ticked, nothing in the ticked rows,
    // or more than the limit (`limitText`).
    static QString StartProblem(int rows, bool anyTicked, qint64 totalMB, qint64 limitMB, const QString& emptyText,
                                const QString& limitText);

    explicit MediaBackupFlow(Page page)
        : m_page(std::move(page))
    {}

    // The run begins with a check of the medium of this kind (0 CD/DVD, 2 USB storage).
    void Begin(quint8 mediaKind);
    // The medium kind of the pages' media choice (index 1 is USB storage).
    static quint8 MediaKindOfChoice(int choice) { return choice == 1 ? 2 : 0; }
    // Tells the recorder to stop the run and close its medium.
    void SendStop() const;
    void OnMedia(short state, short freeMB);
    void OnErase(char result);
    void OnRate(char state, char percent, char discs, char discIndex);

    quint8 MediaKind() const { return m_mediaKind; }
    int DiscNumber() const { return m_discNumber; }

private:
    bool Usb() const { return m_mediaKind == 2; }
    void StartOrPrepare();
    void Start();

    Page m_page;
    quint8 m_mediaKind = 0;
    int m_discNumber = 0;
};
