#include "barcode/postnet.h"

#include <gtest/gtest.h>

#include <string>

namespace gs {
namespace {

TEST(PostnetTable, MatchesDigitBars) {
    const char* bars[10] = {"FFHHH", "HHHFF", "HHFHF", "HHFFH", "HFHHF", "HFHFH", "HFFHH", "FHHHF", "FHHFH", "FHFHH"};
    for (int d = 0; d < 10; ++d) {
        std::string drawn;
        for (int b = 0; b < 5; ++b) drawn += (kPostnetDigits[static_cast<std::size_t>(d)] & (0x80 >> b)) ? 'F' : 'H';
        EXPECT_EQ(drawn, bars[d]) << "digit " << d;
        EXPECT_EQ(kPostnetDigits[static_cast<std::size_t>(d)] & 0x07, 0);
    }
}

TEST(PostnetCheckDigit, BringsSumToMultipleOfTen) {
    EXPECT_EQ(PostnetCheckDigit("12345"), 5);
    EXPECT_EQ(PostnetCheckDigit("123456789"), 5);
    EXPECT_EQ(PostnetCheckDigit("55555"), 5);
    EXPECT_EQ(PostnetCheckDigit("19"), 0);
    EXPECT_EQ(PostnetCheckDigit(""), 0);
    EXPECT_EQ(PostnetCheckDigit("99999999999"), 1);
}

TEST(PostnetText, KeepsFirstElevenDigits) {
    EXPECT_EQ(PreparePostnetText("12345-6789"), "123456789");
    EXPECT_EQ(PreparePostnetText("12345678901234"), "12345678901");
    EXPECT_EQ(PreparePostnetText(" 1a2-3\x01" "4\xB9" "5 "), "12345");
    EXPECT_EQ(PreparePostnetText("-"), "");
}

TEST(PostnetWidth, TenModulesPerDigitPlusFrameAndQuietZones) {
    EXPECT_EQ(PostnetWidth(5, 1), 83);
    EXPECT_EQ(PostnetWidth(9, 1), 123);
    EXPECT_EQ(PostnetWidth(9, 14), 1722);
    EXPECT_EQ(PostnetWidth(11, 2), 286);
    EXPECT_EQ(PostnetWidth(0, 3), 60);
}

}  // namespace
}  // namespace gs
