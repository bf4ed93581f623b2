// Splitting a pasted address block into name lines, city, state and ZIP.
#include "app/addresspaste.h"

#include "platform/clipboard.h"

#include <gtest/gtest.h>

namespace gs {
namespace {

struct PasteCase {
    const char* name;
    std::string text;
    std::vector<std::string> nameLines;
    std::string city, state, zip;
};

TEST(AddressPaste, SplitsTheLastLineIntoCityStateAndZip) {
    const PasteCase cases[] = {
        {"three lines", "John Smith\r\n12 Oak Ave\r\nSpringfield, IL 62701-1234",
         {"John Smith", "12 Oak Ave"}, "Springfield", "IL", "62701-1234"},
        {"three lines and a final break", "John Smith\r\n12 Oak Ave\r\nSpringfield, IL 62701-1234\r\n",
         {"John Smith", "12 Oak Ave"}, "Springfield", "IL", "62701-1234"},
        {"one line", "Springfield, IL 62701", {}, "Springfield", "IL", "62701"},
        {"LF CR pairs end lines too", "Ann\n\rDover  DE   19901\n\r", {"Ann"}, "Dover", "DE", "19901"},
        {"empty lines are kept", "Ann\r\n\r\nDover, DE 19901", {"Ann", ""}, "Dover", "DE", "19901"},
        {"a lone LF stays in its line", "Ann\nLee\r\nDover, DE 19901", {"Ann\nLee"}, "Dover", "DE", "19901"},
        {"only a ZIP", "62701", {}, "", "62", "62701"},
        {"a hyphen in the city is taken for the ZIP's", "Wilkes-Barre, PA 18701", {}, "Wilkes-Bar", "re",
         "ilkes-Barr"},
        {"a hyphen near the start", "A-B 1", {}, "", "A-", "A-B 1"},
        {"blanks and commas before the state", " , ,IL 62701", {}, "", "IL", "62701"},
        {"short line", "IL", {}, "", "IL", "IL"},
    };
    for (const PasteCase& c : cases) {
        const auto got = ParsePastedAddress(c.text);
        ASSERT_TRUE(got) << c.name;
        EXPECT_EQ(got->nameLines, c.nameLines) << c.name;
        EXPECT_EQ(got->city, c.city) << c.name;
        EXPECT_EQ(got->state, c.state) << c.name;
        EXPECT_EQ(got->zip, c.zip) << c.name;
    }
}

TEST(AddressPaste, TextWithoutALineBreakPairYieldsNothing) {
    for (const char* text : {"", "John Smith\n12 Oak Ave\nSpringfield, IL 62701\n", "Springfield, IL 62701\r"})
        EXPECT_FALSE(ParsePastedAddress(text)) << text;
}

TEST(AddressPaste, BoxTakesTheFirstFourNameLines) {
    EXPECT_EQ(PastedBoxText({"A", "B"}), "A\nB\n");
    EXPECT_EQ(PastedBoxText({"1", "2", "3", "4", "5", "6"}), "1\n2\n3\n4");
    EXPECT_EQ(PastedBoxText({}), "");
}

TEST(AddressPaste, ClipboardLineBreaksBecomeCrLf) {
    EXPECT_EQ(WithCrLfLineBreaks("a\nb\r\nc\n"), "a\r\nb\r\nc\r\n");
    EXPECT_EQ(WithCrLfLineBreaks("\n\rx\r"), "\n\rx\r");
    EXPECT_EQ(WithCrLfLineBreaks("a\n\r\nb"), "a\n\r\r\nb");
}

// Some programs end their clipboard lines with LF CR: each pair is one line
// break, so no CR is left at the start of the next line.
TEST(AddressPaste, LfCrLineEndsFromTheClipboardGiveCleanLines) {
    const auto got = ParsePastedAddress(WithCrLfLineBreaks("John Smith\n\r12 Oak Ave\n\rSpringfield, IL 62701\n\r"));
    ASSERT_TRUE(got);
    EXPECT_EQ(got->nameLines, (std::vector<std::string>{"John Smith", "12 Oak Ave"}));
    EXPECT_EQ(got->city, "Springfield");
    EXPECT_EQ(got->state, "IL");
    EXPECT_EQ(got->zip, "62701");
}

}  // namespace
}  // namespace gs
