#pragma once
// The "Alarm Out" dock panel: switches the relay outputs of one connected recorder. A list of the
// connected recorders and eight numbered buttons, as many shown as the chosen recorder has relays;
// a button's colour shows its relay's state, a click switches it, and a 5-second refresh keeps the
// colours in step with what the recorder reports.
#include <QWidget>
#include <array>

class QComboBox;
class QPushButton;
class QTimer;
class RecorderSession;

class CAlarmOut : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kRelays = 8;
    static constexpr int kRefreshMs = 5000;

    explicit CAlarmOut(QWidget* parent = nullptr);
    ~CAlarmOut() override;

    void AddDevice(const QString& name, int recorder);
    void RemoveDevice(const QString& name, int recorder);

    int Recorder() const { return m_recorder; }
    int RelayCount() const { return m_relayCount; }

public slots:
    void on_comboBox_currentIndexChanged(int index);
    void on_comboBox_activated(int index);
    void on_pushButton_1_clicked();
    void on_pushButton_2_clicked();
    void on_pushButton_3_clicked();
    void on_pushButton_4_clicked();
    void on_pushButton_5_clicked();
    void on_pushButton_6_clicked();
    void on_pushButton_7_clicked();
    void on_pushButton_8_clicked();
    void timerRelayStatus();

private:
    void BuildForm();
    RecorderSession* Device() const;
    void ToggleRelay(int relay);

    int m_recorder = -1;
    int m_relayCount = -1;
    QComboBox* m_comboBox = nullptr;
    std::array<QPushButton*, kRelays> m_buttons{};
    QTimer* m_statusTimer = nullptr;
};
