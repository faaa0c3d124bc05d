#pragma once
// The calendar search over a recorder: the calendar of recorded days, sixteen channel bars of
// the chosen day, a time slider, and Ok, which plays the recorder's channels from the chosen day
// and time. Its queries go to the recorder through the hub; the replies come back through
// OnRecvSearchData. The player opens no recorder connection, so it is only shown when a
// recorder exists.
#include <QDialog>

#include "playback/searchcalendar.h"
#include "playback/searchcells.h"
#include "playback/searchreplyassembler.h"

class CSkinButton;
class HPImageManager;
class QLabel;
class QSlider;
class SearchCalendarPanel;
class SearchDialogHost;

class CSearchMulti : public QDialog
{
    Q_OBJECT
public:
    static constexpr int kDays = 730;
    static constexpr int kBarLeft = 280;
    static constexpr int kLabelLeft = 225;
    static constexpr QSize kSize{440, 260};

    // `programFolder`: the skin is in its "Resource/Quessa/Search/".
    CSearchMulti(SearchDialogHost& host, HPImageManager& images, const QString& programFolder,
                 QWidget* parent = nullptr);

    // Shows the dialog for the hub's recorder and asks it for its recorded days; false (and
    // nothing shown) when there is no recorder.
    bool OpenSearch();
    void OnOK();
    void ClearDayData();
    void OnRecvSearchData(const QByteArray& reply);

    const SearchCalendar& Calendar() const { return m_calendar; }
    const SearchCells& Cells() const { return m_cells; }
    const SearchReplyAssembler& Pending() const { return m_replies; }
    SearchCalendarPanel* CalendarPanel() const { return m_panel; }
    QSlider* Slider() const { return m_slider; }
    CSkinButton* OkButton() const { return m_ok; }
    QString TimeText() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void reject() override;

private:
    // Sends the query of `kind` as its four parts; false when no recorder takes it.
    bool SendQuery(int kind, const char* boxKey);
    void OnDayChosen(const QString& day);
    void OnQueryDone(int kind, const QByteArray& data);
    void DrawChannelBars(QPainter& painter);
    void OnSliderMoved();

    SearchDialogHost& m_host;
    SearchCalendar m_calendar{kDays};
    SearchCells m_cells;
    SearchReplyAssembler m_replies;
    SearchCalendarPanel* m_panel = nullptr;
    QSlider* m_slider = nullptr;
    QLabel* m_time = nullptr;
    CSkinButton* m_ok = nullptr;
    CSkinButton* m_close = nullptr;
};
