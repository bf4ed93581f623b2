#include "numbering/articlenumber.h"

#include <gtest/gtest.h>

namespace gs {
namespace {

struct ComposeCase {
    const char* custId;
    const char* serial;
    const char* number;
};

TEST(ComposeArticleNumber, BuildsPrefixIdSerialAndCheckDigit) {
    const ComposeCase cases[] = {
        {"000000000", "00000000", "71000000000000000008"},
        {"000000000", "00000001", "71000000000000000015"},
        {"123456789", "00000001", "71123456789000000010"},  // total 120: check digit 0, not 10
        {"987654321", "99999999", "71987654321999999999"},
        // Short texts are padded on the left.
        {"12345", "42", "71000012345000000425"},
        {"", "", "71000000000000000008"},
        // Anything that is not a plain whole number becomes zeros, without complaint.
        {"12-345-6789", "00000001", "71000000000000000015"},
        {"abc", "1234567x", "71000000000000000008"},
        {" 123", "-1", "71000000000000000008"},
        {"000000000", "0000001 ", "71000000000000000008"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ComposeArticleNumber(c.custId, c.serial), c.number) << c.custId << " / " << c.serial;
}

TEST(FormatArticleNumber, FiveGroupsOfFourWithShortNumbersKeepingTheSpaces) {
    EXPECT_EQ(FormatArticleNumber("71000000000000000015"), "7100 0000 0000 0000 0015");
    EXPECT_EQ(FormatArticleNumber("7100000000"), "7100 0000 00  ");
    EXPECT_EQ(FormatArticleNumber("71"), "71    ");
    EXPECT_EQ(FormatArticleNumber(""), "    ");
    EXPECT_EQ(FormatArticleNumber("710000000000000000159"), "7100 0000 0000 0000 0015");
}

TEST(StepSerial, WrapsAndPads) {
    struct Case {
        const char* serial;
        int delta;
        const char* result;
    };
    const Case cases[] = {
        {"00000041", +1, "00000042"}, {"99999999", +1, "00000001"}, {"99999998", +1, "99999999"},
        {"00000000", -1, "99999999"}, {"00000001", -1, "00000000"}, {"42", +1, "00000043"},
        {"123456789", +1, "123456790"},  // longer texts keep their length
    };
    for (const auto& c : cases) EXPECT_EQ(StepSerial(c.serial, c.delta), c.result) << c.serial << c.delta;
}

TEST(StepSerial, NonNumbersReportTheFrameworkConversionText) {
    for (const char* bad : {"", "0000004a", " 0000041", "-0000001", "+0000001", "0x10"}) {
        try {
            StepSerial(bad, +1);
            ADD_FAILURE() << "accepted '" << bad << "'";
        } catch (const ArticleNumberError& e) {
            EXPECT_EQ(std::string(e.what()), std::string("'") + bad + "' is not a valid integer value");
        }
    }
    EXPECT_THROW(StepSerial("99999999999999999999", +1), ArticleNumberError);
}

Settings Barcode(const char* serial) {
    Settings s;
    s.PrintBarCode = true;
    s.CustID = "12-345-6789";
    s.SerialNum = serial;
    s.MailerNum = "71999999999999999999";
    return s;
}

Settings Preprinted(const char* mailerNum, bool increment) {
    Settings s;
    s.PrintBarCode = false;
    s.MailerNum = mailerNum;
    s.Increment = increment;
    s.SerialNum = "00000007";
    return s;
}

TEST(StepArticleNumber, BarcodeModeMovesOnlyTheSerial) {
    Settings s = Barcode("99999999");
    StepArticleNumber(s);
    EXPECT_EQ(s.SerialNum, "00000001");
    EXPECT_EQ(s.MailerNum, "71999999999999999999");
    EXPECT_EQ(s.CustID, "12-345-6789");
    UnstepArticleNumber(s);
    EXPECT_EQ(s.SerialNum, "00000000");
    UnstepArticleNumber(s);
    EXPECT_EQ(s.SerialNum, "99999999");
}

TEST(StepArticleNumber, PreprintedModeComposesTheNumberAgain) {
    struct Case {
        const char* before;
        bool increment;
        const char* stepped;
    };
    const Case cases[] = {
        // Whatever the stored number starts with, a step gives "71" and a fresh check digit.
        {"70031234567000000123", true, "71031234567000000135"},
        {"71031234567000000135", false, "71031234567000000128"},
        {"71000000000000000008", false, "71000000000999999994"},  // 0 down wraps to 99999999
        {"71000000000999999990", true, "71000000000000000015"},
    };
    for (const auto& c : cases) {
        Settings s = Preprinted(c.before, c.increment);
        StepArticleNumber(s);
        EXPECT_EQ(s.MailerNum, c.stepped) << c.before;
        EXPECT_EQ(s.SerialNum, "00000007");
    }
}

TEST(StepArticleNumber, UnstepReversesInBothDirections) {
    for (bool increment : {true, false}) {
        Settings s = Preprinted("71031234567000000135", increment);
        StepArticleNumber(s);
        UnstepArticleNumber(s);
        EXPECT_EQ(s.MailerNum, "71031234567000000135") << increment;
    }
    Settings down = Preprinted("71031234567000000135", false);
    UnstepArticleNumber(down);
    EXPECT_EQ(down.MailerNum, "71031234567000000142");
}

TEST(StepArticleNumber, UnreadableSerialFailsAndChangesNothing) {
    const Settings cases[] = {
        Barcode("0000004x"),
        Barcode(""),
        Preprinted("7103123456700000 123", true),
        Preprinted("7103123456", false),  // too short to hold a serial part
    };
    for (const Settings& original : cases) {
        Settings s = original;
        EXPECT_THROW(StepArticleNumber(s), ArticleNumberError);
        EXPECT_EQ(s, original);
        EXPECT_THROW(UnstepArticleNumber(s), ArticleNumberError);
        EXPECT_EQ(s, original);
    }
}

TEST(BarcodeMenu, DontPrintAlwaysCountsUpAgain) {
    Settings s;
    s.PrintBarCode = true;
    s.Increment = false;
    SelectPreprintedMode(s);
    EXPECT_FALSE(s.PrintBarCode);
    EXPECT_TRUE(s.Increment);
    s.Increment = false;
    SelectBarcodeMode(s);
    EXPECT_TRUE(s.PrintBarCode);
    EXPECT_FALSE(s.Increment);
}

}  // namespace
}  // namespace gs
