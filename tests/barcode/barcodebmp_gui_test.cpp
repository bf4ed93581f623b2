// The human-readable line needs fonts, so these run under the GUI test main.
#include "barcode/barcodebmp.h"

#include "decoders.h"

#include <gtest/gtest.h>

#include <QFontMetrics>

namespace gs {
namespace {

struct Extent {
    int left = -1, right = -1, top = -1, count = 0;
};

// Dark pixels in rows [from, to).
Extent DarkIn(const QImage& image, int from, int to) {
    Extent e;
    for (int y = from; y < to; ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.constScanLine(y)[x] != 0) continue;
            ++e.count;
            if (e.left < 0 || x < e.left) e.left = x;
            if (x > e.right) e.right = x;
            if (e.top < 0) e.top = y;
        }
    }
    return e;
}

TEST(BarcodeBmpText, LineIsCentredBelowTheBarsInTwoColours) {
    TBarcodeBmp bmp;
    bmp.SetScale(3);
    bmp.SetHeight(120);
    bmp.SetBarcodeText("12345678901234567890");
    const QImage& image = bmp.Bitmap();
    ASSERT_EQ(image.width(), 165 * 3);
    EXPECT_EQ(bmp.Font().pointSize(), 24);  // 8 x Scale stays in the font

    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const uchar v = image.constScanLine(y)[x];
            ASSERT_TRUE(v == 0 || v == 255) << x << "," << y;
        }
    }

    // The text cell stands on the bottom line and is painted opaque white, so
    // above it the bars read as before and inside it only glyphs are dark.
    QFont font = bmp.Font();
    const QFontMetrics metrics(font, const_cast<QImage*>(&image));
    const int cellTop = 120 - metrics.height();
    ASSERT_GT(cellTop, 0);
    auto reading = testing::ReadCode128(image, cellTop - 1);
    ASSERT_TRUE(reading);
    EXPECT_EQ(reading->text, "12345678901234567890");
    EXPECT_FALSE(testing::ReadCode128(image, 119));

    // Below the bars (the band of 5 x Scale rows) only glyphs are dark.
    const Extent glyphs = DarkIn(image, 120 - 15, 120);
    ASSERT_GT(glyphs.count, 0);
    const int textWidth = metrics.horizontalAdvance(QStringLiteral("12345678901234567890"));
    const int cellLeft = image.width() / 2 - textWidth / 2;
    EXPECT_GE(glyphs.left, cellLeft);
    EXPECT_LE(glyphs.right, cellLeft + textWidth);
    // Centred: as much room on the left of the glyphs as on the right, give
    // or take the side bearings.
    EXPECT_NEAR(glyphs.left, image.width() - 1 - glyphs.right, 3 * 3);
}

TEST(BarcodeBmpText, TextTurnsWithTheBitmap) {
    TBarcodeBmp bmp;
    bmp.SetScale(2);
    bmp.SetHeight(80);
    bmp.SetBarcodeText("AB12");
    const QImage plain = bmp.Bitmap().copy();
    bmp.SetRotate(TbcRotate::bcRotate180);
    EXPECT_EQ(bmp.Bitmap(), plain.mirrored(true, true));
}

TEST(BarcodeBmpText, NoLineForPostnetOrWithoutInterpret) {
    TBarcodeBmp zip;
    zip.SetBarcodeType(TBarCodeType::bcPOSTNET);
    zip.SetScale(3);
    zip.SetHeight(60);
    zip.SetBarcodeText("12345-6789");
    const QImage withInterpret = zip.Bitmap().copy();
    zip.SetInterpret(false);
    EXPECT_EQ(zip.Bitmap(), withInterpret);

    TBarcodeBmp code;
    code.SetInterpret(false);
    code.SetScale(2);
    code.SetHeight(40);
    code.SetBarcodeText("AB12");
    EXPECT_TRUE(testing::ReadCode128(code.Bitmap(), 39));
}

TEST(BarcodeBmpText, FontTakesOverGivenAttributes) {
    TBarcodeBmp bmp;
    QFont bold("Arial");
    bold.setBold(true);
    bmp.SetFont(&bold);
    bmp.SetScale(2);
    bmp.SetHeight(60);
    bmp.SetBarcodeText("ab");
    EXPECT_EQ(bmp.Font().family(), "Arial");
    EXPECT_TRUE(bmp.Font().bold());
    EXPECT_EQ(bmp.Font().pointSize(), 16);
}

}  // namespace
}  // namespace gs
