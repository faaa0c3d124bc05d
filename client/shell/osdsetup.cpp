#include "shell/osdsetup.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace {

const char* const kBoxTexts[OsdSetup::kFlagCount] = {"DVR Name", "Camera Name",  "Date",      "Time",
                                                     "Event",    "Cameo Number", "Frame Rate"};

} // namespace

OsdSetup::OsdSetup(QWidget* parent)
    : CPopupDialog(parent)
{
    setWindowTitle(QStringLiteral("OSD Setup"));
    auto* column = new QVBoxLayout(this);
    for (int i = 0; i < kFlagCount; ++i) {
        m_boxes[size_t(i)] = new QCheckBox(QLatin1String(kBoxTexts[i]), this);
        column->addWidget(m_boxes[size_t(i)]);
    }
    auto* line = new QLabel(this);
    line->setFrameStyle(QFrame::HLine | QFrame::Sunken);
    column->addWidget(line);

    auto* buttons = new QHBoxLayout;
    m_ok = new QPushButton(QStringLiteral("OK"), this);
    m_cancel = new QPushButton(QStringLiteral("Cancel"), this);
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    column->addLayout(buttons);

    connect(m_ok, &QPushButton::clicked, this, &OsdSetup::onOKButtonClicked);
    connect(m_cancel, &QPushButton::clicked, this, &OsdSetup::onCancelButtonClicked);
}

quint8 OsdSetup::GetFlag(int index) const
{
    return IsFlag(index) ? m_flags[size_t(index)] : 0;
}

void OsdSetup::SetFlag(int index, quint8 value)
{
    if (IsFlag(index))
        m_flags[size_t(index)] = value;
}

QCheckBox* OsdSetup::Box(int index) const
{
    return IsFlag(index) ? m_boxes[size_t(index)] : nullptr;
}

void OsdSetup::SetFlags(bool disableFrameRate)
{
    for (int i = 0; i < kFlagCount; ++i)
        m_boxes[size_t(i)]->setChecked(m_flags[size_t(i)] != 0);
    m_boxes[kFrameRate]->setEnabled(!disableFrameRate);
}

void OsdSetup::onOKButtonClicked()
{
    for (int i = 0; i < kFlagCount; ++i)
        m_flags[size_t(i)] = m_boxes[size_t(i)]->isChecked() ? 1 : 0;
    accept();
}

void OsdSetup::onCancelButtonClicked()
{
    reject();
}
