#include "ui/viewerpreviews.h"
#include "ui/cpreviewdlg.h"

#include "engine/sizecode.h"
#include "playback/searchview.h"

#include <QImage>
#include <QWidget>

ViewerPreviews::ViewerPreviews(QWidget* dialog, const DecoderLibraries& libraries)
{
    m_chain.Load(libraries);
    m_chain.SetPictureBuffers([this](int preview) { return Buffer(preview); });
    for (int i = 0; i < kPreviews; ++i) {
        auto* preview = new CPreviewDlg(i, dialog);
        m_dialogs[size_t(i)] = preview;
        connect(preview, &CPreviewDlg::ReadRequested, this, [this](int number, int position) {
            if (m_player && m_player->IsOpened())
                m_player->StartPreview(position, number);
        });
        connect(preview, &CPreviewDlg::SeekRequested, this, [this](int position) {
            if (m_player && m_player->IsOpened())
                m_player->SeekToFrame(position);
        });
    }
}

// The tile engines, whose preview readers write into the buffers, end before this object.
ViewerPreviews::~ViewerPreviews() = default;

uint8_t* ViewerPreviews::Buffer(int preview)
{
    if (preview < 0 || preview >= kPreviews)
        return nullptr;
    std::vector<uint8_t>& buffer = m_buffers[size_t(preview)];
    if (buffer.empty())
        buffer.assign(size_t(kPictureBufferBytes), 0);
    return buffer.data();
}

bool ViewerPreviews::Show(bool show, const QRect& slider)
{
    if (show == m_shown || !m_player || !m_player->IsOpened() || !m_player->IndexBased())
        return false;
    m_shown = show;
    const int length = m_player->GetPlayRange();
    for (CPreviewDlg* preview : m_dialogs) {
        preview->SetTileState(length, true);
        preview->ShowPreview(show ? 1 : 2, length, false, slider);
    }
    return true;
}

void ViewerPreviews::Clear()
{
    m_shown = false;
    if (m_player)
        m_player->JoinPreview();
    for (CPreviewDlg* preview : m_dialogs)
        preview->ShowPreview(0, 0, false, QRect());
}

int ViewerPreviews::DecodePreview(int preview, quint8* data, int length)
{
    if (preview < 0 || preview >= kPreviews || !data || length <= 0)
        return -1;
    std::lock_guard<std::mutex> locker(m_lock);
    return m_chain.DecodeFrame(data, length, Buffer(preview), preview, 0, 0);
}

void ViewerPreviews::ShowPreview(int preview, int width, int height, const QString& caption)
{
    if (preview < 0 || preview >= kPreviews)
        return;
    QImage picture;
    if (width > 0 && height > 0 && int64_t(width) * height * 4 <= kPictureBufferBytes) {
        std::lock_guard<std::mutex> locker(m_lock);
        picture = QImage(Buffer(preview), width, height, QImage::Format_RGB32).copy();
    }
    m_dialogs[size_t(preview)]->SetPicture(picture, caption);
}
