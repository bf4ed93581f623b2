#pragma once
// The canvas on a real print job: a QPainter active on a paged paint device
// (a QPrinter, a QPdfWriter) whose metrics are given.
#include "printing/canvas.h"

#include <QFont>
#include <QFontMetrics>
#include <QPageLayout>
#include <QSizeF>
#include <QRawFont>

#include <optional>

class QPagedPaintDevice;
class QPainter;

namespace gs {

struct DeviceMetrics {
    int resolutionX = 0;
    int resolutionY = 0;
    int physicalOffsetX = 0;
    int physicalOffsetY = 0;
    int printableWidth = 0;
    int printableHeight = 0;
};

// Resolution, offsets and printable size of a paged device in device pixels:
// the offsets are the page layout's margins, the printable size its paint
// rectangle.
DeviceMetrics MetricsOfPagedDevice(const QPagedPaintDevice& device);

// A page as a device with this layout and resolution would print it: its
// metrics and the whole sheet's size in inches. What the on-screen preview
// draws on instead of a job.
struct PageGeometry {
    DeviceMetrics metrics;
    QSizeF sheetInches;
};
PageGeometry GeometryOfLayout(const QPageLayout& layout, int resolution);

// The bitmap as it goes to the device: a two-coloured bitmap becomes a 1-bit
// image (black and white exactly), anything else keeps its pixels. The canvas
// also asks the device for lossless image output, so barcode modules reach
// the page as they were drawn.
QImage DeviceBitmap(const QImage& bitmap);

class PainterCanvas : public PrintCanvas {
public:
    PainterCanvas(QPainter& painter, const DeviceMetrics& metrics);

    int ResolutionX() const override { return metrics_.resolutionX; }
    int ResolutionY() const override { return metrics_.resolutionY; }
    int PhysicalOffsetX() const override { return metrics_.physicalOffsetX; }
    int PhysicalOffsetY() const override { return metrics_.physicalOffsetY; }
    int PrintableWidth() const override { return metrics_.printableWidth; }
    int PrintableHeight() const override { return metrics_.printableHeight; }

    const CanvasFont& Font() const override { return font_; }
    void SetFont(const CanvasFont& font) override;

    void TextOut(int x, int y, const QString& text) override;
    int TextWidth(const QString& text) override;
    void DrawBitmap(const QRect& target, const QImage& bitmap) override;
    void DrawPicture(const QRect& target, QSvgRenderer& picture) override;
    void FillRect(const QRect& target, const QColor& color) override;

private:
    const QFontMetrics& Metrics();
    bool Glyphs(const QString& text, QList<quint32>& glyphs, QList<QPointF>& advances);

    QPainter& painter_;
    DeviceMetrics metrics_;
    CanvasFont font_;
    QFont qfont_;
    std::optional<QFontMetrics> fontMetrics_;
    QRawFont rawFont_;
    bool fontInPainter_ = false;  // qfont_ is the painter's font
};

}  // namespace gs
