// GS1-128 as the IMpb uses it: AI 420 with the destination ZIP, FNC1, then
// the 22 digits (whose first two are the channel's AI 92 or 93). The
// modules are compared with libzint's GS1-128 of the same element string.
#include "barcode/barcodebmp.h"
#include "barcode/code128.h"

#include <zint.h>

#include <gtest/gtest.h>

#include <memory>

namespace gs {
namespace {

// zint's modules of "[AI]data[AI]data..." as '1' dark / '0' light.
std::string ZintModules(const std::string& bracketed) {
    std::unique_ptr<zint_symbol, void (*)(zint_symbol*)> symbol(ZBarcode_Create(), ZBarcode_Delete);
    symbol->symbology = BARCODE_GS1_128;
    symbol->input_mode = GS1_MODE;
    const int rc = ZBarcode_Encode(symbol.get(), reinterpret_cast<const unsigned char*>(bracketed.data()),
                                   static_cast<int>(bracketed.size()));
    EXPECT_LT(rc, ZINT_ERROR) << symbol->errtxt;
    std::string modules;
    for (int col = 0; col < symbol->width; ++col)
        modules += (symbol->encoded_data[0][col >> 3] >> (col & 7)) & 1 ? '1' : '0';
    return modules;
}

// Our modules at one pixel each, quiet zones left out.
std::string OurModules(const std::string& elements) {
    TBarcodeBmp bmp;
    bmp.SetInterpret(false);
    bmp.SetHeight(4);
    bmp.SetBarcodeType(TBarCodeType::bcEAN128);
    bmp.SetBarcodeText(elements);
    const QImage& image = bmp.Bitmap();
    std::string modules;
    for (int x = 10; x < image.width() - 10; ++x) modules += image.pixelColor(x, 0).black() > 128 ? '1' : '0';
    return modules;
}

TEST(Gs1_128, ImpbSymbolsMatchLibzintModuleForModule) {
    struct Case {
        const char* zip;     // "" for a label run's symbol (no AI 420)
        const char* number;  // the 22 digits
    };
    const Case cases[] = {
        {"12345", "9207190123456700000017"},
        {"123456789", "9207190123456700000017"},
        {"00501", "9307012345600000000015"},
        {"994011234", "9361299999999999999997"},
        {"", "9250191234567812345676"},
        {"", "9307100000000000000000"},
    };
    for (const Case& c : cases) {
        const std::string zip = c.zip, number = c.number;
        const std::string ours = zip.empty() ? number : "420" + zip + kGs1Separator + number;
        const std::string bracketed =
            (zip.empty() ? "" : "[420]" + zip) + "[" + number.substr(0, 2) + "]" + number.substr(2);
        SCOPED_TRACE(bracketed);
        const std::string expected = ZintModules(bracketed);
        ASSERT_FALSE(expected.empty());
        EXPECT_EQ(OurModules(ours), expected);
    }
}

TEST(Gs1_128, StartsWithFnc1AndCarriesDigitsInSetC) {
    const std::vector<int> zip9 = EncodeGs1_128(std::string("420123456789") + kGs1Separator + "9207190123456700000017");
    const std::vector<int> head = {kCode128StartC, kCode128Fnc1, 42, 1, 23, 45, 67, 89, kCode128Fnc1, 92, 7, 19};
    ASSERT_EQ(zip9.size(), 22u);  // START, FNC1, 6 pairs, FNC1, 11 pairs, check, STOP
    EXPECT_EQ(std::vector<int>(zip9.begin(), zip9.begin() + 12), head);
    EXPECT_EQ(zip9.back(), kCode128Stop);
    // A label's symbol: the 22 digits alone, 15 values, 187 modules with the quiet zones.
    const std::vector<int> label = EncodeGs1_128("9207190123456700000017");
    EXPECT_EQ(label.size(), 15u);
    EXPECT_EQ(Code128WidthForValues(label.size(), 1), 187);
    // Odd digit runs and letters fall back on set B; the check value holds.
    const std::vector<int> mixed = EncodeGs1_128("10ABC123");
    EXPECT_EQ(mixed[0], kCode128StartC);
    EXPECT_EQ(mixed[1], kCode128Fnc1);
    EXPECT_EQ(mixed[2], 10);
    EXPECT_EQ(mixed[3], kCode128CodeB);
    EXPECT_EQ(mixed[mixed.size() - 2],
              Code128CheckValue(std::vector<int>(mixed.begin(), mixed.end() - 2)));
    EXPECT_TRUE(EncodeGs1_128("").empty());
}

}  // namespace
}  // namespace gs
