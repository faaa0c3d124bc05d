#include "ui/osdpainter.h"

#include <QFileInfo>
#include <QFontMetrics>
#include <QPainter>
#include <QStringList>

const QColor OsdPainter::kBorderColour(59, 91, 134);
const QColor OsdPainter::kSelectColour(255, 0, 0);
const QColor OsdPainter::kPlaybackColour(255, 80, 80);
const QColor OsdPainter::kAudioColour(180, 180, 255);

namespace {

constexpr int kMargin = 8;
constexpr int kTopLine = 5;
constexpr int kLineHeight = 16;

enum class Triangle { None, Left, Right };

struct Glyph
{
    Triangle triangle;
    int triangles;
    int bars[2];
    int barCount;
};

// clang-format off
// Per play state: triangles drawn at the base (a second one 10 pixels right) and bar offsets.
const Glyph kGlyphs[9] = {
    {Triangle::Left, 1, {-5, 0}, 1},
    {Triangle::Right, 1, {-5, 0}, 1},
    {Triangle::Right, 1, {13, 0}, 1},
    {Triangle::Left, 1, {0, 0}, 0},
    {Triangle::None, 0, {5, 10}, 2},
    {Triangle::Right, 1, {0, 0}, 0},
    {Triangle::Left, 2, {0, 0}, 0},
    {Triangle::Left, 1, {14, 0}, 1},
    {Triangle::Right, 2, {0, 0}, 0},
};
// clang-format on

void DrawGlyphLines(QPainter& painter, const Glyph& glyph, int base, int y1, int y2)
{
    const int middle = y1 + 8;
    for (int n = 0; n < glyph.triangles; ++n) {
        const int x = base + n * 10;
        if (glyph.triangle == Triangle::Left) {
            for (int k = 0; k <= 8; ++k) {
                painter.drawLine(x + k, middle - k, x + k, middle + k);
            }
        } else {
            for (int k = 0; k <= 7; ++k) {
                painter.drawLine(x + k, y1 + k, x + k, y2 - k);
            }
        }
    }
    for (int b = 0; b < glyph.barCount; ++b) {
        painter.drawLine(base + glyph.bars[b], y1, base + glyph.bars[b], y2);
    }
}

} // namespace

OsdPainter::OsdPainter()
{
    // The recorder screens' bold 16-pixel sans; fontconfig picks the nearest installed family.
    m_font.setFamilies(
        {QStringLiteral("Microsoft Sans Serif"), QStringLiteral("DejaVu Sans"), QStringLiteral("Sans Serif")});
    m_font.setPixelSize(16);
    m_font.setWeight(QFont::Bold);
    m_font.setStyleStrategy(QFont::NoAntialias);
}

int OsdPainter::DrawShadowText(QPainter& painter, int x, int y, const QColor& colour, const QString& text,
                               TextAnchor anchor) const
{
    const QFontMetrics metrics(painter.font());
    const int width = metrics.horizontalAdvance(text);
    int left = x;
    int baseline = y;
    switch (anchor) {
    case TextAnchor::TopLeft: baseline = y + metrics.ascent(); break;
    case TextAnchor::BottomLeft: baseline = y - metrics.descent(); break;
    case TextAnchor::TopRight:
        left = x - width;
        baseline = y + metrics.ascent();
        break;
    case TextAnchor::BottomRight:
        left = x - width;
        baseline = y - metrics.descent();
        break;
    case TextAnchor::CentreBaseline: left = x - width / 2; break;
    }
    painter.setPen(Qt::black);
    painter.drawText(left + 1, baseline + 1, text);
    painter.setPen(colour);
    painter.drawText(left, baseline, text);
    return width;
}

void OsdPainter::DrawOsd(QPainter& painter, const OsdContent& content) const
{
    painter.save();
    DrawFrame(painter, content);
    painter.setFont(m_font);
    painter.setBackgroundMode(Qt::TransparentMode);
    int x = 0;
    if (m_options.showTileNumber) {
        x += DrawShadowText(painter, content.rect.left() + kMargin, content.rect.top() + kTopLine,
                            QColor(m_options.textColour), QStringLiteral("%1 ").arg(content.tile + 1),
                            TextAnchor::TopLeft);
    }
    if (content.camera || content.mark != -1) {
        DrawTexts(painter, content, x);
    }
    painter.restore();
}

void OsdPainter::DrawFrame(QPainter& painter, const OsdContent& content) const
{
    const int left = content.rect.left();
    const int top = content.rect.top();
    const int w = content.rect.width();
    const int h = content.rect.height();
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(kBorderColour, 2, Qt::SolidLine, Qt::SquareCap));
    const QPoint corners[] = {
        {left, top}, {left, top + h - 1}, {left + w - 1, top + h - 1}, {left + w - 1, top}, {left, top}};
    painter.drawPolyline(corners, 5);
    if (!content.selected || !content.multiTile) {
        return;
    }
    painter.setPen(QPen(kSelectColour, 2, Qt::SolidLine, Qt::SquareCap));
    for (int column : {left + 2, left + 3, left + w - 3, left + w - 4}) {
        painter.drawLine(column, top + 1, column, top + h - 3);
    }
    for (int row : {top + h - 3, top + h - 4, top + 2, top + 3}) {
        painter.drawLine(left + 2, row, left + w - 3, row);
    }
}

QString OsdPainter::RecorderName(const OsdContent& content) const
{
    if (content.fileTile && content.player) {
        if (!content.player->recorderName.isEmpty()) {
            return content.player->recorderName;
        }
        return QFileInfo(content.player->dataPath).fileName();
    }
    return content.camera ? content.camera->recorderName : QString();
}

QString OsdPainter::CameraTitle(const OsdContent& content) const
{
    if (content.camera) {
        return content.camera->title;
    }
    return content.fileTile && content.player ? content.player->cameraText : QString();
}

QString OsdPainter::EventText(const OsdCamera& camera) const
{
    if (!camera.signal) {
        return m_words.videoLoss;
    }
    QStringList words;
    if (camera.motion) {
        words << m_words.motion;
    }
    if (camera.sensor) {
        words << m_words.sensor;
    }
    return words.join(QStringLiteral(" & "));
}

void OsdPainter::DrawTexts(QPainter& painter, const OsdContent& content, int x) const
{
    const QRect& r = content.rect;
    const QColor colour(m_options.textColour);
    const bool covert = content.camera && content.camera->covert;
    const QPoint centre(r.left() + r.width() / 2, r.top() + r.height() / 2);

    if (m_options.showRecorderName) {
        DrawShadowText(painter, r.left() + kMargin, r.top() + r.height() - kTopLine, colour, RecorderName(content),
                       TextAnchor::BottomLeft);
    }
    if (m_options.showCameraTitle) {
        x += DrawShadowText(painter, r.left() + kMargin + x, r.top() + kTopLine, colour, CameraTitle(content),
                            TextAnchor::TopLeft);
    }
    x += 5;
    int line = 0;
    if (content.layoutCode >= 10) {
        x = 0;
        line = kLineHeight;
    }
    const int textTop = r.top() + kTopLine + line;
    if (content.mark >= 0) {
        const bool remote = content.player && content.player->remote;
        x += DrawShadowText(painter, r.left() + kMargin + x, textTop, kPlaybackColour,
                            remote ? QStringLiteral("PB") : QStringLiteral("LB"), TextAnchor::TopLeft)
             + 5;
    }
    if (content.player && content.player->audio > 0) {
        DrawShadowText(painter, r.left() + kMargin + x, textTop, kAudioColour,
                       content.player->audio == 2 ? QStringLiteral("((A))") : QStringLiteral("A"),
                       TextAnchor::TopLeft);
    }
    if (content.player && content.player->requestResult == 2) {
        DrawShadowText(painter, centre.x(), centre.y(), colour, QStringLiteral("DATA ERROR"),
                       TextAnchor::CentreBaseline);
    }
    if (!covert) {
        const int right = r.left() + r.width() - kMargin;
        if (m_options.showDate) {
            const int year = content.date / 10000;
            const int month = content.date / 100 % 100;
            const int day = content.date % 100;
            DrawShadowText(painter, right, r.top() + kTopLine, colour,
                           QString::asprintf("%02d/%02d/%04d", month, day, year), TextAnchor::TopRight);
        }
        if (m_options.showTime) {
            const int hours = content.time / 10000;
            const int minutes = content.time / 100 % 100;
            const int seconds = content.time % 100;
            DrawShadowText(painter, right, r.top() + kTopLine + (m_options.showDate ? 14 : 0), colour,
                           QString::asprintf("%02d:%02d:%02d", hours, minutes, seconds), TextAnchor::TopRight);
        }
    }
    bool glyphDrawn = false;
    if (content.mark == kMarkNoData) {
        DrawShadowText(painter, centre.x(), centre.y(), colour, QStringLiteral("No Data"),
                       TextAnchor::CentreBaseline);
    } else if (content.mark == -1) {
        if (m_options.showEvent && content.camera && !covert) {
            DrawShadowText(painter, centre.x(), centre.y(), colour, EventText(*content.camera),
                           TextAnchor::CentreBaseline);
        }
    } else {
        glyphDrawn = DrawPlayStateGlyph(painter, r, content.mark, content.player ? content.player->speedStep : 0);
    }
    if (content.camera && content.liveRecordState > 0 && !covert) {
        const int glyphMargin = glyphDrawn ? 30 : 0;
        DrawShadowText(painter, r.left() + r.width() - kMargin - glyphMargin, r.top() + r.height() - kTopLine,
                       kSelectColour, m_words.rec, TextAnchor::BottomRight);
    }
}

bool OsdPainter::DrawPlayStateGlyph(QPainter& painter, const QRect& rect, int mark, int speedStep) const
{
    if (mark < 0 || mark > 8) {
        return false;
    }
    const Glyph& glyph = kGlyphs[mark];
    const int base = rect.left() + rect.width() - 28;
    const int y1 = rect.top() + rect.height() - 30;
    const int y2 = y1 + 16;
    const QColor colour(m_options.textColour);
    painter.save();
    painter.setPen(QPen(Qt::black, 5, Qt::SolidLine, Qt::RoundCap));
    DrawGlyphLines(painter, glyph, base, y1, y2);
    painter.setPen(QPen(colour, 2, Qt::SolidLine, Qt::RoundCap));
    DrawGlyphLines(painter, glyph, base, y1, y2);
    painter.restore();
    if (mark == 6 || mark == 8) {
        painter.save();
        painter.setFont(m_font);
        DrawShadowText(painter, rect.left() + rect.width() - 48, y1, colour,
                       QStringLiteral("x%1").arg(speedStep + 1), TextAnchor::TopLeft);
        painter.restore();
    }
    return true;
}
