#include "playback/language.h"

namespace {

// clang-format off
const char kBuiltIn[] =
    "SYSTEM_FONT=Microsoft Sans Serif\n"
    "ALL_CHANNEL=All Channel\n"
    "ADJUST_CONTROL=Adjust Control\n"
    "AUDIO_CONTROL=Audio Control\n"
    "AUDIO_IN=Audio In\n"
    "AUDIO_OUT=Audio Out\n"
    "ADMIN_ACCOUNT=Admin Account\n"
    "ALL_CAMERA_VIEW=All Camera View\n"
    "BASE_GROUP=Base Group\n"
    "BRIGHTNESS=Brightness\n"
    "BUFFERING=Buffering...\n"
    "CANCEL=Cancel\n"
    "CLOSE=Close\n"
    "CAMEO=Cameo\n"
    "CUSTOM_VIEW=Custom View\n"
    "CAMERA_NAME=Camera Name\n"
    "CONNECT=Connect\n"
    "CONTRAST=Contrast\n"
    "CHANNEL=Channel\n"
    "CAMERA_INPUT=Camera Input\n"
    "CHANNEL_LIST=Channel List\n"
    "COMPLETE=Complete\n"
    "CAMERA=Camera\n"
    "DVR_NAME=DVR Name\n"
    "DATE=Date\n"
    "DISCONNECT=Disconnect\n"
    "DATE_TIME=Date and Time\n"
    "DIRECT=Direct\n"
    "EXIT=Exit\n"
    "EXIT_PROGRAM=Exit program\n"
    "EXIT_QUESTION=Are you sure exit?\n"
    "ERROR=Error\n"
    "END_TIME=End Time\n"
    "FREEZE=Freeze\n"
    "FRAME_RATE=Frame Rate\n"
    "FILTER=Filter\n"
    "FULL_SCREEN=Full Screen\n"
    "FAIL=Fail\n"
    "HOUR=Hour\n"
    "HIDE=Hide\n"
    "IP=IP\n"
    "ID=ID\n"
    "INVALID_PRINT_INFO=Invalid print info.\n"
    "INFORMATION=Information\n"
    "INFO_LOAD=Information Loading...\n"
    "LOSS=Loss\n"
    "LOG=Log\n"
    "LOAD_LOG=Load Log\n"
    "LOAD=Load\n"
    "MINIMIZE=Minimize\n"
    "MAX_CAMERA=Max Camera\n"
    "MAX_ALARM=Max Alarm\n"
    "MAX_AUDIO=Max Audio\n"
    "MINUTE=Minute\n"
    "MINI_PLAYER=Mini Player\n"
    "MONDAY=Monday\n"
    "MY_PC=My PC\n"
    "NOTIFY=Notify\n"
    "NO_AUDIO_DEVICE=Can not find audio device for play sound. Please check your audio device.\n"
    "NONE=None\n"
    "OK=OK\n"
    "OSD_SETUP=OSD Setup\n"
    "OPEN=Open\n"
    "OPTION_CONTROL=Option Control\n"
    "PB_ACCOUNT=Playback Account\n"
    "PRINT_SAVE=Print && Save\n"
    "PRINT=Print\n"
    "PAUSE=Pause\n"
    "PLAY=Play\n"
    "PREPARE=Prepare\n"
    "PERCENT=Percent\n"
    "PLEASE_SELECT_CHANNEL=Please select channel\n"
    "PLEASE_SELECT_DAY_OF_WEEK=Please select day of week\n"
    "PLEASE_SELECT_SERVER=Please select DVR server from left combo box\n"
    "PLAY_CONTROL=Play Control\n"
    "PLEASE_WAIT=Please wait...\n"
    "RECORD=Record\n"
    "RECORD_START=Record Start\n"
    "RECORD_STOP=Record Stop\n"
    "REC=Rec\n"
    "SERVER_NAME=Server Name\n"
    "SET_CURRENT_VIEW=Set Current View\n"
    "SENSOR=Sensor\n"
    "SEARCH_AUDIO=Search Audio\n"
    "SEQUENCING=Sequencing\n"
    "SEARCH=Search\n"
    "SEARCH_CONTROL=Search Control\n"
    "SELECT_ALL_CAMEO=Select All Cameo\n"
    "SAVE=Save\n"
    "STATUS=Status\n"
    "SAVE_LOG=Save Log\n"
    "SOUND=Sound\n"
    "SIZE=Size\n"
    "SECOND_LEFT=Second Left\n"
    "START=Start\n"
    "STOP=Stop\n"
    "START_TIME=Start Time\n"
    "SETUP=Setup\n"
    "SERVER=Server\n"
    "TIME=Time\n"
    "TIME_LIST=Time List\n"
    "TOTAL_DOWNLOAD_INFO=Total Download Info\n"
    "USE_DIRECTX=Use DirectX\n"
    "VIEW_SINGLE=View Single\n"
    "VIEW_MULTI=View Multi\n"
    "VIEW_LIVE=View Live\n"
    "WAIT=Wait\n"
    "ZOOM_IN=Zoom In\n"
    "ZOOM_OUT=Zoom Out\n";
// clang-format on

} // namespace

CLanguage::CLanguage()
{
    for (int i = 0; i < kSlotCount; ++i)
        m_slots.append(QString());
}

const char* CLanguage::BuiltInText()
{
    return kBuiltIn;
}

int CLanguage::Load(const QString& /*scriptPath*/)
{
    m_count = 0;
    QString line;
    for (const char* c = kBuiltIn; *c != '\0'; ++c) {
        if (*c == '\n') {
            if (m_count < kSlotCount)
                m_slots[m_count++] = line;
            line.clear();
        } else if (*c != '\r') {
            line.append(QLatin1Char(*c));
        }
    }
    return 1;
}

QString CLanguage::GetText(const QString& key) const
{
    const QString prefix = key + QLatin1Char('=');
    for (int i = 0; i < m_count; ++i) {
        const QString& slot = m_slots.at(i);
        if (slot.startsWith(prefix, Qt::CaseSensitive))
            return slot.mid(prefix.size()).left(kMaxTextLength);
    }
    return QString();
}
