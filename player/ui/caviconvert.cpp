#include "ui/caviconvert.h"

#include "ui/aviexporthost.h"
#include "ui/crangeslider.h"
#include "ui/skinbitmaps.h"
#include "ui/uilog.h"

#include "engine/sizecode.h"
#include "engine/videodecoder.h"
#include "playback/aviexportjob.h"
#include "playback/aviexportrules.h"
#include "playback/framelistexportsource.h"
#include "playback/mp4reencode.h"
#include "playback/searchview.h"
#include "playback/tileexportsource.h"

#include <QCheckBox>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>

#include <algorithm>

namespace {

constexpr int kSelectSeconds = 20;
constexpr int kSelectEntries = 100;
// The own decoder's largest single-layer picture; layered pictures come out twice as wide and high.
constexpr int kOwnWidth = 336;
constexpr int kOwnHeight = 272;
// The own decoder's setting that picks its output routine.
constexpr int kOutputRoutineSetting = 5;
constexpr QSize kPreviewSize(289, 206);

QString TimeOf(int secondOfDay)
{
    const int s = std::clamp(secondOfDay, 0, 86399);
    return QStringLiteral("%1:%2:%3")
        .arg(s / 3600, 2, 10, QLatin1Char('0'))
        .arg(s / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(s % 60, 2, 10, QLatin1Char('0'));
}

QLabel* Caption(const QString& text, const QRect& place, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setGeometry(place);
    return label;
}

} // namespace

CAVIConvert::CAVIConvert(AviExportHost& host, const DecoderLibraries& libraries, QWidget* parent)
    : QDialog(parent)
    , m_host(host)
    , m_slider(new CRangeSlider(this))
    , m_preview(new QLabel(this))
    , m_channel(new QLabel(this))
    , m_camera(new QLabel(this))
    , m_date(new QLabel(this))
    , m_startTime(new QLabel(this))
    , m_endTime(new QLabel(this))
    , m_progressText(new QLabel(QStringLiteral("0%"), this))
    , m_progress(new QProgressBar(this))
    , m_osd(new QCheckBox(QStringLiteral("OSD"), this))
    , m_mark(new QCheckBox(QStringLiteral("W-Mark"), this))
    , m_audio(new QCheckBox(QStringLiteral("Audio"), this))
    , m_mpeg4(new QCheckBox(QStringLiteral("Mpeg4"), this))
    , m_save(new QPushButton(QStringLiteral("Save AVI"), this))
    , m_close(new QPushButton(QStringLiteral("Close"), this))
{
    setWindowTitle(QStringLiteral("Save AVI"));
    setFixedSize(520, 330);
    m_chain.Load(libraries);
    m_chain.SetPictureBuffers([this](int) {
        if (m_picture.empty())
            m_picture.assign(size_t(kPictureBufferBytes), 0);
        return m_picture.data();
    });
    m_writer.Init();
    m_markBitmaps[0] = SkinBitmaps::Load(SkinBitmaps::kMark).toImage();
    m_markBitmaps[1] = SkinBitmaps::Load(SkinBitmaps::kSecondMark).toImage();

    m_preview->setGeometry(QRect(QPoint(12, 12), kPreviewSize));
    m_preview->setStyleSheet(QStringLiteral("background: black;"));
    const char* captions[5] = {"Channel :", "Cameara :", "Date :", "Start Time :", "End Time :"};
    QLabel* values[5] = {m_channel, m_camera, m_date, m_startTime, m_endTime};
    for (int i = 0; i < 5; ++i) {
        Caption(QString::fromLatin1(captions[i]), QRect(315, 14 + 26 * i, 80, 22), this);
        values[i]->setGeometry(400, 14 + 26 * i, 110, 22);
    }
    m_osd->setGeometry(315, 150, 90, 22);
    m_mark->setGeometry(410, 150, 90, 22);
    m_audio->setGeometry(315, 176, 90, 22);
    m_mpeg4->setGeometry(410, 176, 90, 22);
    m_slider->setGeometry(12, 228, 496, 24);
    m_progress->setGeometry(12, 262, 440, 18);
    m_progress->setRange(0, 100);
    m_progress->setValue(0);
    m_progress->setTextVisible(false);
    m_progressText->setGeometry(460, 260, 48, 22);
    m_save->setGeometry(300, 292, 100, 28);
    m_close->setGeometry(408, 292, 100, 28);

    connect(m_save, &QPushButton::clicked, this, &CAVIConvert::OnSaveAvi);
    connect(m_close, &QPushButton::clicked, this, &CAVIConvert::OnClose);
    connect(m_slider, &CRangeSlider::rangeChanging, this, [this](int) {
        m_start = int(m_slider->Left());
        m_end = int(m_slider->Right());
        WriteLabels();
    });
    connect(m_slider, &CRangeSlider::rangeChanged, this, [this](int, int) { OnRangeChanged(); });
    connect(m_osd, &QCheckBox::toggled, this, [this] { StartPreview(m_start); });
    connect(m_mark, &QCheckBox::toggled, this, [this] { StartPreview(m_start); });
}

CAVIConvert::~CAVIConvert()
{
    m_running = false;
    JoinWorker();
}

void CAVIConvert::JoinWorker()
{
    if (m_worker.joinable())
        m_worker.join();
}

int CAVIConvert::Decode(quint8* data, int length, bool continuation, QImage& picture)
{
    uint8_t* output = m_picture.empty() ? nullptr : m_picture.data();
    if (!output) {
        m_picture.assign(size_t(kPictureBufferBytes), 0);
        output = m_picture.data();
    }
    const int result = m_chain.DecodeFrame(data, length, output, 0, 0, continuation ? 1 : 0);
    if (SizeCode::HasPicture(result)) {
        const int width = SizeCode::Width(result);
        const int height = SizeCode::Height(result);
        if (width > 0 && height > 0 && int64_t(width) * height * 4 <= kPictureBufferBytes)
            picture = QImage(output, width, height, QImage::Format_RGB32).copy();
    }
    return result;
}

int CAVIConvert::DecodeOwn(const quint8* data, int length, QImage& picture)
{
    if (m_picture.empty())
        m_picture.assign(size_t(kPictureBufferBytes), 0);
    // Layered pictures whole, at their full size; no post-filter; the first family.
    const int result = m_own->Decode(data, length, m_picture.data(), kPictureBufferBytes, 0, 1, 0, 1);
    if (SizeCode::HasPicture(result)) {
        const int width = SizeCode::Width(result);
        const int height = SizeCode::Height(result);
        if (int64_t(width) * height * 4 <= kPictureBufferBytes)
            picture = QImage(m_picture.data(), width, height, QImage::Format_RGB32).copy();
    }
    return result;
}

bool CAVIConvert::OpenEntryTable(CSearchView* tile)
{
    if (!m_own) {
        m_own = std::make_unique<VideoDecoder>();
        // 32-bit pictures, as the engine's picture buffers hold them.
        if (m_own->Init(kOwnWidth, kOwnHeight) != 0
            || m_own->Set(0, kOutputRoutineSetting, int(OutputRoutine::Bgrx32)) != 0) {
            m_own.reset();
            return false;
        }
    }
    auto entries = std::make_shared<FrameListExportSource>(
        [this](const quint8* data, int length, QImage& picture) { return DecodeOwn(data, length, picture); });
    if (!entries->Load(tile->IndexPath(), tile->DataPath()))
        return false;
    m_entries = std::move(entries);
    m_rate = m_entries->Rate();
    return true;
}

std::unique_ptr<TileExportSource> CAVIConvert::MakeSource() const
{
    return std::make_unique<TileExportSource>(
        m_tile->Paths(), m_tile->Index(),
        [this](quint8* data, int length, bool continuation, QImage& picture) {
            return const_cast<CAVIConvert*>(this)->Decode(data, length, continuation, picture);
        },
        m_tile->Audio());
}

QImage CAVIConvert::Mark() const
{
    return m_markBitmaps[0];
}

bool CAVIConvert::OpenForTile(CSearchView* tile, bool mpeg4Allowed)
{
    if (!tile || !tile->IsOpened() || IsRunning())
        return false;
    const bool entryMode = !tile->IndexBased();
    if (!entryMode && !tile->Layout512())
        return false;
    JoinWorker();
    m_entries.reset();
    m_savedPosition = -1;
    if (entryMode && !OpenEntryTable(tile))
        return false;
    m_tile = tile;
    m_entryMode = entryMode;
    m_mpeg4Allowed = mpeg4Allowed;
    int start = 0;
    int end = 0;
    if (entryMode) {
        // The range runs over the entries; it starts at the frame the tile stands on.
        m_length = m_entries->EntryCount() - 1;
        const FrameListReader& list = tile->FrameList();
        m_savedPosition = tile->GetPlayPosition();
        start = std::max(0, m_entries->Find(list.CurrentFile(), list.CurrentFrame()));
        end = std::min(start + kSelectEntries, m_length);
    } else {
        const IndexInfo& index = tile->Index();
        m_length = std::max(0, index.lastSecond - index.firstSecond);
        const int current = std::clamp(tile->GetPlayPosition(), 0, m_length);
        start = m_length < kSelectSeconds ? 0 : std::min(current, m_length - kSelectSeconds);
        end = m_length < kSelectSeconds ? m_length : start + kSelectSeconds;
    }
    m_slider->SetMinMax(0, std::max(1, m_length));
    SetRange(start, end);
    m_audio->setChecked(false);
    m_mpeg4->setChecked(false);
    EnableControls(true);
    m_progress->setValue(0);
    m_progressText->setText(QStringLiteral("0%"));
    m_host.EnableMainDialog(false);
    show();
    raise();
    OnRangeChanged();
    return true;
}

void CAVIConvert::SetRange(int start, int end)
{
    m_start = std::clamp(std::min(start, end), 0, m_length);
    m_end = std::clamp(std::max(start, end), 0, m_length);
    m_slider->SetRange(m_start, m_end);
    WriteLabels();
}

void CAVIConvert::OnRangeChanged()
{
    m_start = int(m_slider->Left());
    m_end = int(m_slider->Right());
    WriteLabels();
    StartPreview(m_start);
}

void CAVIConvert::WriteLabels()
{
    if (!m_tile)
        return;
    m_channel->setText(QStringLiteral("%1").arg(m_tile->Channel() + 1, 2, 10, QLatin1Char('0')));
    m_camera->setText(m_tile->CameraTitle().isEmpty() ? QStringLiteral("-") : m_tile->CameraTitle());
    if (m_entryMode && m_entries) {
        m_date->setText(m_entries->DateText(m_start));
        m_startTime->setText(m_entries->TimeText(m_start));
        m_endTime->setText(m_entries->TimeText(m_end));
        return;
    }
    const QString date = m_tile->GetCurrentDateString();
    m_date->setText(date.size() == 8
                        ? date.mid(4, 2) + QLatin1Char('/') + date.mid(6, 2) + QLatin1Char('/') + date.left(4)
                        : date);
    const int first = m_tile->Index().firstSecond;
    m_startTime->setText(TimeOf(first + m_start));
    m_endTime->setText(TimeOf(first + m_end));
}

void CAVIConvert::StartPreview(int position)
{
    if (!m_tile || IsRunning())
        return;
    JoinWorker();
    setEnabled(false);
    AviExportOptions options;
    options.osd = m_osd->isChecked();
    options.watermark = m_mark->isChecked();
    options.mark = Mark();
    if (m_entryMode) {
        std::shared_ptr<FrameListExportSource> entries = m_entries;
        const int last = m_length;
        m_worker = std::thread([this, entries, options, position, last] {
            QImage picture;
            // The first entry from the position on that gives a picture.
            for (int e = position; e <= last && picture.isNull(); ++e) {
                QImage decoded;
                const EntryExportSource::Read read = entries->DecodeEntry(e, decoded);
                if (read == EntryExportSource::Read::DataError)
                    break;
                if (read == EntryExportSource::Read::Picture) {
                    CAviWriter unused;
                    picture = AviExportJob(*entries, unused, options).RenderFrame(decoded, e);
                }
            }
            QMetaObject::invokeMethod(
                this, [this, picture, position] { ShowPreview(picture, position); }, Qt::QueuedConnection);
        });
        return;
    }
    std::shared_ptr<TileExportSource> source(MakeSource());
    m_worker = std::thread([this, source, options, position] {
        QImage picture;
        bool shown = false;
        source->SeekSecond(position);
        // The first second from the position on that holds a picture.
        for (int s = position; s <= source->Length() && !shown; ++s) {
            if (source->FramesInSecond(s) > 0 && source->DecodeNext(picture)) {
                CAviWriter unused;
                AviExportJob job(*source, unused, options);
                picture = job.RenderFrame(picture, s);
                shown = true;
            }
        }
        QMetaObject::invokeMethod(
            this, [this, picture, position] { ShowPreview(picture, position); }, Qt::QueuedConnection);
    });
}

void CAVIConvert::ShowPreview(const QImage& picture, int)
{
    setEnabled(true);
    if (picture.isNull()) {
        m_preview->setPixmap(QPixmap());
        m_preview->setText(QStringLiteral("DATA ERROR"));
        return;
    }
    m_preview->setPixmap(
        QPixmap::fromImage(picture.scaled(kPreviewSize, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)));
}

void CAVIConvert::EnableControls(bool enable)
{
    m_slider->setEnabled(enable);
    // Only the sound of the client recording's own audio files is written, and only by seconds.
    m_audio->setEnabled(enable && m_tile && !m_entryMode
                        && TileExportSource::ExportsAudio(m_tile->GetAudioKind()));
    m_osd->setEnabled(enable);
    m_mark->setEnabled(enable);
    m_mpeg4->setEnabled(enable && m_mpeg4Allowed && !Mp4Reencode::FindEncoder().isEmpty());
    m_close->setEnabled(enable);
}

void CAVIConvert::OnSaveAvi()
{
    if (IsRunning()) {
        // The worker stops at its next slot and still finishes the file.
        m_running = false;
        return;
    }
    if (!m_tile)
        return;
    const QString folder = QDir(m_host.BackupFolder()).filePath(QStringLiteral("AVI"));
    QDir().mkpath(folder);
    const QString chosen = m_host.ChooseSavePath(
        AviExportRules::DefaultName(folder, QDateTime::currentDateTime()));
    if (chosen.isEmpty())
        return;
    m_aviPath = AviExportRules::AviPath(chosen);
    JoinWorker();
    m_writer.CloseIfOpen();
    m_writer.Init();
    m_writer.SetPath(m_aviPath);
    m_writer.SetQuality(10000);
    m_writer.SetUseMsvc(!m_host.XvidFlag());

    AviExportOptions options;
    options.osd = m_osd->isChecked();
    options.watermark = m_mark->isChecked();
    options.audio = !m_entryMode && m_audio->isChecked() && TileExportSource::ExportsAudio(m_tile->GetAudioKind());
    options.mark = Mark();
    m_running = true;
    m_save->setText(QStringLiteral("Stop Save"));
    EnableControls(false);
    SetProgress(0);
    const int start = m_start;
    const int end = std::max(m_end, m_start + 1);
    if (m_entryMode) {
        std::shared_ptr<FrameListExportSource> entries = m_entries;
        const int rate = m_rate;
        m_worker = std::thread([this, entries, options, rate, start, end] {
            AviExportJob job(*entries, m_writer, options);
            const AviExportResult result = job.RunEntryMode(rate, start, end, m_running, [this](int percent) {
                QMetaObject::invokeMethod(
                    this, [this, percent] { SetProgress(percent); }, Qt::QueuedConnection);
            });
            const qint64 size = job.FileSize();
            QMetaObject::invokeMethod(
                this, [this, result, size] { FinishExport(result, size); }, Qt::QueuedConnection);
        });
        return;
    }
    std::shared_ptr<TileExportSource> source(MakeSource());
    m_worker = std::thread([this, source, options, start, end] {
        AviExportJob job(*source, m_writer, options);
        const AviExportResult result = job.RunTimeMode(start, end, m_running, [this](int percent) {
            QMetaObject::invokeMethod(
                this, [this, percent] { SetProgress(percent); }, Qt::QueuedConnection);
        });
        const qint64 size = job.FileSize();
        QMetaObject::invokeMethod(
            this, [this, result, size] { FinishExport(result, size); }, Qt::QueuedConnection);
    });
}

void CAVIConvert::SetProgress(int percent)
{
    const int value = std::clamp(percent, 0, 100);
    m_progress->setValue(value);
    m_progressText->setText(QString::number(value) + QLatin1Char('%'));
}

void CAVIConvert::FinishExport(AviExportResult result, qint64 size)
{
    JoinWorker();
    m_running = false;
    switch (result) {
    case AviExportResult::OpenFailed: EndExport(QStringLiteral("AVI Convert Fail")); return;
    case AviExportResult::TooSmall: EndExport(QStringLiteral("%1\nAVI Covert Fail").arg(size)); return;
    case AviExportResult::DataError:
    case AviExportResult::Finished: break;
    }
    const QString done = result == AviExportResult::DataError ? QStringLiteral("DATA ERROR\nSave AVI Finish")
                                                              : QStringLiteral("Save AVI Finish");
    if (!m_mpeg4->isChecked()) {
        EndExport(done);
        return;
    }
    m_mp4 = std::make_unique<Mp4Reencode>();
    connect(m_mp4.get(), &Mp4Reencode::Finished, this,
            [this, done](bool ok, const QString&, const QString& message) {
                EndExport(ok ? done : done + QStringLiteral("\n") + message);
            });
    if (!m_mp4->Start(m_aviPath))
        EndExport(done + QStringLiteral("\nNo MP4: the encoder could not be started"));
}

void CAVIConvert::EndExport(const QString& message)
{
    m_save->setText(QStringLiteral("Save AVI"));
    EnableControls(true);
    m_progress->setValue(0);
    m_progressText->setText(QStringLiteral("0%"));
    auto* box = new QMessageBox(QMessageBox::Information, QStringLiteral("Save AVI"), message, QMessageBox::Ok,
                                this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
    emit exportFinished(message);
}

void CAVIConvert::OnClose()
{
    m_running = false;
    JoinWorker();
    m_writer.CloseIfOpen();
    // Entry mode: the tile shows the frame it stood on again, and the entry table goes.
    if (m_entryMode && m_tile && m_savedPosition >= 0)
        m_tile->SeekToFrame(m_savedPosition);
    m_entries.reset();
    m_savedPosition = -1;
    m_entryMode = false;
    m_tile = nullptr;
    m_host.EnableMainDialog(true);
    hide();
}

void CAVIConvert::keyPressEvent(QKeyEvent* event)
{
    // Escape does not close the dialog (an export may be running).
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void CAVIConvert::reject()
{
    if (!IsRunning())
        OnClose();
}
