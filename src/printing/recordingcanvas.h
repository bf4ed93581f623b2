#pragma once
// A canvas that draws nothing and keeps every item, for tests: what was
// drawn, where, in which font and at which angle.
#include "printing/canvas.h"

#include <QSize>
#include <vector>

namespace gs {

struct RecordedItem {
    enum class Kind { Text, Bitmap, Picture, Rect };
    Kind kind = Kind::Text;
    int x = 0;          // text: the point given; bitmap and picture: target's left
    int y = 0;
    int width = 0;      // bitmap, picture and rect: target size
    int height = 0;
    QString text;       // text items
    CanvasFont font;    // text items: the canvas font in force
    QImage bitmap;      // bitmap items: the source bitmap
    QSize pictureSize;  // picture items: the picture's own size
    QColor color;       // rect items: the fill
};

struct RecordingCanvasSetup {
    int resolutionX = 600;
    int resolutionY = 600;
    int physicalOffsetX = 0;
    int physicalOffsetY = 0;
    int printableWidth = 8 * 600;
    int printableHeight = 10 * 600 + 300;
};

class RecordingCanvas : public PrintCanvas {
public:
    explicit RecordingCanvas(const RecordingCanvasSetup& setup = {}) : setup_(setup) {}

    int ResolutionX() const override { return setup_.resolutionX; }
    int ResolutionY() const override { return setup_.resolutionY; }
    int PhysicalOffsetX() const override { return setup_.physicalOffsetX; }
    int PhysicalOffsetY() const override { return setup_.physicalOffsetY; }
    int PrintableWidth() const override { return setup_.printableWidth; }
    int PrintableHeight() const override { return setup_.printableHeight; }

    const CanvasFont& Font() const override { return font_; }
    void SetFont(const CanvasFont& font) override { font_ = font; }

    void TextOut(int x, int y, const QString& text) override;
    // A fixed-pitch measure so tests can work out right-aligned positions:
    // every character is half the font's character height wide (rounded down).
    int TextWidth(const QString& text) override;
    void DrawBitmap(const QRect& target, const QImage& bitmap) override;
    void DrawPicture(const QRect& target, QSvgRenderer& picture) override;
    void FillRect(const QRect& target, const QColor& color) override;

    std::vector<RecordedItem> items;

private:
    RecordingCanvasSetup setup_;
    CanvasFont font_;
};

}  // namespace gs
