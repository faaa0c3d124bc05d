#include "panels/cptzctrl.h"

#include <QComboBox>
#include <QInputDialog>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include "panels/panelslog.h"
#include "session/recordersession.h"
#include "session/sessionhub.h"
#include "widgets/messagedlg.h"
#include "widgets/stylesheetfile.h"

namespace {
constexpr int kPadButton = 31;
constexpr int kFastEntry = 2;
} // namespace

CPTZCtrl::CPTZCtrl(QWidget* parent)
    : QWidget(parent)
{
    BuildForm();
    comboBox_speed->addItems(PtzSpeed::Texts(QString()));
    comboBox_speed->setCurrentIndex(kFastEntry);
    comboBox_preset->addItems(PtzPreset::Texts());
    comboBox_preset->setCurrentIndex(0);
    QMetaObject::connectSlotsByName(this);
    setStyleSheet(ReadPanelStyleSheet(QStringLiteral("PTZ_1")));

    m_tourTimer = new QTimer(this);
    m_tourTimer->setObjectName(QStringLiteral("tourTimer"));
    connect(m_tourTimer, &QTimer::timeout, this, &CPTZCtrl::OnPresetTour);
}

CPTZCtrl::~CPTZCtrl()
{
    m_tourTimer->stop();
}

QPushButton* CPTZCtrl::AddButton(const char* name, const QString& caption, const QRect& geometry)
{
    auto* button = new QPushButton(caption, this);
    button->setObjectName(QLatin1String(name));
    button->setGeometry(geometry);
    return button;
}

void CPTZCtrl::BuildForm()
{
    setObjectName(QStringLiteral("CPTZCtrl"));
    setWindowTitle(QStringLiteral("Form"));
    resize(315, 153);
    // clang-format off
    btn_Move_LU = AddButton("btn_Move_LU", QString(), QRect(20, 10, kPadButton, kPadButton));
    btn_Move_U  = AddButton("btn_Move_U",  QString(), QRect(55, 10, kPadButton, kPadButton));
    btn_Move_RU = AddButton("btn_Move_RU", QString(), QRect(90, 10, kPadButton, kPadButton));
    btn_Move_L  = AddButton("btn_Move_L",  QString(), QRect(20, 45, kPadButton, kPadButton));
    btn_Stop    = AddButton("btn_Stop",    QString(), QRect(55, 45, kPadButton, kPadButton));
    btn_Move_R  = AddButton("btn_Move_R",  QString(), QRect(90, 45, kPadButton, kPadButton));
    btn_Move_LD = AddButton("btn_Move_LD", QString(), QRect(20, 80, kPadButton, kPadButton));
    btn_Move_D  = AddButton("btn_Move_D",  QString(), QRect(55, 80, kPadButton, kPadButton));
    btn_Move_RD = AddButton("btn_Move_RD", QString(), QRect(90, 80, kPadButton, kPadButton));
    btn_Zoom_IN  = AddButton("btn_Zoom_IN",  QStringLiteral("+"), QRect(20, 115, 50, 31));
    btn_Zoom_OUT = AddButton("btn_Zoom_OUT", QStringLiteral("-"), QRect(71, 115, 50, 31));
    btn_goto   = AddButton("btn_goto",   QStringLiteral("Goto"), QRect(150, 80, 70, 31));
    btn_set    = AddButton("btn_set",    QStringLiteral("Set"),  QRect(225, 80, 70, 31));
    btn_tour   = AddButton("btn_tour",   QStringLiteral("Tour"), QRect(150, 115, 70, 31));
    btn_config = AddButton("btn_config", QStringLiteral("Stop"), QRect(225, 115, 70, 31));
    // clang-format on
    for (QPushButton* pad : {btn_Move_LU, btn_Move_U, btn_Move_RU, btn_Move_L, btn_Stop, btn_Move_R, btn_Move_LD,
                             btn_Move_D, btn_Move_RD})
        pad->setFixedSize(kPadButton, kPadButton);

    label = new QLabel(QStringLiteral("Speed :"), this);
    label->setObjectName(QStringLiteral("label"));
    label->setGeometry(150, 10, 51, 31);
    comboBox_speed = new QComboBox(this);
    comboBox_speed->setObjectName(QStringLiteral("comboBox_speed"));
    comboBox_speed->setGeometry(205, 10, 91, 31);
    label_2 = new QLabel(QStringLiteral("Preset :"), this);
    label_2->setObjectName(QStringLiteral("label_2"));
    label_2->setGeometry(150, 45, 51, 31);
    comboBox_preset = new QComboBox(this);
    comboBox_preset->setObjectName(QStringLiteral("comboBox_preset"));
    comboBox_preset->setGeometry(205, 45, 91, 31);
}

RecorderSession* CPTZCtrl::Device() const
{
    SessionHub* hub = SessionHub::Instance();
    return hub ? hub->GetDevice(m_recorder) : nullptr;
}

void CPTZCtrl::SetActiveCameo(int recorder, int channel)
{
    if (recorder == m_recorder && channel == m_channel)
        return;
    m_recorder = recorder;
    m_channel = channel;
    EndTour();
    qCDebug(lcPanels) << "PTZ" << recorder << channel;
}

void CPTZCtrl::SendPtz(PtzCode code)
{
    m_speedCode = PtzSpeed::CodeOfEntry(comboBox_speed->currentIndex(), m_speedCode);
    RecorderSession* device = Device();
    if (!device || m_channel < 0) {
        m_channel = -1;
        return;
    }
    device->SendPtzControl(m_channel, int(PtzCode::Stop), m_speedCode, 0);
    device->SendPtzControl(m_channel, int(code), m_speedCode, 0);
}

void CPTZCtrl::SendPreset(PtzCode code, int preset)
{
    if (RecorderSession* device = Device())
        device->SendPtzControl(m_channel, int(code), m_speedCode, preset);
}

void CPTZCtrl::EndTour()
{
    m_tourTimer->stop();
    m_tour.End();
}

void CPTZCtrl::CameraGuard()
{
    if (CameraValid())
        return;
    MessageDlg box(this, MessageDlg::Fixed);
    box.SetText(QStringLiteral("PTZ"), QStringLiteral("Select PTZ Cameo"));
    box.exec();
}

int CPTZCtrl::ChosenPreset() const
{
    return comboBox_preset->currentIndex() + 1;
}

void CPTZCtrl::Move(PtzCode code)
{
    EndTour();
    SendPtz(code);
    CameraGuard();
}

// clang-format off
void CPTZCtrl::on_btn_Move_LU_pressed() { Move(PtzCode::LeftUp); }
void CPTZCtrl::on_btn_Move_U_pressed() { Move(PtzCode::Up); }
void CPTZCtrl::on_btn_Move_RU_pressed() { Move(PtzCode::RightUp); }
void CPTZCtrl::on_btn_Move_L_pressed() { Move(PtzCode::Left); }
void CPTZCtrl::on_btn_Move_R_pressed() { Move(PtzCode::Right); }
void CPTZCtrl::on_btn_Move_LD_pressed() { Move(PtzCode::LeftDown); }
void CPTZCtrl::on_btn_Move_D_pressed() { Move(PtzCode::Down); }
void CPTZCtrl::on_btn_Move_RD_pressed() { Move(PtzCode::RightDown); }
void CPTZCtrl::on_btn_Zoom_IN_pressed() { Move(PtzCode::ZoomIn); }
void CPTZCtrl::on_btn_Zoom_OUT_pressed() { Move(PtzCode::ZoomOut); }
// A released movement button stops the camera and leaves any tour running.
void CPTZCtrl::on_btn_Move_LU_clicked() { SendPtz(PtzCode::Stop); }
void CPTZCtrl::on_btn_Move_U_clicked() { SendPtz(PtzCode::Stop); }
void CPTZCtrl::on_btn_Move_RU_clicked() { SendPtz(PtzCode::Stop); }
void CPTZCtrl::on_btn_Move_L_clicked() { SendPtz(PtzCode::Stop); }
void CPTZCtrl::on_btn_Move_R_clicked() { SendPtz(PtzCode::Stop); }
void CPTZCtrl::on_btn_Move_LD_clicked() { SendPtz(PtzCode::Stop); }
void CPTZCtrl::on_btn_Move_D_clicked() { SendPtz(PtzCode::Stop); }
void CPTZCtrl::on_btn_Move_RD_clicked() { SendPtz(PtzCode::Stop); }
void CPTZCtrl::on_btn_Zoom_IN_clicked() { SendPtz(PtzCode::Stop); }
void CPTZCtrl::on_btn_Zoom_OUT_clicked() { SendPtz(PtzCode::Stop); }
// clang-format on

void CPTZCtrl::on_btn_Stop_clicked()
{
    SendPtz(PtzCode::IrisOpen);
}

void CPTZCtrl::on_btn_config_clicked()
{
    SendPtz(PtzCode::Stop);
    EndTour();
    CameraGuard();
}

bool CPTZCtrl::StopAndEndTour()
{
    SendPtz(PtzCode::Stop);
    EndTour();
    if (CameraValid())
        return true;
    CameraGuard();
    return false;
}

void CPTZCtrl::on_btn_goto_clicked()
{
    if (!StopAndEndTour())
        return;
    SendPreset(PtzCode::Stop, 0);
    SendPreset(PtzCode::GotoPreset, ChosenPreset());
}

void CPTZCtrl::on_btn_set_clicked()
{
    EndTour();
    if (!CameraValid()) {
        CameraGuard();
        return;
    }
    SendPreset(PtzCode::StorePreset, ChosenPreset());
}

bool CPTZCtrl::AskPreset(const QString& title, int initial, int& preset)
{
    bool ok = false;
    preset = QInputDialog::getInt(this, title, QStringLiteral("Preset Number (1 ~ 50)"), initial, 1,
                                  PtzPreset::kCount, 1, &ok, Qt::Tool);
    return ok;
}

void CPTZCtrl::on_btn_tour_clicked()
{
    if (!StopAndEndTour())
        return;
    int first = 0;
    int last = 0;
    do {
        if (!AskPreset(QStringLiteral("First Preset"), 1, first)
            || !AskPreset(QStringLiteral("Last Preset"), 50, last)) {
            EndTour();
            return;
        }
    } while (first >= last);

    m_tour.Begin(first, last);
    m_tourTimer->start(PtzTour::kStepMs);
    if (!CameraValid()) {
        EndTour();
        return;
    }
    SendPreset(PtzCode::Stop, 0);
    SendPreset(PtzCode::GotoPreset, m_tour.Due());
    m_tour.Advance();
}

void CPTZCtrl::OnPresetTour()
{
    const int preset = m_tour.Due();
    if (preset < 0) {
        EndTour();
        return;
    }
    qCDebug(lcPanels) << "tour" << preset;
    if (!CameraValid()) {
        qCDebug(lcPanels) << "tour stop" << preset;
        EndTour();
        return;
    }
    SendPreset(PtzCode::Stop, 0);
    SendPreset(PtzCode::GotoPreset, preset);
    m_tour.Advance();
}
