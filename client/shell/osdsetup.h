#pragma once
// The small dialog of a grid's "OSD Setup" action: seven check boxes for the on-screen display
// texts (the six that every grid follows, then the grid's own frame rate), OK and Cancel.
#include <QCheckBox>
#include <QPushButton>

#include <array>

#include "widgets/cpopupdialog.h"

class OsdSetup : public CPopupDialog
{
    Q_OBJECT

public:
    static constexpr int kFlagCount = 7;
    static constexpr int kFrameRate = 6; // the flag that belongs to the grid

    explicit OsdSetup(QWidget* parent = nullptr);

    // The flags are filled in before SetFlags and read back after an accepted run.
    quint8 GetFlag(int index) const;
    void SetFlag(int index, quint8 value);
    // Checks each box from its flag; the frame-rate box is disabled when asked.
    void SetFlags(bool disableFrameRate);

    QCheckBox* Box(int index) const;
    QPushButton* OkButton() const { return m_ok; }
    QPushButton* CancelButton() const { return m_cancel; }

public slots:
    void onOKButtonClicked();
    void onCancelButtonClicked();

private:
    static bool IsFlag(int index) { return index >= 0 && index < kFlagCount; }

    std::array<quint8, kFlagCount> m_flags{};
    std::array<QCheckBox*, kFlagCount> m_boxes{};
    QPushButton* m_ok = nullptr;
    QPushButton* m_cancel = nullptr;
};
