#include "playback/aviexportjob.h"

#include "playback/aviexportrules.h"
#include "playback/playbacklog.h"

#include <QFileInfo>
#include <QPainter>

namespace {

constexpr int kOutputRate = 30;
constexpr qint64 kMinimumFile = 1024;

// The two lines with their tops at (20, 20) and (20, secondLine): a black outline one pixel
// around, then white. QPainter places text by its baseline, so each line moves down by the
// font's ascent; placed at the baseline, the first line rose above the picture's top.
void DrawLines(QPainter& painter, const QString& date, const QString& time, int pixelSize, int secondLine)
{
    QFont font = painter.font();
    font.setPixelSize(pixelSize);
    painter.setFont(font);
    const int ascent = painter.fontMetrics().ascent();
    const int first = 20 + ascent;
    const int second = secondLine + ascent;
    painter.setPen(Qt::black);
    for (int dx = -1; dx <= 1; ++dx) {
        for (int dy = -1; dy <= 1; ++dy) {
            painter.drawText(20 + dx, first + dy, date);
            painter.drawText(20 + dx, second + dy, time);
        }
    }
    painter.setPen(Qt::white);
    painter.drawText(20, first, date);
    painter.drawText(20, second, time);
}

} // namespace

AviExportJob::AviExportJob(ExportSource& source, CAviWriter& writer, const AviExportOptions& options)
    : m_source(&source)
    , m_writer(writer)
    , m_options(options)
{}

AviExportJob::AviExportJob(EntryExportSource& entries, CAviWriter& writer, const AviExportOptions& options)
    : m_entries(&entries)
    , m_writer(writer)
    , m_options(options)
{
    m_options.audio = false;
}

QImage AviExportJob::RenderFrame(const QImage& picture, int second) const
{
    const QSize size = AviExportRules::OutputSize(picture.size());
    QImage frame = picture.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                       .convertToFormat(QImage::Format_RGB32);
    if (m_options.watermark)
        AviExportRules::ApplyWatermark(frame, m_options.mark);
    if (m_options.osd) {
        QPainter painter(&frame);
        const bool small = frame.width() <= 700;
        const QString date = m_source ? m_source->DateText(second) : m_entries->DateText(second);
        const QString time = m_source ? m_source->TimeText(second) : m_entries->TimeText(second);
        DrawLines(painter, date, time, small ? 15 : 30, small ? 40 : 50);
    }
    return frame;
}

bool AviExportJob::AddFrame(const QImage* picture, bool repeat, int second)
{
    if (m_writer.State() == 0) {
        if (!picture)
            return true; // nothing to open the file with yet
        int opened = m_writer.Open(*picture, m_options.audio);
        if (opened == -2)
            opened = m_writer.Open(*picture, m_options.audio);
        if (opened != 0) {
            m_openFailed = true;
            return false;
        }
    }
    if (m_source && m_options.audio && m_frameCounter == 0 && second != m_lastAudioSecond) {
        m_lastAudioSecond = second;
        const QByteArray audio = m_source->AudioOfSecond(second);
        for (int at = 0; at + CAviWriter::kAudioBlock <= audio.size(); at += CAviWriter::kAudioBlock)
            m_writer.WriteAudio(audio.mid(at, CAviWriter::kAudioBlock));
    }
    const bool ok = m_writer.WriteFrame(picture, repeat) == 0;
    m_frameCounter = (m_frameCounter + 1) % kOutputRate;
    return ok;
}

AviExportResult AviExportJob::RunTimeMode(int start, int end, const std::atomic<bool>& running,
                                          const std::function<void(int)>& progress)
{
    if (!m_source)
        return AviExportResult::OpenFailed;
    m_writer.SetQuality(10000);
    m_writer.SetFrameRate(kOutputRate);
    m_frameCounter = 0;
    m_lastAudioSecond = -1;
    m_openFailed = false;
    bool dataError = false;
    if (progress)
        progress(0);
    m_source->SeekSecond(start);
    for (int second = start; second < end && running.load() && !dataError && !m_openFailed; ++second) {
        const int frames = qMin(m_source->FramesInSecond(second), AviExportRules::kSlots);
        if (frames >= 1) {
            const QVector<bool> row = AviExportRules::FrameRateRow(frames);
            for (int slot = 0; slot < AviExportRules::kSlots && running.load(); ++slot) {
                if (row[slot]) {
                    if (!AddFrame(nullptr, true, second))
                        break;
                    continue;
                }
                QImage picture;
                if (!m_source->DecodeNext(picture)) {
                    dataError = true;
                    break;
                }
                const QImage frame = RenderFrame(picture, second);
                if (!AddFrame(&frame, false, second))
                    break;
            }
        }
        if (progress)
            progress(AviExportRules::Progress(second + 1, start, end));
    }
    return Finish(dataError);
}

AviExportResult AviExportJob::RunEntryMode(int rate, int start, int end, const std::atomic<bool>& running,
                                           const std::function<void(int)>& progress)
{
    if (!m_entries)
        return AviExportResult::OpenFailed;
    m_writer.SetQuality(10000);
    m_writer.SetFrameRate(rate);
    m_frameCounter = 0;
    m_openFailed = false;
    bool dataError = false;
    if (progress)
        progress(0);
    end = qMin(end, m_entries->EntryCount());
    for (int entry = qMax(0, start); entry < end && running.load() && !m_openFailed; ++entry) {
        QImage picture;
        const EntryExportSource::Read read = m_entries->DecodeEntry(entry, picture);
        if (read == EntryExportSource::Read::DataError) {
            dataError = true;
            break;
        }
        // An entry without a picture keeps its place in time with the picture before it.
        bool ok = true;
        if (read == EntryExportSource::Read::Picture) {
            const QImage frame = RenderFrame(picture, entry);
            ok = AddFrame(&frame, false, entry);
        } else {
            ok = AddFrame(nullptr, true, entry);
        }
        if (ok && entry > start && m_entries->FrameCode(entry) < 1)
            ok = AddFrame(nullptr, true, entry);
        if (!ok)
            break;
        if (progress)
            progress(AviExportRules::Progress(entry + 1, start, end));
    }
    return Finish(dataError);
}

AviExportResult AviExportJob::Finish(bool dataError)
{
    if (m_openFailed) {
        m_writer.CloseIfOpen();
        return AviExportResult::OpenFailed;
    }
    const bool closed = m_writer.Close();
    m_fileSize = QFileInfo(m_writer.Path()).size();
    if (!closed || m_fileSize < kMinimumFile) {
        qCWarning(lcPlayerPlayback) << "AVI export too small" << m_fileSize;
        return AviExportResult::TooSmall;
    }
    return dataError ? AviExportResult::DataError : AviExportResult::Finished;
}
