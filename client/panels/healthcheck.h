#pragma once
// The "Health Check" window of one recorder: name, address, version, MAC address, disk usage and
// recorded span, chipset and fan readings, and a grid of per-channel states (motion, sensor,
// relay, camera, video) and per-disk states. The recorder's session makes it hidden at its first
// login, feeds it on every status refresh and shows it when the health answer arrives.
#include <QDialog>
#include <QPixmap>

#include "panels/healthstate.h"
#include "session/healthcheckview.h"

class QLabel;

class healthCheck : public QDialog, public HealthCheckView
{
    Q_OBJECT

public:
    explicit healthCheck(QWidget* parent = nullptr);

    QWidget* Widget() override { return this; }
    void SetDvrName(const QString& text, int channelCount, int relayCount) override;
    void SetRecordInfo(const QString& address, const QString& mac, const QString& version, const QString& earliest,
                       const QString& latest, const QString& diskUsage) override;
    void SetHealthState(const HealthRecord& record) override;

    const HealthState& State() const { return m_state; }
    QString RecorderText() const { return m_recorderText; }
    // The text of a line: 0 name, 1 address, 2 version, 3 MAC, 4 disk usage, 5 earliest,
    // 6 latest, 7 chipset, 8 fan.
    QString LineText(int line) const;
    // The grid as last drawn.
    QPixmap GridPicture() const { return m_grid; }
    // Draws the grid of a state into a 421 x 141 picture.
    static QPixmap DrawGrid(const HealthState& state);

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    enum Line { Name, Address, Version, Mac, DiskUsage, Earliest, Latest, Chipset, Fan, kLines };

    void Redraw();

    HealthState m_state;
    QString m_recorderText;
    bool m_visible = false;
    QLabel* m_gridLabel = nullptr;
    QLabel* m_lines[kLines] = {};
    QPixmap m_grid;
};
