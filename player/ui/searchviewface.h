#pragma once
// The recorder search face of one tile's playback engine: the calendar of the recorder's days,
// a camera combo box and the time bar of the chosen channel with its marker. It is bound to a
// recorder of the hub with SelectCamera; the player opens no recorder connection, so binding
// ends at once and the face stays hidden.
#include <QDialog>

#include "playback/searchcalendar.h"
#include "playback/searchcells.h"
#include "playback/searchreplyassembler.h"

class CSkinButton;
class HPImageManager;
class HPNetwork;
class QComboBox;
class QLabel;
class QSlider;
class SearchCalendarPanel;
class SearchDialogHost;

class SearchViewFace : public QDialog
{
    Q_OBJECT
public:
    static constexpr int kDays = 1095;
    static constexpr int kBarLeft = 70;
    static constexpr int kBarTop = 218;
    static constexpr int kBarBottom = 233;
    static constexpr QSize kSize{300, 280};

    SearchViewFace(HPNetwork& hub, SearchDialogHost& host, HPImageManager& images, const QString& programFolder,
                   QWidget* parent = nullptr);

    // Binds the face to a recorder's channel for a tile; false when the recorder is not in the
    // hub's map.
    bool SelectCamera(int recorderId, int channel, int tile);
    bool StartRemoteSearch();
    bool RequestDayIndex();
    bool RequestEventList();
    bool QueryDay();
    void OnRecvSearchData(const QByteArray& reply);

    int RecorderId() const { return m_recorderId; }
    int Tile() const { return m_tile; }
    int Channel() const;
    const QString& EventText() const { return m_eventText; }
    const SearchCalendar& Calendar() const { return m_calendar; }
    const SearchCells& Cells() const { return m_cells; }
    SearchCalendarPanel* CalendarPanel() const { return m_panel; }
    QComboBox* Cameras() const { return m_cameras; }
    QSlider* Slider() const { return m_slider; }
    QString TimeText() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool Send(int kind, const QString& date, const char* boxKey);

    HPNetwork& m_hub;
    SearchDialogHost& m_host;
    SearchCalendar m_calendar{kDays};
    SearchCells m_cells;
    SearchReplyAssembler m_replies;
    SearchCalendarPanel* m_panel = nullptr;
    QComboBox* m_cameras = nullptr;
    QSlider* m_slider = nullptr;
    QLabel* m_time = nullptr;
    CSkinButton* m_ok = nullptr;
    CSkinButton* m_close = nullptr;
    QString m_eventText;
    int m_recorderId = -1;
    int m_tile = -1;
};
