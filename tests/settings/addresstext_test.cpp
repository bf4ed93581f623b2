#include "settings/addresstext.h"

#include "settings/settings.h"

#include <gtest/gtest.h>

namespace gs {
namespace {

TEST(NormalizeZip, Cases) {
    struct Case { const char* in; const char* out; } cases[] = {
        {"     -    ", ""},           // the untouched mask
        {"62701-    ", "62701"},      // five digits typed into the ZIP+4 mask
        {"62701-1234", "62701-1234"},
        {"  62701  ", "62701"},
        {"-1234", "1234"},
        {"     -1234", "1234"},
        {"", ""},
        {"-", ""},
        {"627-01", "627-01"},         // not the last character: unchanged
    };
    for (const auto& c : cases) EXPECT_EQ(NormalizeZip(c.in), c.out) << '"' << c.in << '"';
}

TEST(SenderLabels, CityLineTakesTheFirstBlankLine) {
    Settings s;
    s.City = "Springfield";
    s.State = "IL";
    s.Zip = "62701";
    using L = std::array<std::string, 5>;

    s.Line1 = "ACME Corp";
    s.Line2 = "1 Main St";
    EXPECT_EQ(SenderLabels(s), (L{"ACME Corp", "1 Main St", "Springfield IL 62701", "", ""}));

    s.Line2 = "";
    s.Line3 = "1 Main St";
    EXPECT_EQ(SenderLabels(s), (L{"ACME Corp", "Springfield IL 62701", "1 Main St", "", ""}));

    s.Line2 = "Dept 4";
    s.Line4 = "Suite 9";
    EXPECT_EQ(SenderLabels(s), (L{"ACME Corp", "Dept 4", "1 Main St", "Suite 9", "Springfield IL 62701"}));

    Settings none;
    EXPECT_EQ(SenderLabels(none), (L{"", "", "", "", ""}));
    none.Line1 = "  ";  // a blank line counts as empty
    none.State = "IL";
    EXPECT_EQ(SenderLabels(none), (L{"IL", "", "", "", ""}));
}

}  // namespace
}  // namespace gs
