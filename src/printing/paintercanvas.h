#pragma once
// The canvas on a real print job: a QPainter active on a QPrinter (or any
// paint device whose metrics are given).
#include "printing/canvas.h"

#include <QFont>

class QPainter;
class QPrinter;

namespace gs {

struct DeviceMetrics {
    int resolutionX = 0;
    int resolutionY = 0;
    int physicalOffsetX = 0;
    int physicalOffsetY = 0;
    int printableWidth = 0;
    int printableHeight = 0;
};

// Resolution, offsets and printable size of a printer in device pixels.
DeviceMetrics MetricsOfPrinter(const QPrinter& printer);

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

private:
    QPainter& painter_;
    DeviceMetrics metrics_;
    CanvasFont font_;
    QFont qfont_;
};

}  // namespace gs
