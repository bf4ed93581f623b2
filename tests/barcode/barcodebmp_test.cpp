#include "barcode/barcodebmp.h"

#include "decoders.h"

#include <gtest/gtest.h>

#include <cmath>

#include <random>
#include <string>
#include <vector>

namespace gs {
namespace {

bool AllWhite(const QImage& image) {
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.constScanLine(y)[x] != 255) return false;
        }
    }
    return true;
}

std::string Describe(const std::string& text) {
    std::string out;
    for (unsigned char c : text) {
        if (c < 32 || c >= 127) {
            out += "\\x" + std::to_string(c) + ";";
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

TBarcodeBmp Code128(const std::string& text, int scale, int height, bool interpret = false) {
    TBarcodeBmp bmp;
    bmp.SetScale(scale);
    bmp.SetHeight(height);
    bmp.SetInterpret(interpret);
    bmp.SetBarcodeText(text);
    return bmp;
}

TEST(BarcodeBmp, NewComponentHasWhite20x50Bitmap) {
    TBarcodeBmp bmp;
    EXPECT_EQ(bmp.Bitmap().width(), 20);
    EXPECT_EQ(bmp.Bitmap().height(), 50);
    EXPECT_EQ(bmp.Bitmap().depth(), 8);
    EXPECT_TRUE(AllWhite(bmp.Bitmap()));
    EXPECT_EQ(bmp.Height(), 50);
    EXPECT_EQ(bmp.Scale(), 1);
    EXPECT_TRUE(bmp.Interpret());
    EXPECT_EQ(bmp.BarcodeType(), TBarCodeType::bcCode128);
    EXPECT_EQ(bmp.Rotate(), TbcRotate::bcNoRotate);
    EXPECT_EQ(bmp.BarcodeText(), "");
    EXPECT_EQ(bmp.Font().family(), "Courier New");
}

TEST(BarcodeBmp, EnumerationsKeepTheirStoredOrder) {
    EXPECT_EQ(static_cast<int>(TBarCodeType::bcCode128), 0);
    EXPECT_EQ(static_cast<int>(TBarCodeType::bcEAN128), 8);
    EXPECT_EQ(static_cast<int>(TBarCodeType::bcPOSTNET), 9);
    EXPECT_EQ(static_cast<int>(TBarCodeType::bcUPC5ext), 12);
    EXPECT_EQ(static_cast<int>(TBarCodeType::bcIntelligentMail), 13);  // added after the stored ones
    EXPECT_EQ(static_cast<int>(TbcRotate::bcRotate270), 3);
}

TEST(BarcodeBmp, EmptyTextGivesWhiteQuietZoneOnly) {
    for (TBarCodeType type : {TBarCodeType::bcCode128, TBarCodeType::bcPOSTNET, TBarCodeType::bcIntelligentMail}) {
        TBarcodeBmp bmp;
        bmp.SetBarcodeType(type);
        bmp.SetScale(3);
        bmp.SetHeight(40);
        bmp.SetBarcodeText("");
        EXPECT_EQ(bmp.Bitmap().width(), 60);
        EXPECT_EQ(bmp.Bitmap().height(), 40);
        EXPECT_TRUE(AllWhite(bmp.Bitmap()));
    }
    // A ZIP field holding only a hyphen has no digits.
    TBarcodeBmp zip;
    zip.SetBarcodeType(TBarCodeType::bcPOSTNET);
    zip.SetScale(2);
    zip.SetBarcodeText("-");
    EXPECT_EQ(zip.Bitmap().width(), 40);
    EXPECT_TRUE(AllWhite(zip.Bitmap()));
}

TEST(BarcodeBmp, ArticleNumberAt600Dpi) {
    TBarcodeBmp bmp = Code128("12345678901234567890", 9, 450);
    EXPECT_EQ(bmp.Bitmap().width(), 1485);
    EXPECT_EQ(bmp.Bitmap().height(), 450);
    auto reading = testing::ReadCode128(bmp.Bitmap(), 449);
    ASSERT_TRUE(reading);
    EXPECT_EQ(reading->text, "12345678901234567890");
    EXPECT_EQ(reading->moduleWidth, 9);

    bmp.SetRotate(TbcRotate::bcRotate90);
    EXPECT_EQ(bmp.Bitmap().width(), 450);
    EXPECT_EQ(bmp.Bitmap().height(), 1485);
}

TEST(BarcodeBmp, ScaleZeroDrawsNothing) {
    TBarcodeBmp bmp = Code128("12345678901234567890", 0, 30);
    EXPECT_EQ(bmp.Bitmap().width(), 0);
    bmp.SetInterpret(true);
    EXPECT_EQ(bmp.Bitmap().width(), 0);
}

TEST(BarcodeBmp, HeightBelowTextBandLeavesBarsOut) {
    TBarcodeBmp bmp;
    bmp.SetScale(2);
    bmp.SetHeight(-5);
    bmp.SetBarcodeText("AB12");
    EXPECT_EQ(bmp.Bitmap().height(), 0);
    bmp.SetInterpret(false);
    bmp.SetHeight(1);
    EXPECT_TRUE(testing::ReadCode128(bmp.Bitmap(), 0));
}

TEST(BarcodeBmp, OtherSymbologiesDrawWhiteEmptyWidth) {
    for (int t = 0; t <= 12; ++t) {
        const auto type = static_cast<TBarCodeType>(t);
        if (type == TBarCodeType::bcCode128 || type == TBarCodeType::bcEAN128 || type == TBarCodeType::bcPOSTNET)
            continue;
        TBarcodeBmp bmp;
        bmp.SetBarcodeType(type);
        bmp.SetScale(2);
        bmp.SetBarcodeText("12345ABC");
        EXPECT_EQ(bmp.BarcodeText(), "12345ABC");
        EXPECT_EQ(bmp.Bitmap().width(), 40) << t;
        EXPECT_EQ(bmp.Bitmap().height(), 50) << t;
        EXPECT_TRUE(AllWhite(bmp.Bitmap())) << t;
    }
}

TEST(BarcodeBmp, TextRulesFollowTheType) {
    TBarcodeBmp bmp;
    bmp.SetBarcodeText("Zip 12345-6789 \xC9t\x80 000");
    EXPECT_EQ(bmp.BarcodeText(), "Zip 12345-6789 t\x80 000");
    bmp.SetBarcodeType(TBarCodeType::bcPOSTNET);
    EXPECT_EQ(bmp.BarcodeText(), "12345678900");
    bmp.SetBarcodeText("1234567890123");
    EXPECT_EQ(bmp.BarcodeText(), "12345678901");
    // What a rule removed does not come back.
    bmp.SetBarcodeType(TBarCodeType::bcCode128);
    EXPECT_EQ(bmp.BarcodeText(), "12345678901");
}

TEST(BarcodeBmp, CodeBarsLeaveTextBandWhenInterpreting) {
    // Without a GUI application no text is drawn: the band stays white.
    TBarcodeBmp bmp = Code128("AB12", 2, 40, true);
    for (int y = 0; y < 30; ++y) ASSERT_TRUE(testing::ReadCode128(bmp.Bitmap(), y)) << y;
    for (int y = 30; y < 40; ++y) {
        for (int x = 0; x < bmp.Bitmap().width(); ++x) ASSERT_EQ(bmp.Bitmap().constScanLine(y)[x], 255);
    }
}

TEST(BarcodeBmp, RotationsMovePixels) {
    TBarcodeBmp bmp = Code128("Ab1234\x01", 2, 17);
    const QImage plain = bmp.Bitmap().copy();
    const int w = plain.width();
    const int h = plain.height();
    // Mark a corner so the mapping is not hidden by symmetry.
    struct Case {
        TbcRotate rotate;
        int width, height;
        int (*tx)(int x, int y, int w, int h);
        int (*ty)(int x, int y, int w, int h);
    };
    const Case cases[] = {
        {TbcRotate::bcRotate90, h, w, [](int, int y, int, int hh) { return hh - 1 - y; }, [](int x, int, int, int) { return x; }},
        {TbcRotate::bcRotate180, w, h, [](int x, int, int ww, int) { return ww - 1 - x; },
         [](int, int y, int, int hh) { return hh - 1 - y; }},
        {TbcRotate::bcRotate270, h, w, [](int, int y, int, int) { return y; }, [](int x, int, int ww, int) { return ww - 1 - x; }},
    };
    for (const Case& c : cases) {
        bmp.SetRotate(c.rotate);
        const QImage& turned = bmp.Bitmap();
        ASSERT_EQ(turned.width(), c.width);
        ASSERT_EQ(turned.height(), c.height);
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                ASSERT_EQ(turned.constScanLine(c.ty(x, y, w, h))[c.tx(x, y, w, h)], plain.constScanLine(y)[x])
                    << "rotate " << static_cast<int>(c.rotate) << " at " << x << "," << y;
            }
        }
    }
    // A quarter turn clockwise puts the left quiet zone at the top.
    bmp.SetRotate(TbcRotate::bcRotate90);
    EXPECT_EQ(bmp.Bitmap().constScanLine(20)[0], 0);   // first bar, bottom of the bar
    EXPECT_EQ(bmp.Bitmap().constScanLine(19)[0], 255);  // quiet zone
    bmp.SetRotate(TbcRotate::bcNoRotate);
    EXPECT_EQ(bmp.Bitmap(), plain);
}

TEST(BarcodeBmp, SameBitmapWhateverTheOrderOfAssignments) {
    TBarcodeBmp a;
    a.SetInterpret(false);
    a.SetBarcodeType(TBarCodeType::bcPOSTNET);
    a.SetBarcodeText("12345-6789");
    a.SetRotate(TbcRotate::bcRotate180);
    a.SetHeight(84);
    a.SetScale(14);
    TBarcodeBmp b;
    b.SetScale(14);
    b.SetRotate(TbcRotate::bcRotate180);
    b.SetHeight(84);
    b.SetBarcodeType(TBarCodeType::bcPOSTNET);
    b.SetBarcodeText("123456789");
    b.SetInterpret(false);
    EXPECT_EQ(a.Bitmap(), b.Bitmap());
    EXPECT_EQ(a.Bitmap().width(), 1722);
}

// The pixels of every symbology at every rotation, pinned (FNV-1a over the
// size and the rows), so that a faster drawing or turning keeps them.
TEST(BarcodeBmp, BitmapsAtEveryRotationKeepTheirPixels) {
    struct Case {
        TBarCodeType type;
        const char* text;
        int scale, height;
        bool interpret;
        std::uint64_t hashes[4];  // no turn, 90, 180, 270
    };
    const Case cases[] = {
        {TBarCodeType::bcCode128, "71123456780000000019", 9, 450, false, {8882115949193088376u, 15473335703860923280u, 3916938305316042968u, 13987663905468988368u}},
        {TBarCodeType::bcCode128, "Hello, World 42!", 2, 61, true, {4303439183698324143u, 5322562164547967491u, 14382956876627358959u, 10385642625167397251u}},
        {TBarCodeType::bcCode128, "7", 3, 4, true, {13399028502472272015u, 14405560573323713647u, 13399028502472272015u, 14405560573323713647u}},
        {TBarCodeType::bcPOSTNET, "12345-6789", 14, 84, true, {5313751055811309229u, 7721203273472769661u, 7660619688805488301u, 18155031768511986749u}},
        {TBarCodeType::bcPOSTNET, "98765", 5, 33, false, {3887209280874789955u, 802121444837030863u, 5100306036828207875u, 16815102279806817231u}},
        {TBarCodeType::bcIntelligentMail, "0070012345612345678998765432101", 4, 57, false, {9258615969941750098u, 9453244662865051062u, 4067063209411475794u, 10304697100135724598u}},
        {TBarCodeType::bcCode128, "", 4, 20, false, {12134770804251790753u, 3265835529076119265u, 12134770804251790753u, 3265835529076119265u}},
        {TBarCodeType::bcCode128, "12", 0, 20, false, {12161962213042174405u, 12161962213042174405u, 12161962213042174405u, 12161962213042174405u}},
    };
    const TbcRotate turns[] = {TbcRotate::bcNoRotate, TbcRotate::bcRotate90, TbcRotate::bcRotate180,
                               TbcRotate::bcRotate270};
    for (const Case& c : cases) {
        TBarcodeBmp bmp;
        bmp.SetBarcodeType(c.type);
        bmp.SetScale(c.scale);
        bmp.SetHeight(c.height);
        bmp.SetInterpret(c.interpret);
        bmp.SetBarcodeText(c.text);
        for (int r = 0; r < 4; ++r) {
            bmp.SetRotate(turns[r]);
            const QImage& image = bmp.Bitmap();
            std::uint64_t h = 14695981039346656037ull;
            auto mix = [&h](unsigned char b) { h = (h ^ b) * 1099511628211ull; };
            for (int v : {image.width(), image.height()})
                for (int k = 0; k < 4; ++k) mix(static_cast<unsigned char>(v >> (8 * k)));
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x) mix(image.constScanLine(y)[x]);
            EXPECT_EQ(h, c.hashes[r]) << Describe(c.text) << " scale " << c.scale << " turn " << r;
        }
    }
}

TEST(BarcodeBmp, FontIgnoresNull) {
    TBarcodeBmp bmp;
    bmp.SetFont(nullptr);
    EXPECT_EQ(bmp.Font().family(), "Courier New");
    QFont other("Arial");
    bmp.SetFont(&other);
    EXPECT_EQ(bmp.Font().family(), "Arial");
}

// ---- Read back what was drawn --------------------------------------------

std::vector<std::string> GeneratedTexts() {
    std::vector<std::string> texts;
    std::mt19937 random(128);
    auto pick = [&random](const std::string& alphabet) {
        return alphabet[std::uniform_int_distribution<std::size_t>(0, alphabet.size() - 1)(random)];
    };
    const std::string digits = "0123456789";
    const std::string upper = "ABCDEFGHIJKLMNOPQRSTUVWXYZ !\"#$%&'()*+,-./:;<=>?@[\\]^_";
    const std::string lower = "abcdefghijklmnopqrstuvwxyz`{|}~\x7F";
    std::string control;
    for (int c = 0; c < 32; ++c) control += static_cast<char>(c);
    auto run = [&](const std::string& alphabet, int n) {
        std::string s;
        for (int i = 0; i < n; ++i) s += pick(alphabet);
        return s;
    };

    for (int n = 1; n <= 30; ++n) texts.push_back(run(digits, n));
    // Digit runs of odd and even length at the start, in the middle, at the end.
    const std::string others[] = {upper, lower, control, upper + lower, lower + control, upper + control};
    for (int n = 1; n <= 7; ++n) {
        for (const std::string& o : others) {
            texts.push_back(run(digits, n) + run(o, 3));
            texts.push_back(run(o, 2) + run(digits, n) + run(o, 2));
            texts.push_back(run(o, 3) + run(digits, n));
            texts.push_back(run(o, 1) + run(digits, n) + run(o, 1) + run(digits, n + 1));
        }
    }
    // Mixed case and control characters in every combination.
    const std::string all = digits + upper + lower + control;
    for (int i = 0; i < 200; ++i) {
        const int n = std::uniform_int_distribution<int>(1, 24)(random);
        texts.push_back(run(i % 2 ? all : lower + control, n));
    }
    return texts;
}

TEST(BarcodeBmpReadBack, Code128DecodesToItsOwnText) {
    int checked = 0;
    for (const std::string& text : GeneratedTexts()) {
        const int scale = 1 + checked % 3;
        TBarcodeBmp bmp = Code128(text, scale, 4);
        ASSERT_EQ(bmp.BarcodeText(), text);
        std::string error;
        auto reading = testing::ReadCode128(bmp.Bitmap(), 3, &error);
        ASSERT_TRUE(reading) << Describe(text) << ": " << error;
        EXPECT_EQ(reading->text, text) << Describe(text);
        EXPECT_EQ(reading->moduleWidth, scale);
        EXPECT_EQ(reading->leftQuietModules, 10);
        EXPECT_EQ(reading->rightQuietModules, 10);
        ++checked;
    }
    EXPECT_GT(checked, 300);
}

TEST(BarcodeBmpReadBack, PostnetDecodesToItsOwnDigits) {
    std::mt19937 random(7);
    int checked = 0;
    for (int n = 1; n <= 11; ++n) {
        for (int i = 0; i < 12; ++i) {
            std::string digits;
            for (int k = 0; k < n; ++k) digits += static_cast<char>('0' + random() % 10);
            const int scale = 1 + i % 3;
            const int height = 20 + i;
            TBarcodeBmp bmp;
            bmp.SetBarcodeType(TBarCodeType::bcPOSTNET);
            bmp.SetScale(scale);
            bmp.SetHeight(height);
            bmp.SetBarcodeText(digits);
            std::string error;
            auto reading = testing::ReadPostnet(bmp.Bitmap(), &error);
            ASSERT_TRUE(reading) << digits << ": " << error;
            EXPECT_EQ(reading->digits, digits);
            EXPECT_EQ(reading->barWidth, scale);
            EXPECT_EQ(reading->pitch, 2 * scale);
            EXPECT_EQ(reading->leftQuiet, 10 * scale);
            EXPECT_EQ(reading->rightQuiet, 10 * scale);
            EXPECT_EQ(reading->fullHeight, height);
            // Half bars are two fifths of the full bars, standing on the bottom line.
            EXPECT_EQ(reading->halfTop, height - static_cast<int>(std::lround(height * 0.4)));
            ++checked;
        }
    }
    EXPECT_EQ(checked, 132);
}

TEST(BarcodeBmpReadBack, PostnetGeometry) {
    struct Case {
        const char* text;
        int scale, height;
        const char* digits;
        int check, bars, width, halfTop;
    };
    const Case cases[] = {
        {"12345", 1, 50, "12345", 5, 32, 83, 30},
        {"12345-6789", 14, 75, "123456789", 5, 52, 1722, 45},   // 600 dpi: 30 rows of half bar
        {"12345-6789", 7, 38, "123456789", 5, 52, 861, 23},     // 300 dpi: 15 rows
        {"12345678901234", 1, 85, "12345678901", 4, 62, 143, 51},
        {"1", 1, 2, "1", 9, 12, 43, 1},                         // a half bar never vanishes
    };
    for (const Case& c : cases) {
        TBarcodeBmp bmp;
        bmp.SetBarcodeType(TBarCodeType::bcPOSTNET);
        bmp.SetInterpret(true);
        bmp.SetScale(c.scale);
        bmp.SetHeight(c.height);
        bmp.SetBarcodeText(c.text);
        EXPECT_EQ(bmp.Bitmap().width(), c.width) << c.text;
        auto reading = testing::ReadPostnet(bmp.Bitmap());
        ASSERT_TRUE(reading) << c.text;
        EXPECT_EQ(reading->digits, c.digits);
        EXPECT_EQ(reading->checkDigit, c.check);
        EXPECT_EQ(reading->fullHeight, c.height);
        EXPECT_EQ(reading->halfTop, c.halfTop);
        EXPECT_EQ((static_cast<int>(reading->digits.size()) + 1) * 5 + 2, c.bars);
    }
}

}  // namespace
}  // namespace gs
