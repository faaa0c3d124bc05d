#pragma once
// The ten slider previews of the main dialog and their decoder: a decoder chain of their own,
// so a preview never decodes into a tile's contexts, with a picture buffer per preview made on
// first use. The preview reader threads of the tiles call DecodePreview and ShowPreview.
#include "engine/decoderchain.h"
#include "playback/previewsink.h"

#include <QObject>
#include <QRect>

#include <array>
#include <mutex>
#include <vector>

class CPreviewDlg;
class CSearchView;
class QWidget;

class ViewerPreviews : public QObject, public PreviewSink
{
    Q_OBJECT
public:
    static constexpr int kPreviews = 10;

    ViewerPreviews(QWidget* dialog, const DecoderLibraries& libraries);
    ~ViewerPreviews() override;

    // The tile whose recording the previews show (null: none).
    void SetPlayer(CSearchView* player) { m_player = player; }
    // Mouse entered (show) or left (hide) the play slider at `slider`; false when ignored.
    bool Show(bool show, const QRect& slider);
    // The layout changed: every preview is cleared and hidden.
    void Clear();
    bool Shown() const { return m_shown; }
    CPreviewDlg* Preview(int number) const { return m_dialogs[size_t(number)]; }

    // PreviewSink, from the preview reader threads.
    int DecodePreview(int preview, quint8* data, int length) override;
    void ShowPreview(int preview, int width, int height, const QString& caption) override;

private:
    uint8_t* Buffer(int preview);

    DecoderChain m_chain;
    std::mutex m_lock;
    std::array<std::vector<uint8_t>, kPreviews> m_buffers;
    std::array<CPreviewDlg*, kPreviews> m_dialogs{};
    CSearchView* m_player = nullptr;
    bool m_shown = false;
};
