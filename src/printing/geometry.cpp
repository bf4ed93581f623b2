#include "printing/geometry.h"

#include "platform/qtext.h"

#include <charconv>
#include <cmath>

namespace gs {

long RoundHalfEven(double value) {
    const double floor = std::floor(value);
    const double diff = value - floor;
    if (diff < 0.5) return static_cast<long>(floor);
    if (diff > 0.5) return static_cast<long>(floor) + 1;
    const long f = static_cast<long>(floor);
    return (f % 2 == 0) ? f : f + 1;
}

namespace {

long AlignmentSteps(const std::string& text) {
    long value = 0;
    const char* first = text.data();
    const char* last = text.data() + text.size();
    if (first != last && *first == '+') ++first;
    const auto [ptr, ec] = std::from_chars(first, last, value);
    if (text.empty() || ec != std::errc() || ptr != last)
        throw PrintError("'" + text + "' is not a valid integer value");
    return value;
}

}  // namespace

void PreparePrintMetrics(PrintMetrics& metrics, PrintCanvas& canvas, const QFont& baseFont) {
    metrics.resolutionX = canvas.ResolutionX();
    metrics.resolutionY = canvas.ResolutionY();
    if (metrics.resolutionX <= 0 || metrics.resolutionY <= 0)
        throw PrintError("The printer reports no resolution.");
    metrics.offsetX = static_cast<double>(canvas.PhysicalOffsetX()) / metrics.resolutionX;
    metrics.offsetY = static_cast<double>(canvas.PhysicalOffsetY()) / metrics.resolutionY;

    CanvasFont font;
    font.face = baseFont.family();
    const int points = baseFont.pointSize() > 0 ? baseFont.pointSize()
                                                : RoundHalfEven(baseFont.pointSizeF());
    font.height = -static_cast<int>(RoundHalfEven(points * static_cast<double>(metrics.resolutionY) / 72.0));
    font.weight = baseFont.bold() ? 700 : 400;
    font.escapement = 0;
    // The base font's colour is the desktop's window-text colour; paper is
    // white whatever the desktop theme, so the text is printed black.
    font.color = Qt::black;
    canvas.SetFont(font);
    metrics.baseFace = font.face;
    metrics.savedBaseFont = canvas.Font();
}

int DeviceX(const PrintMetrics& metrics, double inches) {
    return static_cast<int>(3 * AlignmentSteps(metrics.alignLeftRight) +
                            std::trunc((inches - metrics.offsetX) * metrics.resolutionX));
}

int DeviceY(const PrintMetrics& metrics, double inches) {
    return static_cast<int>(3 * AlignmentSteps(metrics.alignUpDown) +
                            std::trunc((inches - metrics.offsetY) * metrics.resolutionY));
}

void SetFontSize(PrintCanvas& canvas, const PrintMetrics& metrics, int points) {
    CanvasFont font = canvas.Font();
    font.height = -static_cast<int>(RoundHalfEven(points * static_cast<double>(metrics.resolutionY) / 72.0));
    font.escapement = 0;
    canvas.SetFont(font);
}

void SetFontBold(PrintCanvas& canvas, bool bold) {
    CanvasFont font = canvas.Font();
    font.weight = bold ? 700 : 400;
    canvas.SetFont(font);
}

void SelectRotatedFont(PrintCanvas& canvas, int angle, const QString& face) {
    CanvasFont font = canvas.Font();
    font.escapement = angle;
    font.weight = font.Bold() ? 700 : 400;
    font.face = face.left(31);
    canvas.SetFont(font);
}

void RestoreBaseFont(PrintCanvas& canvas, const PrintMetrics& metrics) { canvas.SetFont(metrics.savedBaseFont); }

void PrintTextAt(PrintCanvas& canvas, const PrintMetrics& metrics, double x, double y,
                 std::string_view ansiText) {
    canvas.TextOut(DeviceX(metrics, x), DeviceY(metrics, y), FromAnsi(ansiText));
}

void PrintTextEndingAt(PrintCanvas& canvas, const PrintMetrics& metrics, double x, double y,
                       std::string_view ansiText) {
    const QString text = FromAnsi(ansiText);
    canvas.TextOut(canvas.TextWidth(text) + DeviceX(metrics, x), DeviceY(metrics, y), text);
}

void DrawBitmapOnPrinter(PrintCanvas& canvas, int x, int y, int width, int height, const QImage& bitmap) {
    if (x < 0 || y < 0 || width <= 0 || height <= 0 || bitmap.isNull()) return;
    canvas.DrawBitmap(QRect(x, y, width, height), bitmap);
}

}  // namespace gs
