#include "printing/paintercanvas.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPrinter>
#include <QSvgRenderer>
#include <cstdlib>

namespace gs {

DeviceMetrics MetricsOfPrinter(const QPrinter& printer) {
    DeviceMetrics m;
    m.resolutionX = printer.logicalDpiX();
    m.resolutionY = printer.logicalDpiY();
    const QPageLayout layout = printer.pageLayout();
    const int res = printer.resolution();
    const QRect full = layout.fullRectPixels(res);
    const QRect paint = layout.paintRectPixels(res);
    m.physicalOffsetX = paint.left() - full.left();
    m.physicalOffsetY = paint.top() - full.top();
    m.printableWidth = paint.width();
    m.printableHeight = paint.height();
    return m;
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
}

void PainterCanvas::TextOut(int x, int y, const QString& text) {
    if (text.isEmpty()) return;
    painter_.save();
    painter_.setFont(qfont_);
    painter_.setPen(font_.color);
    painter_.translate(x, y);
    // The escapement counts counter-clockwise; with y pointing down the page
    // that is a negative turn for the painter.
    if (font_.escapement != 0) painter_.rotate(-font_.escapement / 10.0);
    const QFontMetrics fm(qfont_, painter_.device());
    painter_.drawText(0, fm.ascent(), text);
    painter_.restore();
}

int PainterCanvas::TextWidth(const QString& text) {
    const QFontMetrics fm(qfont_, painter_.device());
    return fm.horizontalAdvance(text);
}

void PainterCanvas::DrawBitmap(const QRect& target, const QImage& bitmap) {
    // Stretch here with nearest neighbour so module edges stay sharp whatever
    // the output device does with images.
    const QImage scaled = bitmap.size() == target.size()
                              ? bitmap
                              : bitmap.scaled(target.size(), Qt::IgnoreAspectRatio, Qt::FastTransformation);
    painter_.save();
    painter_.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter_.drawImage(target.topLeft(), scaled);
    painter_.restore();
}

void PainterCanvas::DrawPicture(const QRect& target, QSvgRenderer& picture) {
    painter_.save();
    picture.setAspectRatioMode(Qt::IgnoreAspectRatio);
    picture.render(&painter_, QRectF(target));
    painter_.restore();
}

}  // namespace gs
