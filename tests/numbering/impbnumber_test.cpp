#include "numbering/impbnumber.h"

#include "numbering/articlenumber.h"

#include <gtest/gtest.h>

namespace gs {
namespace {

// The check digit stated the other way round: over the 21 digits counted
// from the left, odd positions weigh 3 and even ones 1.
char CheckFromTheLeft(const std::string& body) {
    int sum = 0;
    for (std::size_t i = 0; i < body.size(); ++i) sum += (body[i] - '0') * (i % 2 == 0 ? 3 : 1);
    return static_cast<char>('0' + (10 - sum % 10) % 10);
}

TEST(ImpbNumber, ComposesTwentyTwoDigitsWithThePostalCheckDigit) {
    struct Case {
        ImpbFields fields;
        const char* number;
    };
    const Case cases[] = {
        {{"92", "071", "901234567", "0000001"}, "9207190123456700000017"},
        {{"92", "071", "901234567", "9999999"}, "9207190123456799999995"},
        {{"92", "071", "901234567", "0000000"}, "9207190123456700000000"},
        {{"93", "070", "123456", "0000000001"}, "9307012345600000000015"},
        {{"93", "612", "999999", "9999999999"}, "9361299999999999999997"},
        {{"92", "501", "912345678", "1234567"}, "9250191234567812345676"},
    };
    for (const Case& c : cases) {
        const std::string number = ComposeImpbNumber(c.fields);
        SCOPED_TRACE(number);
        EXPECT_EQ(number, c.number);
        ASSERT_EQ(number.size(), 22u);
        EXPECT_EQ(number.back(), CheckFromTheLeft(number.substr(0, 21)));
        EXPECT_EQ(CheckImpbFields(c.fields).field, ImpbField::None);
    }
    EXPECT_EQ(FormatArticleNumber("9207190123456700000017"), "9207 1901 2345 6700 0000 17");
    EXPECT_EQ(FormatArticleNumber("71000000000000000015"), "7100 0000 0000 0000 0015");
}

TEST(ImpbNumber, NamesTheFirstMissingOrWrongField) {
    struct Case {
        ImpbFields fields;
        ImpbField field;
        const char* words;
    };
    using F = ImpbField;
    const Case cases[] = {
        {{"", "071", "901234567", "0000001"}, F::Channel, "IMpb Channel is missing"},
        {{"94", "071", "901234567", "0000001"}, F::Channel, "92 or 93"},
        {{"92", "", "901234567", "0000001"}, F::ServiceType, "Service Type Code is missing"},
        {{"92", "71", "901234567", "0000001"}, F::ServiceType, "three digits"},
        {{"92", "071", "", "0000001"}, F::MailerId, "Mailer ID is missing"},
        {{"92", "071", "123456", "0000001"}, F::MailerId, "has 9 digits"},
        {{"93", "071", "901234567", "0000000001"}, F::MailerId, "has 6 digits"},
        {{"92", "071", "901234567", ""}, F::Serial, "Serial Number is missing"},
        {{"92", "071", "901234567", "0000000001"}, F::Serial, "has 7 digits"},
        {{"93", "071", "123456", "0000001"}, F::Serial, "has 10 digits"},
        {{"92", "071", "901234567", "00000a1"}, F::Serial, "has 7 digits"},
    };
    for (const Case& c : cases) {
        const ImpbCheck check = CheckImpbFields(c.fields);
        SCOPED_TRACE(check.problem);
        EXPECT_EQ(check.field, c.field);
        EXPECT_NE(check.problem.find(c.words), std::string::npos);
    }
}

TEST(ImpbNumber, SerialStepsWithTheArticleNumberAndWrapsWithinItsDigits) {
    Settings s;
    s.CustID = "12-345-6789";
    s.SerialNum = "00000041";
    s.ArticleFormat = "IMpb";
    s.IMpbChannel = "92";
    s.IMpbServiceType = "071";
    s.IMpbMailerId = "901234567";
    s.IMpbSerial = "9999998";
    StepArticleNumber(s);
    EXPECT_EQ(s.IMpbSerial, "9999999");
    StepArticleNumber(s);
    EXPECT_EQ(s.IMpbSerial, "0000000");
    UnstepArticleNumber(s);
    EXPECT_EQ(s.IMpbSerial, "9999999");
    EXPECT_EQ(s.SerialNum, "00000041");  // the 20-digit serial waits for its own format

    s.IMpbChannel = "93";
    s.IMpbMailerId = "123456";
    s.IMpbSerial = "9999999999";
    StepArticleNumber(s);
    EXPECT_EQ(s.IMpbSerial, "0000000000");

    // The 20-digit format, and pre-printed mode, leave the IMpb serial alone.
    s.ArticleFormat = "20";
    StepArticleNumber(s);
    EXPECT_EQ(s.IMpbSerial, "0000000000");
    s.ArticleFormat = "IMpb";
    s.PrintBarCode = false;
    s.MailerNum = "71000000000000000008";
    StepArticleNumber(s);
    EXPECT_EQ(s.IMpbSerial, "0000000000");
}

TEST(ImpbNumber, PreprintedTwentyTwoDigitNumberStepsItsOwnSerial) {
    Settings s;
    s.PrintBarCode = false;
    s.MailerNum = "9207190123456799999995";
    StepArticleNumber(s);
    EXPECT_EQ(s.MailerNum, "9207190123456700000000");
    s.Increment = false;
    StepArticleNumber(s);
    EXPECT_EQ(s.MailerNum, "9207190123456799999995");
    s.MailerNum = "9307012345600000000015";
    s.Increment = true;
    UnstepArticleNumber(s);
    EXPECT_EQ(s.MailerNum, "9307012345600000000008");
    s.MailerNum = "92071901234567abcdefg5";
    EXPECT_THROW(StepArticleNumber(s), ArticleNumberError);
    EXPECT_EQ(s.MailerNum, "92071901234567abcdefg5");
}

}  // namespace
}  // namespace gs
