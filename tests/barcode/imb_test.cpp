#include "barcode/imb.h"

#include "barcode/barcodebmp.h"
#include "barcode/decoders.h"

#include <gtest/gtest.h>

#include <string>

namespace gs {
namespace {

// The postal service's own encoding examples for the tracking code
// 01234567094987654321 with each length of routing code, typed from the
// published specification's table (A ascender, D descender, F full,
// T tracker).
struct Published {
    const char* tracking;
    const char* routing;
    const char* bars;
};
const Published kPublished[] = {
    {"01234567094987654321", "", "ATTFATTDTTADTAATTDTDTATTDAFDDFADFDFTFFFFFTATFAAAATDFFTDAADFTFDTDT"},
    {"01234567094987654321", "01234", "DTTAFADDTTFTDTFTFDTDDADADAFADFATDDFTAAAFDTTADFAAATDFDTDFADDDTDFFT"},
    {"01234567094987654321", "012345678", "ADFTTAFDTTTTFATTADTAAATFTFTATDAAAFDDADATATDTDTTDFDTDATADADTDFFTFA"},
    {"01234567094987654321", "01234567891", "AADTFFDFTDADTAADAATFDTDDAAADDTDTTDAFADADDDTFFFDDTTTADFAAADFTDAADA"},
};

TEST(ImbEncoding, MatchesThePublishedExamples) {
    for (const Published& p : kPublished) {
        SCOPED_TRACE(std::string(p.tracking) + "-" + p.routing);
        ASSERT_EQ(std::string(p.bars).size(), 65u);
        std::string error;
        EXPECT_EQ(ImbBarStates(std::string(p.tracking) + p.routing, &error), p.bars) << error;
    }
}

TEST(ImbEncoding, RefusesWhatNoSymbolCarries) {
    const char* tracking = "01234567094987654321";
    const std::string cases[] = {
        "0123456709498765432",                    // 19 tracking digits
        std::string(tracking) + "0123",           // routing of 4
        std::string(tracking) + "0123456",        // routing of 7
        std::string(tracking) + "012345678901",   // routing of 12
        "05234567094987654321",                   // barcode identifier's second digit above 4
        "0123456709498765432X",
    };
    for (const std::string& digits : cases) {
        std::string error;
        EXPECT_EQ(ImbBarStates(digits, &error), "") << digits;
        EXPECT_FALSE(error.empty()) << digits;
    }
}

TEST(ImbText, DigitsOnlyAndRoutingOfAValidLength) {
    EXPECT_EQ(PrepareImbText("01-234 567x094987654321-45402-1234"), "0123456709498765432145402" "1234");
    EXPECT_EQ(PrepareImbText(std::string(40, '7')), std::string(31, '7'));
    EXPECT_EQ(ImbRoutingCode("45402-1234"), "454021234");
    EXPECT_EQ(ImbRoutingCode("45402-"), "45402");
    EXPECT_EQ(ImbRoutingCode("45402123456"), "45402123456");
    EXPECT_EQ(ImbRoutingCode("4540"), "");
    EXPECT_EQ(ImbRoutingCode("454021"), "");
    EXPECT_EQ(ImbRoutingCode("-"), "");
}

TEST(ImbDimensions, WholePixelsInsideThePostalRanges) {
    struct Case { int dpi, bar, pitch, full, extender, tracker; };
    const Case cases[] = {{300, 6, 13, 44, 15, 14}, {600, 12, 26, 87, 29, 29}, {203, 4, 9, 29, 10, 9}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.dpi);
        EXPECT_EQ(ImbBarWidth(c.dpi), c.bar);
        EXPECT_EQ(ImbPitch(c.dpi), c.pitch);
        EXPECT_EQ(ImbFullBarHeight(c.dpi), c.full);
        EXPECT_EQ(ImbExtenderHeight(c.full), c.extender);
        EXPECT_EQ(ImbTrackerHeight(c.full), c.tracker);
        const double in = c.dpi;
        EXPECT_GE(c.bar / in, 0.015);
        EXPECT_LE(c.bar / in, 0.025);
        EXPECT_GE(in / c.pitch, 20.0);
        EXPECT_LE(in / c.pitch, 24.0);
        EXPECT_GE(c.full / in, 0.125);
        EXPECT_LE(c.full / in, 0.165);
        EXPECT_GE((c.full - c.extender) / in, 0.0825);
        EXPECT_LE((c.full - c.extender) / in, 0.111);
        EXPECT_GE(c.tracker / in, 0.039);
        EXPECT_LE(c.tracker / in, 0.057);
        EXPECT_GE(kImbQuietPitches * c.pitch / in, 0.125);
        const double length = (64.0 * c.pitch + c.bar) / in;
        EXPECT_GE(length, 2.667);
        EXPECT_LE(length, 3.225);
    }
}

TBarcodeBmp Imb(const std::string& text, int bar, int pitch, int height) {
    TBarcodeBmp bmp;
    bmp.SetBarcodeType(TBarCodeType::bcIntelligentMail);
    bmp.SetInterpret(true);  // no line for the IMb either way
    bmp.SetScale(bar);
    bmp.SetBarPitch(pitch);
    bmp.SetHeight(height);
    bmp.SetBarcodeText(text);
    return bmp;
}

TEST(ImbBitmap, ReadsBackIntoThePublishedStatesAtPrinterSizes) {
    struct Size { int bar, pitch, height, extender, tracker; };
    const Size sizes[] = {{6, 13, 44, 15, 14}, {12, 26, 87, 29, 29}, {1, 2, 3, 1, 1}};
    for (const Size& s : sizes) {
        for (const Published& p : kPublished) {
            SCOPED_TRACE(::testing::Message() << s.bar << "/" << s.pitch << "/" << s.height << " " << p.routing);
            const TBarcodeBmp bmp = Imb(std::string(p.tracking) + "-" + p.routing, s.bar, s.pitch, s.height);
            ASSERT_EQ(bmp.Bitmap().width(), 70 * s.pitch + s.bar);
            ASSERT_EQ(bmp.Bitmap().height(), s.height);
            std::string error;
            const auto reading = testing::ReadFourState(bmp.Bitmap(), &error);
            ASSERT_TRUE(reading) << error;
            EXPECT_EQ(reading->states, p.bars);
            EXPECT_EQ(reading->barWidth, s.bar);
            EXPECT_EQ(reading->pitch, s.pitch);
            EXPECT_EQ(reading->leftQuiet, 3 * s.pitch);
            EXPECT_EQ(reading->rightQuiet, 3 * s.pitch);
            EXPECT_EQ(reading->fullHeight, s.height);
            EXPECT_EQ(reading->ascenderHeight, s.height - s.extender);
            EXPECT_EQ(reading->descenderHeight, s.height - s.extender);
            EXPECT_EQ(reading->trackerHeight, s.tracker);
        }
    }
}

TEST(ImbBitmap, DigitsThatMakeNoSymbolGiveTheEmptyBitmap) {
    for (const char* text : {"0123456709498765432", "01234567094987654321-0123"}) {
        const TBarcodeBmp bmp = Imb(text, 6, 13, 44);
        EXPECT_EQ(bmp.Bitmap().size(), QSize(20 * 6, 44)) << text;
        for (int y = 0; y < bmp.Bitmap().height(); ++y)
            for (int x = 0; x < bmp.Bitmap().width(); ++x) ASSERT_EQ(bmp.Bitmap().constScanLine(y)[x], 255) << text;
    }
}

TEST(ImbBitmap, PitchDefaultsToTwoModulesAndTheTypeChangeKeepsDigitsOnly) {
    TBarcodeBmp bmp;
    bmp.SetBarcodeText("0123-4567094987654321-45402 1234");
    bmp.SetBarcodeType(TBarCodeType::bcIntelligentMail);
    EXPECT_EQ(bmp.BarcodeText(), "0123456709498765432145402" "1234");
    bmp.SetScale(2);
    EXPECT_EQ(bmp.Bitmap().width(), 70 * 4 + 2);
    const auto reading = testing::ReadFourState(bmp.Bitmap());
    ASSERT_TRUE(reading);
    EXPECT_EQ(reading->pitch, 4);
}

}  // namespace
}  // namespace gs
