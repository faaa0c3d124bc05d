#pragma once
// The remote media list backup page: up to 16 ranges, each sized by the recorder when it is
// added ("Add List"), written together by the recorder to its own CD/DVD or USB medium. The
// media steps are those of the single-range page (MediaBackupFlow).
//
// Ranges wait for their size in the order they were asked for, and each reply takes the oldest
// waiting range, so no row gets another range's times however the replies are spaced.
#include <QModelIndex>
#include <QVector>

#include <deque>
#include <memory>

#include "backup/mediabackuppage.h"
#include "backup/mediarangeform.h"
#include "net/requestbuilder.h"

class CListBackupModel;

class CCDListBackup : public MediaBackupPage
{
    Q_OBJECT
public:
    static constexpr int kMaxRows = 16;
    static constexpr int kLimitMB = 49152;

    explicit CCDListBackup(QWidget* parent = nullptr);
    ~CCDListBackup() override;

    void SetRange(const MediaRange& range) { m_form->SetRange(range); }

    // A pending range overlaps a listed (or still waiting) one unless they only touch.
    bool CheckOverlapTimeFromModel() const;
    static QString ConvertTextFromChannelBits(int bits, int channelCount);
    int GetTotalSizeFromModel() const;
    void SetListBackupFromModel();

    CListBackupModel* Model() const { return m_model.get(); }
    int PendingCount() const { return int(m_pending.size()); }
    const QVector<RequestBuilder::ListBackupEntry>& RangeList() const { return m_rangeList; }

public slots:
    void OnListClicked(QModelIndex index);
    void OnClearList();
    void OnGetList();
    void OnAddBackupCapa(int channel, int videoChannels, int sizeMB);
    void OnAddBackupCapaAll(int mask, int channelCount, int totalMB);
    void OnBackupStart() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    struct PendingRange
    {
        MediaRange range;
        quint32 mask = 0;
    };

    void BindSizeAnswer(RecorderSession* device) override;
    // Sizes asked of an earlier recorder will not come back here.
    void ForgetSizeAnswers() override { m_pending.clear(); }
    void EnablePageButtons(bool enabled) override;
    void StartList();
    static bool Before(int dateA, int timeA, int dateB, int timeB);

    std::unique_ptr<CListBackupModel> m_model;
    std::deque<PendingRange> m_pending;
    QVector<RequestBuilder::ListBackupEntry> m_rangeList;

    QPushButton* m_clearButton = nullptr;
    QPushButton* m_addButton = nullptr;
};
