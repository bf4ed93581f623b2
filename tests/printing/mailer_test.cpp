#include "platform/textutil.h"
#include "printing/mailer.h"

#include "numbering/articlenumber.h"
#include "platform/qtext.h"

#include "barcode/decoders.h"

#include <gtest/gtest.h>
#include <cmath>
#include <optional>

namespace gs {
namespace {

// Windows-1252: "José Müller" and a comment with a lower-case word.
const std::string kAccented = "Jos\xe9 M\xfcller";

MailerPrintRequest SampleRequest() {
    MailerPrintRequest r;
    r.senderLines = {"Acme Supply Co", "12 Main st", "Suite 4", "Springfield IL 62701", ""};
    r.senderZip = "62701";
    r.recipientLines = {kAccented, "400 Oak ave", "Dayton OH 45402-1234", "", ""};
    r.recipientZip = "45402-1234";
    r.re = "Invoice 7731";
    r.comment = "second notice";
    r.restricted = "Y";
    r.numberSource = "123456789";
    r.serial = "00000042";
    r.postage = "   0.39";
    r.certifiedFee = "   2.40";
    r.returnReceiptFee = "   1.85";
    r.restrictedFee = "   3.50";
    r.total = "   8.14";
    r.alignLeftRight = "0";
    r.alignUpDown = "0";
    r.extraLabelOn = "Yes";
    r.extraLabelAddress = "Addressed To";
    return r;
}

struct PrinterCase {
    int res;
    int offsetX, offsetY;  // physical offsets, device pixels
    long leftRight, upDown;
};

void PrintTo(const PrinterCase& c, std::ostream* os) {
    *os << c.res << "dpi_offset" << c.offsetX << "x" << c.offsetY << "_align" << c.leftRight << "x" << c.upDown;
}

// What the form should show, in the form's own terms: inches, faces, point
// sizes and angles. Device positions are worked out from these.
struct Expect {
    enum Kind { Text, RightText, Code128, Postnet } kind;
    double x, y;
    QString face;  // "" = the base face
    int points = 0;
    int angle = 0;
    bool bold = false;
    std::string text;  // Windows-1252; for barcodes the barcode's text
    double heightInches = 0;  // Code 128 bar height
};

std::vector<Expect> ExpectedMailer(const MailerPrintRequest& r, bool barcodes) {
    const QString ocr = "OCR A Extended";
    std::vector<Expect> e;
    const std::string plain = barcodes ? ComposeArticleNumber(r.numberSource, r.serial) : r.numberSource;
    const std::string grouped = FormatArticleNumber(plain);
    auto up = [](std::string s) { return UpperAscii(s); };
    if (barcodes) {
        e.push_back({Expect::Code128, 0.62, 4.1, "", 0, 0, false, plain, 0.75});
        e.push_back({Expect::Code128, 2.6, 2.06, "", 0, 0, false, plain, 0.4});
        e.push_back({Expect::Text, 2.98, 4.02, ocr, 11, 1800, false, grouped});
        e.push_back({Expect::Text, 4.96, 1.98, ocr, 11, 1800, false, grouped});
        e.push_back({Expect::Text, 4.5, 2.8, ocr, 10, 1800, false, grouped});
        e.push_back({Expect::Text, 7.91, 3.8, ocr, 10, 2700, false, grouped});
        e.push_back({Expect::Text, 8.1, 1.76, ocr, 8, 2700, false, grouped});
        e.push_back({Expect::Text, 1.47, 3.17, "", 6, 1800, false, grouped});
    }
    e.push_back({Expect::Postnet, r.recipientZip.size() > 5 ? 3.56 : 4.48, 5.63, "", 0, 0, false, r.recipientZip});
    e.push_back({Expect::Postnet, r.senderZip.size() > 5 ? 3.56 : 4.48, 3.83, "", 0, 0, false, r.senderZip});
    if (r.extraLabelOn == "Yes" && r.extraLabelAddress == "Addressed To") {
        int digits = 0;
        for (char c : r.recipientZip) digits += (c >= '0' && c <= '9');
        e.push_back({Expect::Postnet, std::min(digits, 11) > 5 ? 0.15 : 1.08, 5.63, "", 0, 0, false, r.recipientZip});
    }
    if (r.restricted == "Y") e.push_back({Expect::Text, 3.99, 3.3, ocr, 14, 1800, false, "X"});
    const double senderY[5] = {4.85, 4.7, 4.55, 4.4, 4.25};
    const double receiptY[5] = {3.45, 3.3, 3.15, 3.0, 2.85};
    const double blockY[5] = {6.6, 6.45, 6.3, 6.15, 6.0};
    const double stubY[5] = {1.35, 1.2, 1.05, 0.9, 0.75};
    for (int i = 0; i < 5; ++i) e.push_back({Expect::Text, 6.2, senderY[i], ocr, 10, 1800, false, up(r.senderLines[i])});
    for (int i = 0; i < 5; ++i) e.push_back({Expect::Text, 7.65, receiptY[i], ocr, 10, 1800, false, up(r.senderLines[i])});
    for (int i = 0; i < 5; ++i) e.push_back({Expect::Text, 6.2, blockY[i], ocr, 10, 1800, false, up(r.recipientLines[i])});
    for (int i = 0; i < 5; ++i) e.push_back({Expect::Text, 5.2, stubY[i], ocr, 10, 1800, false, up(r.recipientLines[i])});
    if (r.extraLabelOn == "Yes") {
        const auto& lines = r.extraLabelAddress == "Addressed To" ? r.recipientLines : r.senderLines;
        for (int i = 0; i < 5; ++i) e.push_back({Expect::Text, 2.8, blockY[i], ocr, 10, 1800, false, up(lines[i])});
    }
    e.push_back({Expect::Text, 6.2, 5.15, ocr, 10, 1800, false, "RE: " + r.re});
    const double sideX[5] = {7.7, 7.55, 7.4, 7.25, 7.1};
    for (int i = 0; i < 5; ++i) e.push_back({Expect::Text, sideX[i], 3.8, ocr, 10, 2700, false, up(r.senderLines[i])});
    e.push_back({Expect::Text, 8.21, 3.8, ocr, 10, 2700, false, "RE: " + r.re});
    e.push_back({Expect::Text, 8.06, 3.8, ocr, 10, 2700, false, r.comment});
    e.push_back({Expect::Text, 1.47, 3.17, "", 6, 1800, false, grouped});
    e.push_back({Expect::Text, 1.45, 2.88, "", 6, 1800, false, r.senderLines[0]});
    e.push_back({Expect::Text, 1.45, 2.78, "", 6, 1800, false, "RE: " + r.re});
    e.push_back({Expect::Text, 1.45, 2.68, "", 6, 1800, false, r.comment});
    const double receiptRecipientY[5] = {2.13, 2.03, 1.93, 1.83, 1.73};
    for (int i = 0; i < 5; ++i) e.push_back({Expect::Text, 1.45, receiptRecipientY[i], "", 6, 1800, false, r.recipientLines[i]});
    e.push_back({Expect::RightText, 0.3, 1.43, "", 6, 1800, false, Trim(r.postage)});
    e.push_back({Expect::RightText, 0.3, 1.33, "", 6, 1800, false, Trim(r.certifiedFee)});
    e.push_back({Expect::RightText, 0.3, 1.23, "", 6, 1800, false, Trim(r.returnReceiptFee)});
    e.push_back({Expect::RightText, 0.3, 1.13, "", 6, 1800, false, Trim(r.restrictedFee)});
    e.push_back({Expect::Text, 1.45, 1.43, "", 6, 1800, false, "Postage"});
    e.push_back({Expect::Text, 1.45, 1.33, "", 6, 1800, false, "Certified Fee"});
    e.push_back({Expect::Text, 1.45, 1.23, "", 6, 1800, false, "Return Receipt"});
    e.push_back({Expect::Text, 1.45, 1.13, "", 6, 1800, false, "Restricted"});
    e.push_back({Expect::Text, 1.2, 3.3, "", 8, 1800, true, "RECEIPT"});
    e.push_back({Expect::Text, 1.6, 3.02, "", 8, 1800, true, "FROM:"});
    e.push_back({Expect::Text, 1.6, 2.28, "", 8, 1800, true, "SEND TO:"});
    e.push_back({Expect::Text, 1.6, 1.58, "", 8, 1800, true, "FEES:"});
    e.push_back({Expect::Text, 1.6, 0.98, "", 8, 1800, true, "TOTAL"});
    e.push_back({Expect::Text, 1.5, 0.78, "", 8, 1800, true, "POSTMARK OR DATE"});
    e.push_back({Expect::RightText, 0.3, 0.98, "", 8, 1800, true, "$ " + Trim(r.total)});
    return e;
}

struct Printed {
    std::string grouped;
    std::vector<RecordedItem> items;
};

Printed Print(const MailerPrintRequest& r, bool barcodes, const PrinterCase& p) {
    RecordingPrintTarget target({p.res, p.res, p.offsetX, p.offsetY, 8 * p.res, 10 * p.res});
    Printed out;
    out.grouped = PrintMailer(target, r, barcodes, DefaultBaseFont());
    EXPECT_EQ(target.pages.size(), 1u);
    if (!target.pages.empty()) out.items = target.pages[0].items;
    return out;
}

int Dev(double inches, int offsetPixels, int res, long steps) {
    return static_cast<int>(3 * steps + std::trunc((inches - static_cast<double>(offsetPixels) / res) * res));
}

void CheckAgainstTable(const Printed& printed, const std::vector<Expect>& expected, const PrinterCase& p) {
    ASSERT_EQ(printed.items.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const Expect& e = expected[i];
        const RecordedItem& item = printed.items[i];
        SCOPED_TRACE(::testing::Message() << "item " << i << " at " << e.x << ", " << e.y << " (" << e.text << ")");
        const int dx = Dev(e.x, p.offsetX, p.res, p.leftRight);
        const int dy = Dev(e.y, p.offsetY, p.res, p.upDown);
        if (e.kind == Expect::Text || e.kind == Expect::RightText) {
            ASSERT_EQ(item.kind, RecordedItem::Kind::Text);
            EXPECT_EQ(item.text, FromAnsi(e.text));
            EXPECT_EQ(item.font.face, e.face.isEmpty() ? QString("Arial") : e.face);
            const int height = -static_cast<int>(RoundHalfEven(e.points * p.res / 72.0));
            EXPECT_EQ(item.font.height, height);
            EXPECT_EQ(item.font.escapement, e.angle);
            EXPECT_EQ(item.font.weight, e.bold ? 700 : 400);
            // The recording canvas measures half the character height per character.
            const int width = e.kind == Expect::RightText ? static_cast<int>(e.text.size()) * (-height / 2) : 0;
            EXPECT_EQ(item.x, dx + width);
            EXPECT_EQ(item.y, dy);
        } else {
            ASSERT_EQ(item.kind, RecordedItem::Kind::Bitmap);
            EXPECT_EQ(item.x, dx);
            EXPECT_EQ(item.y, dy);
            if (e.kind == Expect::Code128) {
                EXPECT_EQ(item.width, static_cast<int>(RoundHalfEven(p.res * 2.5)));
                EXPECT_EQ(item.height, static_cast<int>(RoundHalfEven(p.res * e.heightInches)));
                EXPECT_EQ(item.bitmap.height(), item.height);
            } else {
                EXPECT_EQ(item.width, item.bitmap.width());  // POSTNET is drawn at its own size
                EXPECT_EQ(item.height, static_cast<int>(RoundHalfEven(p.res * 0.125)));
            }
        }
    }
}

class WholeMailerTest : public ::testing::TestWithParam<PrinterCase> {};

TEST_P(WholeMailerTest, EveryItemLandsWhereTheFormWantsIt) {
    const PrinterCase p = GetParam();
    MailerPrintRequest r = SampleRequest();
    r.alignLeftRight = std::to_string(p.leftRight);
    r.alignUpDown = std::to_string(p.upDown);
    const Printed printed = Print(r, true, p);
    EXPECT_EQ(printed.grouped, FormatArticleNumber(ComposeArticleNumber("123456789", "00000042")));
    CheckAgainstTable(printed, ExpectedMailer(r, true), p);
}

INSTANTIATE_TEST_SUITE_P(Printers, WholeMailerTest,
                         ::testing::Values(PrinterCase{300, 18, 25, 7, -4}, PrinterCase{600, 25, 30, -3, 11},
                                           PrinterCase{600, 0, 0, 0, 0}));

TEST(MailerTest, LiteralPositionsAt300Dpi) {
    // Worked by hand: 300 dpi, no physical offset, LeftRight 5, TopBottom -2.
    MailerPrintRequest r = SampleRequest();
    r.alignLeftRight = "5";
    r.alignUpDown = "-2";
    const Printed printed = Print(r, true, {300, 0, 0, 5, -2});
    ASSERT_GE(printed.items.size(), 2u);
    const RecordedItem& b1 = printed.items[0];
    EXPECT_EQ(QRect(b1.x, b1.y, b1.width, b1.height), QRect(15 + 186, -6 + 1230, 750, 225));
    const RecordedItem& b2 = printed.items[1];
    EXPECT_EQ(QRect(b2.x, b2.y, b2.width, b2.height), QRect(15 + 780, -6 + 618, 750, 120));
    const auto receipt = std::find_if(printed.items.begin(), printed.items.end(),
                                      [](const RecordedItem& i) { return i.text == "RECEIPT"; });
    ASSERT_NE(receipt, printed.items.end());
    EXPECT_EQ(receipt->x, 15 + 360);
    EXPECT_EQ(receipt->y, -6 + 990);
    EXPECT_EQ(receipt->font.height, -33);
    EXPECT_EQ(receipt->font.weight, 700);
}

// The ZIP barcodes as the postal service measures them on the page: full
// bars 0.125 +- 0.010 in, half bars 0.050 +- 0.010 in, each within a pixel of
// the nominal height; bars 0.023 in wide at 21.4 bars per inch.
TEST(MailerTest, ZipBarsMeetThePostalDimensionsAt300And600Dpi) {
    for (const int res : {300, 600}) {
        SCOPED_TRACE(::testing::Message() << res << " dpi");
        const Printed printed = Print(SampleRequest(), true, {res, 0, 0, 0, 0});
        ASSERT_GE(printed.items.size(), 11u);  // the barcode block, then the three ZIP barcodes
        for (std::size_t i = 8; i < 11; ++i) {
            const RecordedItem& zip = printed.items[i];
            ASSERT_EQ(zip.kind, RecordedItem::Kind::Bitmap);
            // Drawn turned by 180 degrees: turned back, the half bars stand on the bottom line.
            const auto reading = testing::ReadPostnet(zip.bitmap.mirrored(true, true));
            ASSERT_TRUE(reading) << "item " << i;
            const double inch = res;
            const double full = reading->fullHeight / inch;
            const double half = (zip.bitmap.height() - reading->halfTop) / inch;
            EXPECT_NEAR(full, 0.125, 0.010);
            EXPECT_NEAR(half, 0.050, 0.010);
            EXPECT_NEAR(full, 0.125, 1 / inch);
            EXPECT_NEAR(half, 0.050, 1 / inch);
            EXPECT_NEAR(reading->barWidth / inch, 0.023, 0.001);
            EXPECT_NEAR(inch / reading->pitch, 21.4, 0.1);
            EXPECT_EQ(zip.height, zip.bitmap.height());  // at its own size: the pixels are the inches
        }
    }
}

TEST(MailerTest, CodeAndZipBitmapsHaveTheirPrinterSizes) {
    const Printed printed = Print(SampleRequest(), true, {600, 0, 0, 0, 0});
    ASSERT_GE(printed.items.size(), 11u);
    // 20 digits in Code 128 at 9 pixels a module: 1485 x 450, drawn 2.5 in wide.
    EXPECT_EQ(printed.items[0].bitmap.size(), QSize(1485, 450));
    EXPECT_EQ(printed.items[0].width, 1500);
    EXPECT_EQ(printed.items[1].bitmap.size(), QSize(1485, 240));
    // POSTNET at 14 pixels a module, 75 high: nine digits and five digits.
    EXPECT_EQ(printed.items[8].bitmap.size(), QSize((10 * 10 + 23) * 14, 75));
    EXPECT_EQ(printed.items[9].bitmap.size(), QSize((10 * 6 + 23) * 14, 75));
    // Rotated by 180 degrees: the quiet zone that was on the left is now on the right.
    const QImage& code = printed.items[0].bitmap;
    EXPECT_EQ(qGray(code.pixel(code.width() - 1, 0)), 255);
    EXPECT_EQ(qGray(code.pixel(code.width() - 1 - 90, 0)), 0);

    const Printed at300 = Print(SampleRequest(), true, {300, 0, 0, 0, 0});
    EXPECT_EQ(at300.items[0].bitmap.size(), QSize(660, 225));  // scale 4.5 rounds to 4
    EXPECT_EQ(at300.items[0].width, 750);
}

TEST(MailerTest, ZipBarcodePositionsFollowTheZipLength) {
    struct Case { const char* zip; double z1; std::optional<double> z3; const char* extra; };
    const Case cases[] = {
        {"45402", 4.48, 1.08, "Addressed To"},
        {"45402-1234", 3.56, 0.15, "Addressed To"},
        {"45402-", 3.56, 1.08, "Addressed To"},   // the third barcode looks at the digits only
        {"45402-1234", 3.56, std::nullopt, "Your Name and Address"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.zip);
        MailerPrintRequest r = SampleRequest();
        r.recipientZip = c.zip;
        r.extraLabelAddress = c.extra;
        const Printed printed = Print(r, false, {600, 0, 0, 0, 0});
        std::vector<RecordedItem> bitmaps;
        for (const auto& i : printed.items)
            if (i.kind == RecordedItem::Kind::Bitmap) bitmaps.push_back(i);
        ASSERT_EQ(bitmaps.size(), c.z3 ? 3u : 2u);
        EXPECT_EQ(bitmaps[0].x, Dev(c.z1, 0, 600, 0));
        EXPECT_EQ(bitmaps[0].y, Dev(5.63, 0, 600, 0));
        EXPECT_EQ(bitmaps[1].x, Dev(4.48, 0, 600, 0));  // sender ZIP 62701
        EXPECT_EQ(bitmaps[1].y, Dev(3.83, 0, 600, 0));
        if (c.z3) {
            EXPECT_EQ(bitmaps[2].x, Dev(*c.z3, 0, 600, 0));
            EXPECT_EQ(bitmaps[2].bitmap, bitmaps[0].bitmap);
        }
    }
}

TEST(MailerTest, WithoutBarcodePrintingTheStoredNumberStillPrintsOnTheReceipt) {
    MailerPrintRequest r = SampleRequest();
    r.numberSource = "71000000000000000123";
    r.serial = "";
    const PrinterCase p{300, 10, 10, 2, 3};
    r.alignLeftRight = "2";
    r.alignUpDown = "3";
    const Printed printed = Print(r, false, p);
    EXPECT_EQ(printed.grouped, "7100 0000 0000 0000 0123");
    CheckAgainstTable(printed, ExpectedMailer(r, false), p);
    int code128 = 0, grouped = 0;
    for (const auto& i : printed.items) {
        code128 += i.kind == RecordedItem::Kind::Bitmap && i.width == 750;
        grouped += i.text == "7100 0000 0000 0000 0123";
    }
    EXPECT_EQ(code128, 0);
    EXPECT_EQ(grouped, 1);  // M35 alone
}

TEST(MailerTest, RestrictedNoPrintsNoMarkButKeepsTheFeeLine) {
    MailerPrintRequest r = SampleRequest();
    r.restricted = "N";
    r.restrictedFee = "";
    const PrinterCase p{600, 0, 0, 0, 0};
    const Printed printed = Print(r, true, p);
    CheckAgainstTable(printed, ExpectedMailer(r, true), p);
    for (const auto& i : printed.items) EXPECT_NE(i.text, "X");
    EXPECT_TRUE(std::any_of(printed.items.begin(), printed.items.end(),
                            [](const RecordedItem& i) { return i.text == "Restricted"; }));
}

TEST(MailerTest, ExtraLabelShowsTheChosenAddressOrNothing) {
    struct Case { const char* on; const char* address; int zipBarcodes; const char* firstLine; };
    const Case cases[] = {
        {"Yes", "Addressed To", 3, "JOS\xc3\xa9 M\xc3\xbcLLER"},  // a-z only are raised
        {"Yes", "Your Name and Address", 2, "ACME SUPPLY CO"},
        {"Yes", "addressed to", 2, "ACME SUPPLY CO"},  // anything else shows the sender
        {"No", "Addressed To", 2, nullptr},
        {"yes", "Addressed To", 2, nullptr},  // the comparison is exact
    };
    const PrinterCase p{600, 0, 0, 0, 0};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.on) + " / " + c.address);
        MailerPrintRequest r = SampleRequest();
        r.extraLabelOn = c.on;
        r.extraLabelAddress = c.address;
        const Printed printed = Print(r, true, p);
        CheckAgainstTable(printed, ExpectedMailer(r, true), p);
        int zips = 0;
        std::vector<QString> label;
        for (const auto& i : printed.items) {
            zips += i.kind == RecordedItem::Kind::Bitmap && i.height == 75;
            if (i.kind == RecordedItem::Kind::Text && i.x == Dev(2.8, 0, 600, 0)) label.push_back(i.text);
        }
        EXPECT_EQ(zips, c.zipBarcodes);
        if (c.firstLine) {
            ASSERT_EQ(label.size(), 5u);
            EXPECT_EQ(label[0], QString::fromUtf8(c.firstLine));
        } else {
            EXPECT_TRUE(label.empty());
        }
    }
}

TEST(MailerTest, ReceiptKeepsTextAsEnteredAndTheBodyRaisesAsciiOnly) {
    const Printed printed = Print(SampleRequest(), true, {600, 0, 0, 0, 0});
    auto at = [&](double x, double y) -> QString {
        for (const auto& i : printed.items)
            if (i.kind == RecordedItem::Kind::Text && i.x == Dev(x, 0, 600, 0) && i.y == Dev(y, 0, 600, 0))
                return i.text;
        return "<none>";
    };
    EXPECT_EQ(at(6.2, 6.6), QString::fromUtf8("JOS\xc3\xa9 M\xc3\xbcLLER"));
    EXPECT_EQ(at(1.45, 2.13), QString::fromUtf8("Jos\xc3\xa9 M\xc3\xbcller"));
    EXPECT_EQ(at(8.06, 3.8), "second notice");  // the comment is never raised
    EXPECT_EQ(at(6.2, 4.7), "12 MAIN ST");
}

TEST(MailerTest, FarNegativeAlignmentLosesTheBitmapsButNotTheText) {
    MailerPrintRequest r = SampleRequest();
    r.alignLeftRight = "-999";
    const Printed printed = Print(r, true, {300, 0, 0, -999, 0});
    int bitmaps = 0, texts = 0;
    for (const auto& i : printed.items) {
        bitmaps += i.kind == RecordedItem::Kind::Bitmap;
        texts += i.kind == RecordedItem::Kind::Text;
    }
    EXPECT_EQ(bitmaps, 0);  // every barcode starts left of 3.33 in, which is -2997 pixels
    EXPECT_GT(texts, 50);
}

TEST(RecipientLinesTest, TheCityLineGoesIntoTheFirstBlankLine) {
    struct Case { std::array<std::string, 4> lines; std::array<std::string, 5> out; };
    const Case cases[] = {
        {{"Ann Lee", "1 Elm St", "", ""}, {"Ann Lee", "1 Elm St", "Boise ID 83702", "", ""}},
        {{"Ann Lee", "c/o Bob", "1 Elm St", "Apt 2"}, {"Ann Lee", "c/o Bob", "1 Elm St", "Apt 2", "Boise ID 83702"}},
        {{"Ann Lee", "  ", "1 Elm St", ""}, {"Ann Lee", "Boise ID 83702", "1 Elm St", "", ""}},
        {{"", "", "", ""}, {"Boise ID 83702", "", "", "", ""}},
    };
    for (const Case& c : cases) EXPECT_EQ(RecipientLinesWithCity(c.lines, "  Boise ", " ID", "83702"), c.out);
    EXPECT_EQ(RecipientLinesWithCity({"A", "", "", ""}, "", "", "")[1], "  ");
}

TEST(TextHelpersTest, UpperAndTrim) {
    EXPECT_EQ(UpperAscii("abc xyz \xe9\xfc 123 ABC"), "ABC XYZ \xe9\xfc 123 ABC");
    EXPECT_EQ(Trim(" \t 2.40\r\n "), "2.40");
    EXPECT_EQ(Trim("   "), "");
    EXPECT_EQ(Trim("a b"), "a b");
}

}  // namespace
}  // namespace gs
