#include "barcode/code128.h"

#include "decoders.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace gs {
namespace {

using Values = std::vector<int>;

// Every stored word against the published bar/space widths.
TEST(Code128Table, MatchesPublishedWidths) {
    for (int v = 0; v <= kCode128Stop; ++v) {
        std::string widths;
        const std::uint16_t word = kCode128Patterns[static_cast<std::size_t>(v)];
        const int modules = Code128Modules(v);
        int m = 0;
        while (m < modules) {
            const bool dark = word & (0x8000u >> m);
            int n = 0;
            while (m < modules && static_cast<bool>(word & (0x8000u >> m)) == dark) ++m, ++n;
            widths += static_cast<char>('0' + n);
        }
        EXPECT_EQ(widths, testing::Code128ReferenceWidths(v)) << "value " << v;
        EXPECT_EQ(word & (0xFFFFu >> modules), 0) << "bits past the pattern, value " << v;
    }
    EXPECT_EQ(kCode128Patterns[0], 0xD980);
    EXPECT_EQ(kCode128Patterns[105], 0xD380);
    EXPECT_EQ(kCode128Patterns[106], 0xC758);
}

struct EncodeCase {
    const char* name;
    std::string text;
    Values values;
};

// Test listings show the case by its name.
void PrintTo(const EncodeCase& c, std::ostream* os) { *os << c.name; }

class Code128Encode : public ::testing::TestWithParam<EncodeCase> {};

TEST_P(Code128Encode, GivesSymbolValues) {
    EXPECT_EQ(EncodeCode128(GetParam().text), GetParam().values);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Code128Encode,
    ::testing::Values(
        EncodeCase{"ArticleNumber", "12345678901234567890", {105, 12, 34, 56, 78, 90, 12, 34, 56, 78, 90, 76, 106}},
        EncodeCase{"OddDigitsEndInB", "12345", {105, 12, 34, 100, 21, 54, 106}},
        EncodeCase{"ShortDigitRunStaysB", "AB12", {104, 33, 34, 17, 18, 19, 106}},
        EncodeCase{"EvenRunInMiddleGoesToC", "ab1234cd", {104, 65, 66, 99, 12, 34, 100, 67, 68, 60, 106}},
        EncodeCase{"Empty", "", {}},
        EncodeCase{"ControlBetweenLowerIsShifted", "a\x01" "b", {104, 65, 98, 65, 66, 0, 106}},
        EncodeCase{"LowerBetweenControlsIsShifted", "\x01" "a\x02", {103, 65, 98, 65, 66, 102, 106}},
        EncodeCase{"ControlRunSwitchesToA", "ab\x01\x02", {104, 65, 66, 101, 65, 66, 61, 106}},
        EncodeCase{"EvenRunAtEnd", "X123456", {104, 56, 99, 12, 34, 56, 89, 106}},
        // An odd run sends its first digit in B and the even rest in C.
        EncodeCase{"OddRunAtEndSplits", "X12345", {104, 56, 17, 99, 23, 45, 87, 106}},
        // Characters 96..128 other than lower-case letters leave set A too,
        // so they are read back as themselves.
        EncodeCase{"BraceAfterControlLeavesA", "\x01{", {103, 65, 100, 91, 23, 106}},
        // Code 128 is carried by set B as value 96.
        EncodeCase{"Code128Character", "\x80", {104, 96, 97, 106}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Code128Text, RemovesCodesAbove128Only) {
    EXPECT_EQ(PrepareCode128Text("Ab\x01z\x80\x81\xC9\xFF" "9"), "Ab\x01z\x80" "9");
    EXPECT_EQ(PrepareCode128Text(""), "");
}

TEST(Code128Width, ElevenModulesPerValuePlusQuietZones) {
    EXPECT_EQ(Code128Width("12345678901234567890", 1), 165);
    EXPECT_EQ(Code128Width("12345678901234567890", 9), 1485);
    EXPECT_EQ(Code128Width("12345", 2), (11 * 7 + 22) * 2);
    EXPECT_EQ(Code128Width("", 1), 20);
    EXPECT_EQ(Code128Width("", 7), 140);
    EXPECT_EQ(Code128Width("AB12", 0), 0);
}

TEST(Code128Draw, StopsAtValueOutsideTable) {
    QImage image(Code128WidthForValues(4, 1), 3, QImage::Format_Grayscale8);
    image.fill(255);
    DrawCode128(image, {104, 33, 107, 106}, 10, 1, 3);
    // START B and the first data value are drawn, nothing from 10 + 22 on.
    for (int y = 0; y < 3; ++y) {
        EXPECT_EQ(image.constScanLine(y)[10], 0);
        for (int x = 10 + 22; x < image.width(); ++x) ASSERT_EQ(image.constScanLine(y)[x], 255) << x;
    }
}

}  // namespace
}  // namespace gs
