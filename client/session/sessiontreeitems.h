#pragma once
// The site book items a recorder session keeps under its own item: one camera item per permitted
// channel (and its twin under the recorder's e-map item), the recorder and camera status icons,
// and the archive: six kind items under the archive parent, each listing the recorder's day
// folders of that client recording folder and their files. Every item made here carries an entry
// record (its kind text says what it is). User-interface thread only.
#include <QIcon>
#include <QString>

#include <array>
#include <functional>

class QTreeWidgetItem;

class SessionTreeItems
{
public:
    static constexpr int kChannels = 16;
    static constexpr int kArchiveKinds = 6;

    // What the status icon of a camera item shows.
    struct ChannelStatus
    {
        bool videoLoss = false;
        bool active = false;
        bool motion = false;
    };
    using StatusOf = std::function<ChannelStatus(int channel)>;
    using TitleOf = std::function<QString(int channel)>;
    // The recorder's folder inside one of the client recording folders.
    using FolderOf = std::function<QString(const QString& kind)>;

    explicit SessionTreeItems(FolderOf recordingFolder);

    static QTreeWidgetItem* NewRecordItem(QTreeWidgetItem* parent, const QString& kind, const QString& name,
                                          const QString& path, const QString& icon);

    // ---- recorder and channel items
    void SetRecorderIcon(QTreeWidgetItem* recorderItem, bool online) const;
    // Makes the missing camera items (and e-map twins) of the permitted channels below
    // `channelCount` and sets their icons.
    void BuildChannelItems(QTreeWidgetItem* recorderItem, int recorderIndex, int channelCount, quint32 liveMask,
                           const TitleOf& titleOf, const StatusOf& statusOf);
    // A status refresh: the icons of the permitted channels' items, motion included.
    void UpdateChannelIcons(int channelCount, quint32 liveMask, const StatusOf& statusOf);
    // Only the items made here: the site book's own children belong to the site book.
    void DeleteChannelItems();
    // The items go with their recorder item; only the pointers are forgotten.
    void ForgetChannelItems();
    QTreeWidgetItem* CameraItem(int channel) const;
    void SetEmapItem(QTreeWidgetItem* emapItem) { m_emapItem = emapItem; }

    // ---- archive
    void UpdateArchiveItems(QTreeWidgetItem* archiveParent, int kind);
    void UpdateArchiveFolder(const QString& kind, QTreeWidgetItem* archiveParent);
    void AddArchiveFiles(const QString& kind, const QString& folderName, QTreeWidgetItem* folderItem);
    QTreeWidgetItem* ArchiveKindItem(const QString& kind) const;
    void ForgetArchive();

private:
    static bool ValidChannel(int channel) { return channel >= 0 && channel < kChannels; }
    const QIcon& CameraIcon(const ChannelStatus& status, bool showMotion) const;
    QTreeWidgetItem* NewCameraItem(QTreeWidgetItem* parent, const QString& kind, const QString& title,
                                   const QString& icon, int recorderIndex, int channel) const;

    FolderOf m_recordingFolder;

    QIcon m_iconCamera;
    QIcon m_iconCameraOff;
    QIcon m_iconCameraLoss;
    QIcon m_iconCameraEvent;
    QIcon m_iconDvrDisable;
    QIcon m_iconDvr;

    std::array<QTreeWidgetItem*, kChannels> m_cameraItems{};
    std::array<QTreeWidgetItem*, kChannels> m_emapCameraItems{};
    QTreeWidgetItem* m_emapItem = nullptr;

    QTreeWidgetItem* m_archiveParent = nullptr;
    std::array<QTreeWidgetItem*, kArchiveKinds> m_archiveKindItems{};
};
