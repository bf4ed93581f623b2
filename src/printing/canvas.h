#pragma once
// The one surface every printed page is drawn on. The Qt printer and the
// recording canvas used by the tests both implement it; the layouts never
// see which one they are drawing on.
#include <QColor>
#include <QImage>
#include <QRect>
#include <QString>

#include <stdexcept>
#include <string>

class QSvgRenderer;

namespace gs {

// A printing failure (no printer, a job that cannot start or finish).
class PrintError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The canvas font as the printer sees it: a logical font with the height in
// device pixels (negative: character height, as a point size gives it), the
// weight, and the escapement in tenths of a degree counter-clockwise.
struct CanvasFont {
    QString face;
    int height = 0;
    int weight = 400;  // 400 normal, 700 bold
    int escapement = 0;
    QColor color = Qt::black;

    bool Bold() const { return weight >= 700; }
    bool operator==(const CanvasFont&) const = default;
};

class PrintCanvas {
public:
    virtual ~PrintCanvas() = default;

    // Device pixels per inch (LOGPIXELSX, LOGPIXELSY).
    virtual int ResolutionX() const = 0;
    virtual int ResolutionY() const = 0;
    // Device pixels from the sheet's edges to the printable area
    // (PHYSICALOFFSETX, PHYSICALOFFSETY).
    virtual int PhysicalOffsetX() const = 0;
    virtual int PhysicalOffsetY() const = 0;
    // Size of the printable area in device pixels (HORZRES, VERTRES).
    virtual int PrintableWidth() const = 0;
    virtual int PrintableHeight() const = 0;

    virtual const CanvasFont& Font() const = 0;
    virtual void SetFont(const CanvasFont& font) = 0;

    // Draws text in the canvas font; (x, y) is the top-left corner of the
    // text cell in the text's own rotated frame, relative to the printable
    // area's origin.
    virtual void TextOut(int x, int y, const QString& text) = 0;
    // Advance width in device pixels of the text in the canvas font, measured
    // unrotated.
    virtual int TextWidth(const QString& text) = 0;
    // Copies the bitmap opaquely into the rectangle, stretched without
    // smoothing.
    virtual void DrawBitmap(const QRect& target, const QImage& bitmap) = 0;
    // Plays a vector picture stretched into the rectangle.
    virtual void DrawPicture(const QRect& target, QSvgRenderer& picture) = 0;
    // Fills the rectangle with one colour: the rules and frames of reports.
    virtual void FillRect(const QRect& target, const QColor& color) = 0;
};

}  // namespace gs
