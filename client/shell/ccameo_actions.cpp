// A grid's right-button menu actions that act on the whole grid or its owner: recording,
// live output, camera control, conversion, pop-out, favorites and the e-map tile sizes.
#include <QAction>
#include <QDebug>
#include <QFile>
#include <QIcon>
#include <QMutexLocker>

#include "backup/caviconvert.h"
#include "session/recordersession.h"
#include "shell/ccameo.h"
#include "shell/gridhost.h"
#include "shell/shelllog.h"

void CCameo::CreateActions()
{
    struct ActionDef
    {
        const char* text;
        const char* icon;
        void (CCameo::*slot)();
    };
    // The menu sets the texts and enabled states anew each time it opens.
    static const ActionDef defs[kActionCount] = {
        {QT_TR_NOOP("View Single"), ":/res/Resource/single.png", &CCameo::viewSingleAction},
        {QT_TR_NOOP("View Multi"), ":/res/Resource/multi.png", &CCameo::viewMultiAction},
        {QT_TR_NOOP("Zoom In"), ":/res/Resource/zoom in.png", &CCameo::zoomInAction},
        {QT_TR_NOOP("Zoom Out"), ":/res/Resource/zoomout.png", &CCameo::zoomOutAction},
        {QT_TR_NOOP("Audio Out"), ":/res/Resource/audio.png", &CCameo::audioOutAction},
        {QT_TR_NOOP("OSD Setup"), ":/res/Resource/osd.png", &CCameo::osdSetupAction},
        {QT_TR_NOOP("Freeze"), ":/res/Resource/freeze.png", &CCameo::freezeAction},
        {QT_TR_NOOP("Snap Shot"), ":/res/Resource/snap.png", &CCameo::snapShotAction},
        {QT_TR_NOOP("Close Cameo"), ":/res/Resource/close.png", &CCameo::closeCameoAction},
        {QT_TR_NOOP("Select Date"), ":/res/Resource/seldate.png", &CCameo::selectDateAction},
        {QT_TR_NOOP("Museum Search"), ":/res/Resource/museum.png", &CCameo::museumSearchAction},
        {QT_TR_NOOP("Thumbnail Search"), ":/res/Resource/thumbnail.png", &CCameo::thumnailSearchAction},
        {QT_TR_NOOP("Quick Search"), ":/res/Resource/seldate.png", &CCameo::timeSearchAction},
        {QT_TR_NOOP("View x 1/4"), nullptr, &CCameo::emapScr1Action},
        {QT_TR_NOOP("View x 1"), nullptr, &CCameo::emapScr2Action},
        {QT_TR_NOOP("View x 4"), nullptr, &CCameo::emapScr3Action},
        {QT_TR_NOOP("Record"), ":/res/Resource/record.png", &CCameo::OnRecordAction},
        // The stop entry while the rotation runs: any sequence action toggles it.
        {QT_TR_NOOP("Rotation start"), ":/res/Resource/multi.png", &CCameo::OnSequenceAction5},
        {QT_TR_NOOP("Rotation start\t5 sec"), ":/res/Resource/multi.png", &CCameo::OnSequenceAction5},
        {QT_TR_NOOP("Rotation start\t10 sec"), ":/res/Resource/multi.png", &CCameo::OnSequenceAction10},
        {QT_TR_NOOP("Rotation start\t15 sec"), ":/res/Resource/multi.png", &CCameo::OnSequenceAction15},
        {QT_TR_NOOP("Rotation start\t20 sec"), ":/res/Resource/multi.png", &CCameo::OnSequenceAction20},
        {QT_TR_NOOP("Add Favorite"), ":/res/Resource/favoritesitem.png", &CCameo::newFavoriteAction},
        {QT_TR_NOOP("Popup Mode"), ":/res/Resource/popup.png", &CCameo::OnPopupAction},
        {QT_TR_NOOP("MP4 Convert"), ":/res/Resource/25.png", &CCameo::OnAviAction},
        {QT_TR_NOOP("UCC Control"), nullptr, &CCameo::OnUccAction},
        {QT_TR_NOOP("Live Output"), nullptr, &CCameo::OnLiveOutputAction},
    };
    for (int i = 0; i < kActionCount; ++i) {
        const ActionDef& def = defs[i];
        auto* action = new QAction(tr(def.text), this);
        // Icons that the embedded resources do not carry are left empty.
        if (def.icon && QFile::exists(QLatin1String(def.icon)))
            action->setIcon(QIcon(QLatin1String(def.icon)));
        if (def.slot)
            connect(action, &QAction::triggered, this, def.slot);
        else
            action->setEnabled(false);
        m_actions[i] = action;
    }
}

QAction* CCameo::GetAction(ActionId id) const
{
    const int index = static_cast<int>(id);
    return index >= 0 && index < kActionCount ? m_actions[index] : nullptr;
}

bool CCameo::SelectedRecorderCell(RecorderSession*& device, int& recorder, int& channel) const
{
    if (!IsUsedCell(m_selectedCell))
        return false;
    const CameoCell c = GetCell(m_selectedCell);
    if (!c.IsBound() || c.channel < 0 || c.channel >= kRoutedChannels)
        return false;
    device = DeviceOf(c.recorder);
    if (!device)
        return false;
    recorder = c.recorder;
    channel = c.channel;
    return true;
}

void CCameo::OnRecordAction()
{
    RecorderSession* device = nullptr;
    int recorder = -1;
    int channel = -1;
    if (m_closing || !SelectedRecorderCell(device, recorder, channel))
        return;
    // Local recording of the channel's live video, or of its playback (channel + 16).
    device->ToggleRecord(m_kind == CameoKind::Playback ? channel + kRoutedChannels : channel);
}

void CCameo::OnLiveOutputAction()
{
    RecorderSession* device = nullptr;
    int recorder = -1;
    int channel = -1;
    if (m_closing || !SelectedRecorderCell(device, recorder, channel))
        return;
    device->SetLiveOutputChannel(channel);
    device->SendLiveOutput();
}

void CCameo::OnUccAction()
{
    RecorderSession* device = nullptr;
    int recorder = -1;
    int channel = -1;
    if (m_closing || !SelectedRecorderCell(device, recorder, channel))
        return;
    if (m_split != 1) {
        m_prevSplit = m_split;
        OnSplitMode(-1, 1, false);
    }
    if (m_host)
        m_host->ShowCameraControl(recorder, channel, m_cameoIndex);
}

void CCameo::OnAviAction()
{
    if (m_closing || !IsUsedCell(m_selectedCell))
        return;
    const CameoCell c = GetCell(m_selectedCell);
    if (c.localDataFile.isEmpty())
        return;
    qCDebug(lcShell) << "mp4 convert" << c.localFolder << c.localDataFile;
    // The tile's recording in a convert window of its own, run modally.
    QString folder = c.localFolder;
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    CAVIConvert convert(this);
    if (convert.AddList(folder, c.localDataFile))
        convert.SetArchivePath(folder, c.localDataFile);
    convert.exec();
}

void CCameo::OnPopupAction()
{
    if (m_closing || !m_host)
        return;
    // The window that owns this grid leaves the multi-document area, or docks back into it.
    if (m_kind != CameoKind::Live || !m_emap)
        m_host->ToggleGridOwnerPopup(m_kind, m_ownerSlot);
}

void CCameo::newFavoriteAction()
{
    if (m_closing || !m_host)
        return;
    if (m_kind == CameoKind::Live) {
        // Every cell in order, an empty name and channel -1 where no known recorder shows.
        QString names;
        QString channels;
        for (int i = 0; i < kCells; ++i) {
            const CameoCell c = GetCell(i);
            RecorderSession* device = c.IsBound() ? DeviceOf(c.recorder) : nullptr;
            if (device) {
                names += device->GetDvrName() + QLatin1Char(';');
                channels += QString::asprintf("%d;", c.channel);
            } else {
                names += QLatin1Char(';');
                channels += QLatin1String("-1;");
            }
        }
        // The site book stores the layout as split x 100 + first cell.
        m_host->AddGridFavorite(QStringLiteral("live"), m_split, m_selectedCell, names, channels);
    } else if (m_kind == CameoKind::Playback) {
        // The recorder and where its playback stands; both empty without a recorder.
        QString names;
        QString position;
        if (RecorderSession* device = DeviceOf(m_playbackRecorder)) {
            names = device->GetDvrName();
            position = QString::asprintf("%08d;%06d;", device->GetPlaybackDate(), device->GetPlaybackTime());
        }
        m_host->AddGridFavorite(QStringLiteral("search"), m_split, m_selectedCell, names, position);
    }
}

void CCameo::emapScr1Action()
{
    resize(80, 60);
}

void CCameo::emapScr2Action()
{
    resize(160, 120);
}

void CCameo::emapScr3Action()
{
    resize(320, 240);
}

void CCameo::OnHideEmap()
{
    hide();
    emit OnHide();
}
