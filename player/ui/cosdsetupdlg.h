#pragma once
// Chooses which texts the engine writes over every tile and in which colour. OK stores the seven
// values in one call and redraws every tile; Cancel changes nothing.
#include "engine/hplivecontrol.h"

#include <QDialog>

class QCheckBox;
class QPushButton;
class OsdSetupHost;

class COSDSetupDlg : public QDialog
{
    Q_OBJECT
public:
    explicit COSDSetupDlg(OsdSetupHost* host, QWidget* parent = nullptr);

    // The options as the check boxes and the chosen colour now stand.
    OsdOptions Options() const;
    void OnColour();
    void accept() override;

    QCheckBox* cameraName() const { return m_cameraName; }
    QCheckBox* recorderName() const { return m_recorderName; }
    QCheckBox* time() const { return m_time; }
    QCheckBox* event() const { return m_event; }
    QCheckBox* date() const { return m_date; }
    QCheckBox* tileNumber() const { return m_tileNumber; }

private:
    OsdSetupHost* m_host;
    int m_colour;
    QCheckBox* m_cameraName;
    QCheckBox* m_recorderName;
    QCheckBox* m_time;
    QCheckBox* m_event;
    QCheckBox* m_date;
    QCheckBox* m_tileNumber;
    QPushButton* m_colourButton;
};
