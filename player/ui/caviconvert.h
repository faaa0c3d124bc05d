#pragma once
// The export dialog of a tile ("Save AVI"): a range of the tile's recording, chosen on a range
// slider and previewed, is written into an AVI file with the on-screen date and time, the
// watermark on request, and re-encoded into MP4 by the `ffmpeg` program when "Mpeg4" is ticked.
// Recordings with the 16-byte per-second index are exported by seconds (time mode); the
// player's own recordings by their frame entries (entry mode), at their own frame rate. The
// export reads and decodes the recording on a worker thread of its own with a decoder of its
// own, so the tile and the user-interface thread are never held; progress and the outcome come
// back queued. Closing an entry-mode export puts the tile back at the frame it stood on.
#include "engine/decoderchain.h"
#include "playback/caviwriter.h"

#include <QDialog>
#include <QImage>

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

class AviExportHost;
class CRangeSlider;
class CSearchView;
class FrameListExportSource;
class Mp4Reencode;
class QCheckBox;
class QLabel;
class QProgressBar;
class QPushButton;
class TileExportSource;
class VideoDecoder;
enum class AviExportResult;

class CAVIConvert : public QDialog
{
    Q_OBJECT
public:
    CAVIConvert(AviExportHost& host, const DecoderLibraries& libraries, QWidget* parent = nullptr);
    ~CAVIConvert() override;

    // Opens the dialog for a tile playing a recording of the 16-byte index layout (time mode) or
    // one of the player's own recordings (entry mode); false (the dialog stays closed)
    // otherwise. mpeg4Allowed enables the "Mpeg4" box.
    bool OpenForTile(CSearchView* tile, bool mpeg4Allowed);
    // "Save AVI" starts, "Stop Save" stops.
    void OnSaveAvi();
    void OnClose();
    bool IsRunning() const { return m_running.load(); }
    // Waits for the worker (tests and shut-down).
    void JoinWorker();

    bool EntryMode() const { return m_entryMode; }
    // Entry mode: output frames per second, from the entries' frame codes.
    int EntryRate() const { return m_rate; }
    int RangeStart() const { return m_start; }
    int RangeEnd() const { return m_end; }
    void SetRange(int start, int end);
    QString AviPath() const { return m_aviPath; }

    QPushButton* SaveButton() const { return m_save; }
    QPushButton* CloseButton() const { return m_close; }
    QCheckBox* OsdBox() const { return m_osd; }
    QCheckBox* MarkBox() const { return m_mark; }
    QCheckBox* AudioBox() const { return m_audio; }
    QCheckBox* Mpeg4Box() const { return m_mpeg4; }
    QLabel* ProgressText() const { return m_progressText; }
    QLabel* Preview() const { return m_preview; }
    CRangeSlider* RangeSlider() const { return m_slider; }

signals:
    // The export ended; message is what the user is told.
    void exportFinished(const QString& message);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void reject() override;

private:
    void OnRangeChanged();
    void WriteLabels();
    void StartPreview(int position);
    void ShowPreview(const QImage& picture, int position);
    void SetProgress(int percent);
    void FinishExport(AviExportResult result, qint64 size);
    void EndExport(const QString& message);
    void EnableControls(bool enable);
    int Decode(quint8* data, int length, bool continuation, QImage& picture);
    int DecodeOwn(const quint8* data, int length, QImage& picture);
    bool OpenEntryTable(CSearchView* tile);
    std::unique_ptr<TileExportSource> MakeSource() const;
    QImage Mark() const;

    AviExportHost& m_host;
    DecoderChain m_chain;
    std::vector<uint8_t> m_picture;
    CAviWriter m_writer;
    CSearchView* m_tile = nullptr;
    int m_start = 0;
    int m_end = 0;
    int m_length = 0;
    // Entry mode: the entry table, the output rate and the tile's play position to go back to.
    bool m_entryMode = false;
    std::unique_ptr<VideoDecoder> m_own;
    std::shared_ptr<FrameListExportSource> m_entries;
    int m_rate = 0;
    int m_savedPosition = -1;
    QString m_aviPath;
    std::atomic<bool> m_running{false};
    std::thread m_worker;
    std::unique_ptr<Mp4Reencode> m_mp4;
    bool m_mpeg4Allowed = false;

    CRangeSlider* m_slider;
    QLabel* m_preview;
    QLabel* m_channel;
    QLabel* m_camera;
    QLabel* m_date;
    QLabel* m_startTime;
    QLabel* m_endTime;
    QLabel* m_progressText;
    QProgressBar* m_progress;
    QCheckBox* m_osd;
    QCheckBox* m_mark;
    QCheckBox* m_audio;
    QCheckBox* m_mpeg4;
    QPushButton* m_save;
    QPushButton* m_close;
    // The two mark pictures of the skin; the first is blended into frames with W-Mark on.
    QImage m_markBitmaps[2];
};
