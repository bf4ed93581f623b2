#pragma once
// Positions on the form are inches from the sheet's top-left corner as it
// passes through the printer. These helpers turn them into device pixels of
// the printable area, shifted by the user's alignment offsets, and set up
// the rotated fonts the form's text is printed in.
#include "printing/canvas.h"

#include <QFont>
#include <optional>
#include <string>
#include <string_view>

namespace gs {

// Nearest integer, ties to even (2.5 -> 2, 3.5 -> 4).
long RoundHalfEven(double value);

// Captured afresh for every printed page, after its job has started.
struct PrintMetrics {
    int resolutionX = 0;    // device pixels per inch
    int resolutionY = 0;
    double offsetX = 0.0;   // unprintable margin, inches
    double offsetY = 0.0;
    std::string alignLeftRight = "0";  // in steps of 3 device pixels, as decimal text
    std::string alignUpDown = "0";
    QString baseFace;
    // The canvas font right after the base font was applied; put back at the
    // end of the page and between text groups.
    CanvasFont savedBaseFont;
};

// Reads the printer values into the metrics and applies the base font (size,
// face, style, colour) to the canvas. The alignment texts are left as set.
void PreparePrintMetrics(PrintMetrics& metrics, PrintCanvas& canvas, const QFont& baseFont);

// Inches to device pixels of the printable area, with the alignment step of
// three device pixels. Throws PrintError when an alignment text is not a
// whole number.
int DeviceX(const PrintMetrics& metrics, double inches);
int DeviceY(const PrintMetrics& metrics, double inches);

// Sets the canvas font's point size: height = -(size × resolution Y / 72),
// rounded. A new size drops any rotation until SelectRotatedFont.
void SetFontSize(PrintCanvas& canvas, const PrintMetrics& metrics, int points);
// Sets or clears bold on the canvas font.
void SetFontBold(PrintCanvas& canvas, bool bold);
// Replaces the canvas font by one of the same height and weight, turned by
// the angle (tenths of a degree, counter-clockwise), in the given face (at
// most 31 characters are kept).
void SelectRotatedFont(PrintCanvas& canvas, int angle, const QString& face);
// Puts the saved base font back onto the canvas.
void RestoreBaseFont(PrintCanvas& canvas, const PrintMetrics& metrics);

// Text with the top-left of its cell at the inch position.
void PrintTextAt(PrintCanvas& canvas, const PrintMetrics& metrics, double x, double y,
                 std::string_view ansiText);
// Text drawn at its own width plus the device position of x: at 180 degrees
// its last character ends at x.
void PrintTextEndingAt(PrintCanvas& canvas, const PrintMetrics& metrics, double x, double y,
                       std::string_view ansiText);

// Copies a bitmap with its top-left corner at device (x, y), stretched to
// width × height. Positions and sizes travel to the printer as 16-bit
// unsigned values, so a bitmap at a negative position does not appear.
void DrawBitmapOnPrinter(PrintCanvas& canvas, int x, int y, int width, int height, const QImage& bitmap);

}  // namespace gs
