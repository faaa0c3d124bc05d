#pragma once
// The six on-screen display switches that every grid follows, in the order of osd.dat. Each is a
// byte: 1 on, anything else off (a grid shows what is not 0; osd.dat keeps only exact 1s).
#include <QtGlobal>

#include <array>

enum class OsdFlag { DvrName, CameraName, Date, Time, Event, CameoNumber };

class OsdFlags
{
public:
    static constexpr int kCount = 6;
    static constexpr std::array<OsdFlag, kCount> kAll{OsdFlag::DvrName, OsdFlag::CameraName, OsdFlag::Date,
                                                      OsdFlag::Time,    OsdFlag::Event,      OsdFlag::CameoNumber};

    // 0 for a value outside the six.
    quint8 Get(OsdFlag flag) const { return IsFlag(flag) ? m_values[Slot(flag)] : 0; }
    // A value outside the six is ignored.
    void Set(OsdFlag flag, quint8 value)
    {
        if (IsFlag(flag))
            m_values[Slot(flag)] = value;
    }
    bool IsOn(OsdFlag flag) const { return Get(flag) != 0; }
    void SetAll(quint8 value) { m_values.fill(value); }

private:
    static bool IsFlag(OsdFlag flag) { return static_cast<unsigned>(flag) < unsigned(kCount); }
    static size_t Slot(OsdFlag flag) { return static_cast<size_t>(flag); }

    std::array<quint8, kCount> m_values{1, 1, 1, 1, 1, 1};
};
