#include "ui/osdoverlay.h"

#include "ui/osdpainter.h"

#include <QPainter>

#include <cstring>

namespace {

bool SameStyle(const OsdStyle& a, const OsdStyle& b)
{
    return a.showCameraTitle == b.showCameraTitle && a.showRecorderName == b.showRecorderName
           && a.showDate == b.showDate && a.showTime == b.showTime && a.showEvent == b.showEvent
           && a.showTileNumber == b.showTileNumber && a.textColour == b.textColour;
}

bool SameWords(const OsdEventWords& a, const OsdEventWords& b)
{
    return a.motion == b.motion && a.sensor == b.sensor && a.videoLoss == b.videoLoss && a.rec == b.rec
           && a.ptz == b.ptz;
}

bool SameCamera(const std::optional<OsdCamera>& a, const std::optional<OsdCamera>& b)
{
    if (a.has_value() != b.has_value())
        return false;
    return !a
           || (a->recorderName == b->recorderName && a->title == b->title && a->covert == b->covert
               && a->motion == b->motion && a->sensor == b->sensor && a->signal == b->signal);
}

bool SamePlayer(const std::optional<OsdPlayerText>& a, const std::optional<OsdPlayerText>& b)
{
    if (a.has_value() != b.has_value())
        return false;
    return !a
           || (a->recorderName == b->recorderName && a->cameraText == b->cameraText && a->dataPath == b->dataPath
               && a->remote == b->remote && a->audio == b->audio && a->requestResult == b->requestResult
               && a->speedStep == b->speedStep);
}

bool SameContent(const OsdContent& a, const OsdContent& b)
{
    return a.tile == b.tile && a.rect == b.rect && a.selected == b.selected && a.multiTile == b.multiTile
           && a.layoutCode == b.layoutCode && a.mark == b.mark && a.date == b.date && a.time == b.time
           && a.fileTile == b.fileTile && a.liveRecordState == b.liveRecordState && SameCamera(a.camera, b.camera)
           && SamePlayer(a.player, b.player);
}

bool TakesRuns(const QImage& image)
{
    return image.format() == QImage::Format_RGB32 || image.format() == QImage::Format_ARGB32
           || image.format() == QImage::Format_ARGB32_Premultiplied;
}

} // namespace

void OsdOverlay::Paint(const OsdPainter& painter, const OsdContent& content, QImage& target)
{
    QPainter on(&target);
    on.setClipRect(content.rect);
    on.translate(content.rect.topLeft());
    OsdContent local = content;
    local.rect = QRect(QPoint(0, 0), content.rect.size());
    painter.DrawOsd(on, local);
}

bool OsdOverlay::Matches(const OsdPainter& painter, const OsdContent& local) const
{
    return m_valid && SameContent(m_content, local) && SameStyle(m_style, painter.Options())
           && SameWords(m_words, painter.EventWords());
}

void OsdOverlay::Render(const OsdPainter& painter, const OsdContent& local)
{
    ++m_renders;
    m_valid = true;
    m_content = local;
    m_style = painter.Options();
    m_words = painter.EventWords();
    m_runs.clear();
    m_pixels.clear();
    m_runsExact = true;
    // Untouched pixels stay fully transparent; covered ones become opaque.
    QImage drawn(local.rect.size(), QImage::Format_ARGB32_Premultiplied);
    if (drawn.isNull()) {
        m_runsExact = false;
        return;
    }
    drawn.fill(Qt::transparent);
    Paint(painter, local, drawn);
    for (int row = 0; row < drawn.height(); ++row) {
        const auto* line = reinterpret_cast<const uint32_t*>(drawn.constScanLine(row));
        int column = 0;
        while (column < drawn.width()) {
            const uint32_t alpha = line[column] >> 24;
            if (alpha == 0) {
                ++column;
                continue;
            }
            if (alpha != 255) {
                m_runsExact = false;
                m_runs.clear();
                m_pixels.clear();
                return;
            }
            Run run;
            run.row = row;
            run.column = column;
            run.first = m_pixels.size();
            while (column < drawn.width() && (line[column] >> 24) == 255)
                m_pixels.push_back(line[column++]);
            run.length = column - run.column;
            m_runs.push_back(run);
        }
    }
}

void OsdOverlay::Draw(const OsdPainter& painter, const OsdContent& content, QImage& target)
{
    const QRect& rect = content.rect;
    if (rect.isEmpty())
        return;
    if (!TakesRuns(target) || !target.rect().contains(rect)) {
        Paint(painter, content, target);
        return;
    }
    OsdContent local = content;
    local.rect = QRect(QPoint(0, 0), rect.size());
    if (!Matches(painter, local))
        Render(painter, local);
    if (!m_runsExact) {
        Paint(painter, content, target);
        return;
    }
    // Opaque pixels of the three 32-bit layouts are the same four bytes.
    const qsizetype stride = target.bytesPerLine();
    uint8_t* origin = target.bits() + qsizetype(rect.top()) * stride + qsizetype(rect.left()) * 4;
    for (const Run& run : m_runs)
        std::memcpy(origin + qsizetype(run.row) * stride + qsizetype(run.column) * 4, &m_pixels[run.first],
                    size_t(run.length) * 4);
}
