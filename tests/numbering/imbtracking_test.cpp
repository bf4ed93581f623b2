#include "numbering/imbtracking.h"

#include "numbering/articlenumber.h"

#include <gtest/gtest.h>

namespace gs {
namespace {

TEST(ImbTracking, FieldsMakeTwentyDigitsOrSayWhatIsWrong) {
    struct Case {
        ImbTrackingFields fields;
        ImbField field;       // the field found wrong, None when valid
        const char* problem;  // a few words the message must hold
    };
    using F = ImbField;
    const Case cases[] = {
        {{"00", "040", "123456", "000000001"}, F::None, ""},
        {{"04", "700", "987654321", "000123"}, F::None, ""},
        {{"05", "040", "123456", "000000001"}, F::BarcodeId, "Barcode ID"},
        {{"0", "040", "123456", "000000001"}, F::BarcodeId, "Barcode ID"},
        {{"0a", "040", "123456", "000000001"}, F::BarcodeId, "Barcode ID"},
        {{"00", "40", "123456", "000000001"}, F::ServiceType, "Service Type"},
        {{"00", "040", "12345", "000000001"}, F::MailerId, "6 or 9 digits"},
        {{"00", "040", "1234567", "00000001"}, F::MailerId, "6 or 9 digits"},
        {{"00", "040", "", ""}, F::MailerId, "6 or 9 digits"},
        {{"00", "040", "923456", "000000001"}, F::MailerId, "begins with"},   // 6 digits may not begin with 9
        {{"00", "040", "123456789", "000001"}, F::MailerId, "begins with"},  // 9 digits must begin with 9
        {{"00", "040", "123456", "000001"}, F::Serial, "has 9 digits"},
        {{"00", "040", "987654321", "000000001"}, F::Serial, "has 6 digits"},
        {{"00", "040", "123456", "00000000x"}, F::Serial, "has 9 digits"},
    };
    for (const Case& c : cases) {
        const ImbTrackingCheck check = CheckImbTracking(c.fields);
        SCOPED_TRACE(ImbTrackingCode(c.fields) + ": " + check.problem);
        EXPECT_EQ(check.field, c.field);
        EXPECT_EQ(ImbTrackingProblem(c.fields), check.problem);
        EXPECT_NE(check.problem.find(c.problem), std::string::npos);
        EXPECT_EQ(check.problem.empty(), c.field == F::None);
        if (c.field == F::None) {
            EXPECT_EQ(ImbTrackingCode(c.fields).size(), 20u);
        }
    }
}

TEST(ImbTracking, ChoiceAndFieldsComeFromTheSettings) {
    Settings s;
    EXPECT_FALSE(ZipBarcodeIsImb(s));
    EXPECT_NE(ImbTrackingProblem(ImbTrackingOf(s)), "");  // nothing entered yet
    s.ZipBarCode = "imb";  // only the exact value chooses the IMb
    EXPECT_FALSE(ZipBarcodeIsImb(s));
    s.ZipBarCode = "IMB";
    EXPECT_TRUE(ZipBarcodeIsImb(s));
    s.IMbServiceType = "040";
    s.IMbMailerId = "123456";
    s.IMbSerial = "000000001";
    EXPECT_EQ(ImbTrackingCode(ImbTrackingOf(s)), "00040123456000000001");
    EXPECT_EQ(ImbSerialDigits("123456"), 9);
    EXPECT_EQ(ImbSerialDigits("987654321"), 6);
    EXPECT_EQ(ImbSerialDigits("12345"), 0);
}

TEST(ImbTracking, SerialStepsWithTheArticleNumberWithinItsDigits) {
    struct Case {
        const char* zip;
        const char* mailerId;
        const char* serial;
        int delta;
        const char* after;
    };
    const Case cases[] = {
        {"IMB", "123456", "000000001", +1, "000000002"},
        {"IMB", "123456", "999999999", +1, "000000000"},
        {"IMB", "123456", "000000000", -1, "999999999"},
        {"IMB", "987654321", "000099", +1, "000100"},
        {"IMB", "987654321", "999999", +1, "000000"},
        {"IMB", "123456", "000001", +1, "000001"},         // no serial for this mailer ID: left alone
        {"IMB", "", "000000001", +1, "000000001"},
        {"IMB", "123456", "00000000x", +1, "00000000x"},
        {"POSTNET", "123456", "000000001", +1, "000000001"},  // no tracking code printed
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.zip) + " " + c.mailerId + " " + c.serial);
        Settings s;
        s.ZipBarCode = c.zip;
        s.IMbMailerId = c.mailerId;
        s.IMbSerial = c.serial;
        StepImbSerial(s, c.delta);
        EXPECT_EQ(s.IMbSerial, c.after);
    }

    // The article number's step moves it by one serial per symbol the form
    // prints (recipient, sender, and the extra label when it carries the
    // recipient), and a failed step moves nothing.
    Settings s;
    s.ZipBarCode = "IMB";
    s.IMbMailerId = "123456";
    s.IMbSerial = "000000041";
    s.SerialNum = "00000007";
    ASSERT_EQ(ImbSymbolsPerPiece(s), 3);
    StepArticleNumber(s);
    EXPECT_EQ(s.SerialNum, "00000008");
    EXPECT_EQ(s.IMbSerial, "000000044");
    UnstepArticleNumber(s);
    EXPECT_EQ(s.IMbSerial, "000000041");
    s.ExtraLabel = "Your Name and Address";
    EXPECT_EQ(ImbSymbolsPerPiece(s), 2);
    StepArticleNumber(s);
    EXPECT_EQ(s.IMbSerial, "000000043");
    s.SerialNum = "12ab";
    EXPECT_THROW(StepArticleNumber(s), ArticleNumberError);
    EXPECT_EQ(s.IMbSerial, "000000043");
    s.ZipBarCode = "POSTNET";
    EXPECT_EQ(ImbSymbolsPerPiece(s), 0);

    // The symbols below the recipient's wrap within the serial's digits.
    EXPECT_EQ(ImbTrackingStepped({"00", "040", "123456", "000000001"}, -2).serial, "999999999");
    EXPECT_EQ(ImbTrackingStepped({"00", "040", "987654321", "000005"}, -1).serial, "000004");
}

}  // namespace
}  // namespace gs
