#include "panels/cucccontrol.h"

#include <QComboBox>
#include <QMouseEvent>
#include <QPushButton>

#include "panels/panelshub.h"
#include "panels/panelslog.h"
#include "session/recordersession.h"
#include "session/sessionhub.h"
#include "widgets/stylesheetfile.h"

namespace {
constexpr int kNormalEntry = 1;
}

cUccControl::cUccControl(QWidget* parent)
    : CPopupDialog(parent)
{
    BuildForm();
    setStyleSheet(ReadPanelStyleSheet(QStringLiteral("ptz_1")));
}

QPushButton* cUccControl::AddButton(const QString& caption, const QRect& geometry, const char* name)
{
    auto* button = new QPushButton(caption, this);
    if (name)
        button->setObjectName(QLatin1String(name));
    button->setGeometry(geometry);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

void cUccControl::AddHeldButton(const QString& caption, const QRect& geometry, void (cUccControl::*slot)(),
                                const char* name)
{
    QPushButton* button = AddButton(caption, geometry, name);
    connect(button, &QPushButton::pressed, this, slot);
    connect(button, &QPushButton::released, this, &cUccControl::OnBtnRelease);
}

void cUccControl::BuildForm()
{
    setWindowTitle(QStringLiteral("UCC Control"));
    resize(360, 415);
    m_speedList = new QComboBox(this);
    m_speedList->setObjectName(QStringLiteral("comboBox_speed"));
    m_speedList->setGeometry(10, 40, 160, 30);
    m_speedList->addItems(PtzSpeed::Texts(QStringLiteral("Speed : ")));
    m_speedList->setCurrentIndex(kNormalEntry);

    // clang-format off
    AddHeldButton(QString(), QRect(65, 80, 50, 50), &cUccControl::OnBtnUp, "btn_Move_U");
    AddHeldButton(QString(), QRect(10, 135, 50, 50), &cUccControl::OnBtnLeft, "btn_Move_L");
    AddHeldButton(QStringLiteral("Enter"), QRect(65, 135, 50, 50), &cUccControl::OnBtnEnter);
    AddHeldButton(QString(), QRect(120, 135, 50, 50), &cUccControl::OnBtnRight, "btn_Move_R");
    AddHeldButton(QString(), QRect(65, 190, 50, 50), &cUccControl::OnBtnDown, "btn_Move_D");
    AddHeldButton(QStringLiteral("ZOOM +"), QRect(190, 80, 75, 50), &cUccControl::OnBtnZoomIn);
    AddHeldButton(QStringLiteral("ZOOM -"), QRect(275, 80, 75, 50), &cUccControl::OnBtnZoomOut);
    AddHeldButton(QStringLiteral("FOCUS +"), QRect(190, 135, 75, 50), &cUccControl::OnBtnFocusNear);
    AddHeldButton(QStringLiteral("FOCUS -"), QRect(275, 135, 75, 50), &cUccControl::OnBtnFocusFar);
    AddHeldButton(QStringLiteral("IRIS +"), QRect(190, 190, 75, 50), &cUccControl::OnBtnIrisOpen);
    AddHeldButton(QStringLiteral("IRIS -"), QRect(275, 190, 75, 50), &cUccControl::OnBtnIrisClose);
    // clang-format on

    m_presetList = new QComboBox(this);
    m_presetList->setObjectName(QStringLiteral("comboBox_preset"));
    m_presetList->setGeometry(10, 250, 160, 30);
    m_presetList->addItems(PtzPreset::Texts());
    m_presetList->setCurrentIndex(0);

    connect(AddButton(QStringLiteral("Goto"), QRect(10, 285, 75, 30)), &QPushButton::clicked, this,
            &cUccControl::OnBtnGoto);
    connect(AddButton(QStringLiteral("Set"), QRect(95, 285, 75, 30)), &QPushButton::clicked, this,
            &cUccControl::OnBtnSet);
    connect(AddButton(QStringLiteral("OSD"), QRect(190, 245, 160, 50)), &QPushButton::clicked, this,
            &cUccControl::OnBtnOSD);
    connect(AddButton(QStringLiteral("Close"), QRect(10, 355, 340, 50)), &QPushButton::clicked, this,
            &cUccControl::OnBtnClose);
}

RecorderSession* cUccControl::Device() const
{
    SessionHub* hub = SessionHub::Instance();
    return hub ? hub->GetDevice(m_recorder) : nullptr;
}

void cUccControl::SetCamera(int recorder, int channel, int cameoIndex)
{
    m_recorder = recorder;
    m_channel = channel;
    m_cameoIndex = cameoIndex;
    OnPTZControl(PtzCode::Bind, kFixedSpeed, 0);
}

void cUccControl::SetImage(const QImage& /*image*/) {}

void cUccControl::OnPTZControl(PtzCode code, int speed, int preset)
{
    qCDebug(lcPanels) << "1 ------------------------------------------------->" << int(code);
    RecorderSession* device = Device();
    if (!device || m_channel < 0) {
        m_channel = -1;
        return;
    }
    device->SendUccControl(m_channel, int(PtzCode::Stop), speed, preset);
    device->SendUccControl(m_channel, int(code), speed, preset);
}

void cUccControl::Direction(PtzCode code)
{
    m_speed = PtzSpeed::CodeOfEntry(m_speedList->currentIndex(), m_speed);
    OnPTZControl(code, m_speed, 0);
}

// clang-format off
void cUccControl::OnBtnUp() { Direction(PtzCode::Up); }
void cUccControl::OnBtnDown() { Direction(PtzCode::Down); }
void cUccControl::OnBtnLeft() { Direction(PtzCode::Left); }
void cUccControl::OnBtnRight() { Direction(PtzCode::Right); }
void cUccControl::OnBtnZoomIn() { OnPTZControl(PtzCode::ZoomIn, kFixedSpeed, 0); }
void cUccControl::OnBtnZoomOut() { OnPTZControl(PtzCode::ZoomOut, kFixedSpeed, 0); }
void cUccControl::OnBtnFocusNear() { OnPTZControl(PtzCode::FocusNear, kFixedSpeed, 0); }
void cUccControl::OnBtnFocusFar() { OnPTZControl(PtzCode::FocusFar, kFixedSpeed, 0); }
void cUccControl::OnBtnIrisOpen() { OnPTZControl(PtzCode::IrisOpen, kFixedSpeed, 0); }
void cUccControl::OnBtnIrisClose() { OnPTZControl(PtzCode::IrisClose, kFixedSpeed, 0); }
void cUccControl::OnBtnEnter() { OnPTZControl(PtzCode::IrisOpen, kFixedSpeed, 0); }
void cUccControl::OnBtnSet() { OnPTZControl(PtzCode::StorePreset, kFixedSpeed, m_presetList->currentIndex() + 1); }
void cUccControl::OnBtnGoto() { OnPTZControl(PtzCode::GotoPreset, kFixedSpeed, m_presetList->currentIndex() + 1); }
void cUccControl::OnBtnOSD() { OnPTZControl(PtzCode::CameraMenu, kFixedSpeed, 0); }
// clang-format on

void cUccControl::OnBtnRelease()
{
    qCDebug(lcPanels) << "some mouse button release";
    // A release with no bound camera has no one to tell.
    RecorderSession* device = Device();
    if (!device || m_channel < 0)
        return;
    device->SendUccControl(m_channel, int(PtzCode::Stop), kFixedSpeed, 0);
}

void cUccControl::OnBtnClose()
{
    OnPTZControl(PtzCode::Unbind, kFixedSpeed, 0);
    if (m_recorder >= 0 && m_channel >= 0 && m_cameoIndex >= 0) {
        if (PanelsHub* hub = PanelsHub::Instance())
            hub->RestoreGridSplit(m_cameoIndex);
    }
    m_recorder = -1;
    m_channel = -1;
    m_cameoIndex = -1;
    hide();
}

void cUccControl::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        qCDebug(lcPanels) << "left mouse button release : " << event->x() << event->y();
        OnBtnRelease();
    }
    CPopupDialog::mouseReleaseEvent(event);
}
