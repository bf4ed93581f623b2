#include "printing/paintercanvas.h"

#include <QFontMetrics>
#include <QGlyphRun>
#include <QPainter>
#include <QPagedPaintDevice>
#include <QSvgRenderer>
#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace gs {

DeviceMetrics MetricsOfPagedDevice(const QPagedPaintDevice& device) {
    DeviceMetrics m;
    m.resolutionX = device.logicalDpiX();
    m.resolutionY = device.logicalDpiY();
    const QPageLayout layout = device.pageLayout();
    const int res = m.resolutionX;
    const QRect full = layout.fullRectPixels(res);
    const QRect paint = layout.paintRectPixels(res);
    m.physicalOffsetX = paint.left() - full.left();
    m.physicalOffsetY = paint.top() - full.top();
    m.printableWidth = paint.width();
    m.printableHeight = paint.height();
    return m;
}

PageGeometry GeometryOfLayout(const QPageLayout& layout, int resolution) {
    PageGeometry page;
    DeviceMetrics& m = page.metrics;
    m.resolutionX = m.resolutionY = resolution;
    const QRect full = layout.fullRectPixels(resolution);
    const QRect paint = layout.paintRectPixels(resolution);
    m.physicalOffsetX = paint.left() - full.left();
    m.physicalOffsetY = paint.top() - full.top();
    m.printableWidth = paint.width();
    m.printableHeight = paint.height();
    page.sheetInches = layout.fullRect(QPageLayout::Inch).size();
    return page;
}

PainterCanvas::PainterCanvas(QPainter& painter, const DeviceMetrics& metrics)
    : painter_(painter), metrics_(metrics) {}

void PainterCanvas::SetFont(const CanvasFont& font) {
    font_ = font;
    qfont_ = QFont(font.face);
    qfont_.setPixelSize(std::max(1, std::abs(font.height)));
    qfont_.setWeight(font.Bold() ? QFont::Bold : QFont::Normal);
    qfont_.setItalic(false);
    qfont_.setUnderline(false);
    qfont_.setStrikeOut(false);
    qfont_.setKerning(false);
    qfont_.setHintingPreference(QFont::PreferNoHinting);
    fontMetrics_.emplace(qfont_, painter_.device());
    rawFont_ = QRawFont::fromFont(qfont_);
    fontInPainter_ = false;
}

// The glyphs of a text in the canvas font, with their advances; false when
// the font lacks a character (drawText then finds another font for it).
bool PainterCanvas::Glyphs(const QString& text, QList<quint32>& glyphs, QList<QPointF>& advances) {
    if (!rawFont_.isValid()) return false;
    for (QChar c : text)
        if (c.isSurrogate()) return false;
    glyphs = rawFont_.glyphIndexesForString(text);
    for (qsizetype i = 0; i < glyphs.size(); ++i)
        if (glyphs[i] == 0 && i < text.size() && !text[i].isSpace()) return false;  // needs another font
    advances = rawFont_.advancesForGlyphIndexes(glyphs, QRawFont::UseDesignMetrics);
    return true;
}

const QFontMetrics& PainterCanvas::Metrics() {
    if (!fontMetrics_) fontMetrics_.emplace(qfont_, painter_.device());
    return *fontMetrics_;
}

void PainterCanvas::TextOut(int x, int y, const QString& text) {
    if (text.isEmpty()) return;
    const int ascent = Metrics().ascent();
    if (font_.escapement == 0) {
        // Upright text needs no state of its own: pages of many short texts
        // (reports) print much faster without a save and restore for each.
        if (!fontInPainter_) {
            painter_.setFont(qfont_);
            fontInPainter_ = true;
        }
        if (painter_.pen().color() != font_.color || painter_.pen().style() != Qt::SolidLine)
            painter_.setPen(font_.color);
        // Laid out from the font's own glyphs and advances (the canvas
        // font has no kerning), which spares the text shaping of drawText:
        // a third of the time of a report page of many short texts.
        QList<quint32> glyphs;
        QList<QPointF> advances;
        if (Glyphs(text, glyphs, advances)) {
            QList<QPointF> positions(glyphs.size());
            qreal pen = 0;
            for (qsizetype i = 0; i < glyphs.size(); ++i) {
                positions[i] = QPointF(pen, 0);
                pen += advances[i].x();
            }
            QGlyphRun run;
            run.setRawFont(rawFont_);
            run.setGlyphIndexes(glyphs);
            run.setPositions(positions);
            painter_.drawGlyphRun(QPointF(x, y + ascent), run);
        } else {
            painter_.drawText(x, y + ascent, text);
        }
        return;
    }
    painter_.save();
    painter_.setFont(qfont_);
    painter_.setPen(font_.color);
    painter_.translate(x, y);
    // The escapement counts counter-clockwise; with y pointing down the page
    // that is a negative turn for the painter.
    painter_.rotate(-font_.escapement / 10.0);
    painter_.drawText(0, ascent, text);
    painter_.restore();
}

int PainterCanvas::TextWidth(const QString& text) {
    QList<quint32> glyphs;
    QList<QPointF> advances;
    if (!Glyphs(text, glyphs, advances)) return Metrics().horizontalAdvance(text);
    qreal width = 0;
    for (const QPointF& a : advances) width += a.x();
    return static_cast<int>(std::lround(width));
}

QImage DeviceBitmap(const QImage& bitmap) {
    const QImage gray = bitmap.convertToFormat(QImage::Format_Grayscale8);
    const int width = gray.width();
    QImage mono(gray.size(), QImage::Format_Mono);
    // Index 0 black, 1 white: the order PDF output keeps as a 1-bit image.
    mono.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    for (int y = 0; y < gray.height(); ++y) {
        const uchar* in = gray.constScanLine(y);
        uchar* out = mono.scanLine(y);
        for (int x0 = 0; x0 < width; x0 += 8) {
            uchar bits = 0;
            const int n = std::min(8, width - x0);
            for (int i = 0; i < n; ++i) {
                const uchar v = in[x0 + i];
                if (v == 255) bits |= static_cast<uchar>(0x80 >> i);
                else if (v != 0) return bitmap;  // more than two colours: keep it as it is
            }
            out[x0 >> 3] = bits;
        }
    }
    return mono;
}

void PainterCanvas::DrawBitmap(const QRect& target, const QImage& bitmap) {
    // Stretch here with nearest neighbour so module edges stay sharp whatever
    // the output device does with images.
    const QImage scaled = bitmap.size() == target.size()
                              ? bitmap
                              : bitmap.scaled(target.size(), Qt::IgnoreAspectRatio, Qt::FastTransformation);
    painter_.save();
    painter_.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter_.setRenderHint(QPainter::LosslessImageRendering, true);
    painter_.drawImage(target.topLeft(), DeviceBitmap(scaled));
    painter_.restore();
}

void PainterCanvas::DrawPicture(const QRect& target, QSvgRenderer& picture) {
    painter_.save();
    picture.setAspectRatioMode(Qt::IgnoreAspectRatio);
    picture.render(&painter_, QRectF(target));
    painter_.restore();
}

void PainterCanvas::FillRect(const QRect& target, const QColor& color) { painter_.fillRect(target, color); }

}  // namespace gs
