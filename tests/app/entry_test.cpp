#include "app/entry.h"

#include <gtest/gtest.h>

namespace gs {
namespace {

std::string Blanks(int n) { return std::string(n, ' '); }

TEST(FormatAmount, BlanksByMagnitudeAndDecimals) {
    struct Case { double x; std::string out; } cases[] = {
        {2.4, Blanks(10) + "2.40"},     {0.39, Blanks(10) + "0.39"},   {4, Blanks(10) + "4.00"},
        {0, Blanks(10) + "0.00"},       {150, Blanks(6) + "150.00"},   {12.5, Blanks(8) + "12.5"},
        {1.234, Blanks(10) + "1.234"},  {0.5, Blanks(10) + "0.50"},    {9999, Blanks(5) + "9999.00"},
        {99999.5, Blanks(3) + "99999.5"}, {250000, Blanks(1) + "250000.00"},
        {-1.5, Blanks(10) + "-1.5"},    // negative amounts fall in the first class; "-1.5" is 4 long
        {-2, Blanks(10) + "-2.00"},
        {0.39 + 2.40 + 1.85, Blanks(10) + "4.64"},  // binary floating point still shows 4.64
    };
    for (const auto& c : cases) EXPECT_EQ(FormatAmount(c.x), c.out) << c.x;
}

TEST(ParseFee, AcceptsDecimalNumbersOnly) {
    struct Case { const char* text; std::optional<double> value; } cases[] = {
        {"2.40", 2.4}, {" 2.40 ", 2.4}, {"-1", -1}, {"+3", 3}, {"1e2", 100}, {"1.5E-1", 0.15},
        {".5", 0.5}, {"5.", 5},
        {"", std::nullopt}, {" ", std::nullopt}, {"abc", std::nullopt}, {"$3", std::nullopt},
        {"3$", std::nullopt}, {"1,5", std::nullopt}, {"e2", std::nullopt}, {"1e", std::nullopt},
        {".", std::nullopt}, {"--1", std::nullopt},
    };
    for (const auto& c : cases) {
        const auto v = ParseFee(c.text);
        ASSERT_EQ(v.has_value(), c.value.has_value()) << '"' << c.text << '"';
        if (v) {
            EXPECT_DOUBLE_EQ(*v, *c.value) << c.text;
        }
    }
}

TEST(NormalizeFeeText, FieldTextAndTotal) {
    // The field being left still holds what the user typed.
    FeeFieldTexts fields{"abc", Blanks(10) + "2.40", "", Blanks(10) + "1.85"};
    auto r = NormalizeFeeText("abc", fields);
    EXPECT_EQ(r.fieldText, " ");
    EXPECT_EQ(r.totalText, Blanks(10) + "4.25");

    fields.postage = "0.39";
    r = NormalizeFeeText("0.39", fields);
    EXPECT_EQ(r.fieldText, Blanks(10) + "0.39");
    EXPECT_EQ(r.totalText, Blanks(10) + "4.64");

    // Zero or negative: the field shows one blank, but the total taken now
    // still counts the value as typed.
    fields.postage = "-1";
    r = NormalizeFeeText("-1", fields);
    EXPECT_EQ(r.fieldText, " ");
    EXPECT_EQ(r.totalText, Blanks(10) + "3.25");

    fields = {" ", " ", " ", " "};
    r = NormalizeFeeText(" ", fields);
    EXPECT_EQ(r.totalText, Blanks(10) + "0.00");  // always written, also when 0
}

}  // namespace
}  // namespace gs
