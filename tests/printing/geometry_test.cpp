#include "printing/geometry.h"
#include "printing/recordingcanvas.h"

#include <gtest/gtest.h>

namespace gs {
namespace {

PrintMetrics Metrics(int res, int offsetPixels, long leftRight, long upDown) {
    RecordingCanvas canvas({res, res, offsetPixels, offsetPixels, 8 * res, 10 * res});
    PrintMetrics m;
    m.alignLeftRight = std::to_string(leftRight);
    m.alignUpDown = std::to_string(upDown);
    PreparePrintMetrics(m, canvas, QFont("Arial", 8));
    return m;
}

TEST(RoundHalfEvenTest, TiesGoToTheEvenNeighbour) {
    struct Case { double in; long out; };
    for (const Case& c : {Case{0.5, 0}, {1.5, 2}, {2.5, 2}, {4.5, 4}, {13.8, 14}, {6.9, 7}, {-0.5, 0},
                          {-1.5, -2}, {-2.4, -2}, {83.33, 83}, {91.67, 92}})
        EXPECT_EQ(RoundHalfEven(c.in), c.out) << c.in;
}

TEST(DeviceCoordinatesTest, InchesBecomePrintablePixelsWithTheAlignmentStep) {
    struct Case { int res; int offset; long lr; long ud; double x; double y; int dx; int dy; };
    const Case cases[] = {
        {300, 0, -5, 0, 2.0, 1.0, 585, 300},    // the worked example: 600 - 15
        {300, 30, 0, 0, 0.1, 0.1, 0, 0},        // an item at the physical offset lands at (0, 0)
        {300, 0, 10, 10, 1.0, 1.0, 330, 330},   // ten steps are 30 pixels, 0.1 in at 300 dpi
        {600, 0, 10, 10, 1.0, 1.0, 630, 630},   // ... and 0.05 in at 600 dpi
        {600, 60, 0, 0, 0.05, 0.0, -30, -60},   // left of and above the printable area
        {300, 0, 0, 0, -0.001, 0.0013, 0, 0},   // trunc goes toward zero on both sides
        {300, 0, -999, 999, 0.0, 0.0, -2997, 2997},
    };
    for (const Case& c : cases) {
        const PrintMetrics m = Metrics(c.res, c.offset, c.lr, c.ud);
        EXPECT_EQ(DeviceX(m, c.x), c.dx) << c.res << " dpi, x " << c.x;
        EXPECT_EQ(DeviceY(m, c.y), c.dy) << c.res << " dpi, y " << c.y;
    }
}

TEST(DeviceCoordinatesTest, TheSamePaperPositionOnBothResolutions) {
    const PrintMetrics m300 = Metrics(300, 0, 0, 0);
    const PrintMetrics m600 = Metrics(600, 0, 0, 0);
    for (double inches : {0.25, 1.5, 3.75, 6.0}) EXPECT_EQ(2 * DeviceX(m300, inches), DeviceX(m600, inches));
}

TEST(DeviceCoordinatesTest, AnAlignmentTextThatIsNotAWholeNumberFailsThePage) {
    PrintMetrics m = Metrics(300, 0, 0, 0);
    m.alignLeftRight = "1.5";
    EXPECT_THROW(DeviceX(m, 1.0), PrintError);
    m.alignLeftRight = "";
    EXPECT_THROW(DeviceX(m, 1.0), PrintError);
    m.alignLeftRight = "+4";
    EXPECT_EQ(DeviceX(m, 1.0), 312);
}

TEST(FontTest, BaseFontIsAppliedSavedAndRestored) {
    RecordingCanvas canvas({600, 600, 25, 50, 4800, 6000});
    PrintMetrics m;
    PreparePrintMetrics(m, canvas, QFont("Arial", 8));
    EXPECT_DOUBLE_EQ(m.offsetX, 25.0 / 600);
    EXPECT_DOUBLE_EQ(m.offsetY, 50.0 / 600);
    EXPECT_EQ(m.baseFace, "Arial");
    EXPECT_EQ(canvas.Font().height, -67);  // 8 pt at 600 dpi: 66.67 rounded
    EXPECT_EQ(canvas.Font().weight, 400);
    EXPECT_EQ(canvas.Font().escapement, 0);
    EXPECT_EQ(m.savedBaseFont, canvas.Font());

    SetFontSize(canvas, m, 10);
    SetFontBold(canvas, true);
    SelectRotatedFont(canvas, 2700, "OCR A Extended");
    EXPECT_EQ(canvas.Font().height, -83);
    EXPECT_EQ(canvas.Font().weight, 700);
    EXPECT_EQ(canvas.Font().escapement, 2700);
    EXPECT_EQ(canvas.Font().face, "OCR A Extended");

    RestoreBaseFont(canvas, m);
    EXPECT_EQ(canvas.Font(), m.savedBaseFont);
}

TEST(FontTest, PointSizeBecomesARoundedCharacterHeight) {
    struct Case { int res; int points; int height; };
    for (const Case& c : {Case{600, 11, -92}, {600, 14, -117}, {300, 8, -33}, {300, 6, -25},
                          {36, 5, -2}, {36, 3, -2}, {36, 1, 0}}) {  // 2.5, 1.5, 0.5: ties to even
        RecordingCanvas canvas({c.res, c.res, 0, 0, 100, 100});
        PrintMetrics m;
        PreparePrintMetrics(m, canvas, QFont("Arial", 8));
        SetFontSize(canvas, m, c.points);
        EXPECT_EQ(canvas.Font().height, c.height) << c.points << " pt at " << c.res;
    }
}

TEST(FontTest, ANewSizeDropsTheRotationAndLongFacesAreCut) {
    RecordingCanvas canvas;
    PrintMetrics m;
    PreparePrintMetrics(m, canvas, QFont("Arial", 8));
    SelectRotatedFont(canvas, 1800, QString(40, 'F'));
    EXPECT_EQ(canvas.Font().face.size(), 31);
    SetFontSize(canvas, m, 12);
    EXPECT_EQ(canvas.Font().escapement, 0);
}

TEST(TextPlacementTest, RightAlignedTextStartsItsOwnWidthBeyondThePoint) {
    RecordingCanvas canvas({300, 300, 0, 0, 2400, 3000});
    PrintMetrics m;
    PreparePrintMetrics(m, canvas, QFont("Arial", 8));
    SetFontSize(canvas, m, 6);  // height 25: 12 pixels per character on the recording canvas
    PrintTextEndingAt(canvas, m, 0.3, 1.0, "12.50");
    PrintTextAt(canvas, m, 0.3, 1.0, "12.50");
    ASSERT_EQ(canvas.items.size(), 2u);
    EXPECT_EQ(canvas.items[0].x, 90 + 5 * 12);
    EXPECT_EQ(canvas.items[1].x, 90);
    EXPECT_EQ(canvas.items[0].y, 300);
}

TEST(BitmapTransferTest, StretchesIntoTheTargetAndDropsNegativePositions) {
    RecordingCanvas canvas;
    QImage bitmap(10, 4, QImage::Format_Grayscale8);
    bitmap.fill(255);
    DrawBitmapOnPrinter(canvas, 5, 6, 20, 8, bitmap);
    DrawBitmapOnPrinter(canvas, -1, 6, 20, 8, bitmap);
    DrawBitmapOnPrinter(canvas, 5, -6, 20, 8, bitmap);
    DrawBitmapOnPrinter(canvas, 0, 0, 20, 8, bitmap);
    ASSERT_EQ(canvas.items.size(), 2u);
    EXPECT_EQ(canvas.items[0].kind, RecordedItem::Kind::Bitmap);
    EXPECT_EQ(QRect(canvas.items[0].x, canvas.items[0].y, canvas.items[0].width, canvas.items[0].height),
              QRect(5, 6, 20, 8));
    EXPECT_EQ(canvas.items[0].bitmap.size(), QSize(10, 4));
    EXPECT_EQ(canvas.items[1].x, 0);
}

}  // namespace
}  // namespace gs
