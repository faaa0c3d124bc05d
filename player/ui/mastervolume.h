#pragma once
// The master volume of the speakers through the system's mixer program (ALSA's amixer or
// PulseAudio's pactl, the first on PATH). Without one the volume commands have no effect. The
// program is started and not waited for, so the user-interface thread never blocks on it.
#include <QString>
#include <QStringList>

#include <functional>

class MasterVolume
{
public:
    // Starts a program with its arguments; false when it cannot be started.
    using Runner = std::function<bool(const QString& program, const QStringList& arguments)>;
    // Slider positions run 0 to kMaxPosition; a position is shifted left by 12 into the value.
    static constexpr int kMaxPosition = 15;
    static constexpr quint32 kMaxValue = 0xFFFF;

    // program: the mixer program's path (empty: none); runner: starts it.
    MasterVolume(QString program, Runner runner);

    // The mixer program found on PATH, or an empty text.
    static QString FindMixer();
    // The system's way of starting a program without waiting for it.
    static bool StartDetached(const QString& program, const QStringList& arguments);

    bool IsOpen() const { return !m_program.isEmpty(); }
    // The value of a slider position, at most kMaxValue.
    static quint32 ValueOfPosition(int position);
    // The mixer's arguments for a value (0 to kMaxValue) as a percentage.
    QStringList Arguments(quint32 value) const;
    // 1 when the value was handed to the mixer, 0 otherwise.
    int SetMasterVolume(quint32 value);
    // A move of the volume slider.
    int OnVolumeChanged(int position) { return SetMasterVolume(ValueOfPosition(position)); }

private:
    QString m_program;
    Runner m_runner;
};
