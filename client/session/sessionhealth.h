#pragma once
// A recorder session's health window: made through the hub at the first login and kept hidden
// for the session's whole life, fed at each status refresh, filled and shown when the recorder's
// health answer arrives. Everything here runs on the user-interface thread.
#include <QPointer>
#include <QString>
#include <QWidget>

class CModuleNetwork;
class HealthCheckView;
struct RecordInfo;

class SessionHealth
{
public:
    // Makes the window at the first call; titles it with the recorder's name and sizes.
    void Create(const QString& dvrName, const CModuleNetwork* network);
    // The window, null before it was made (or after it went).
    HealthCheckView* View() const { return m_window ? m_view : nullptr; }
    bool Exists() const { return !m_window.isNull(); }
    // One status refresh: the channels' states (those not in the live mask shown as absent).
    void Feed(const CModuleNetwork* network, int channelCount, quint32 liveMask);
    // The health answer: the box says it completed; the window shows the recorder's texts.
    void ShowAnswer(const CModuleNetwork* network, const QString& dvrName, const RecordInfo& info);

private:
    QPointer<QWidget> m_window;
    HealthCheckView* m_view = nullptr;
};
