// The form with the 22-digit IMpb number: GS1-128 symbols of AI 420 with
// the recipient's ZIP and the 22 digits, read back by zbarimg and measured.
#include "printing/mailer.h"

#include "barcode/decoders.h"
#include "numbering/articlenumber.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace gs {
namespace {

const std::string kNumber = "9207190123456700000017";

MailerPrintRequest ImpbRequest(const std::string& zip) {
    MailerPrintRequest r;
    r.senderLines = {"Acme Supply Co", "12 Main St", "Springfield IL 62701", "", ""};
    r.senderZip = "62701";
    r.recipientLines = {"Ann Lee", "400 Oak Ave", "Dayton OH " + zip, "", ""};
    r.recipientZip = zip;
    r.numberSource = "123456789";
    r.serial = "00000042";
    r.impbNumber = kNumber;
    return r;
}

// What zbarimg reads from a bitmap turned back by 180 degrees, with a white
// margin round it; "" when it reads nothing.
std::string Zbar(const QImage& drawn) {
    QImage page(drawn.width() + 200, drawn.height() + 200, QImage::Format_Grayscale8);
    page.fill(255);
    const QImage upright = drawn.mirrored(true, true);
    for (int y = 0; y < upright.height(); ++y)
        std::copy_n(upright.constScanLine(y), upright.width(), page.scanLine(y + 100) + 100);
    QTemporaryDir dir;
    const QString file = dir.filePath("symbol.png");
    if (!page.save(file)) return {};
    QProcess zbar;
    zbar.start("zbarimg", {"--quiet", "--raw", file});
    zbar.waitForFinished(30000);
    return zbar.readAllStandardOutput().trimmed().toStdString();
}

TEST(MailerImpbTest, BothSymbolsCarryTheZipAndTheNumberAndTheTallOneHasThePostalSize) {
    if (QProcess::execute("zbarimg", {"--version"}) != 0) GTEST_SKIP() << "zbarimg is not installed";
    for (const int res : {300, 600}) {
        for (const std::string zip : {"45402-1234", "45402"}) {
            SCOPED_TRACE(::testing::Message() << res << " dpi, ZIP " << zip);
            RecordingPrintTarget target({res, res, 0, 0, 8 * res, 10 * res});
            const std::string grouped = PrintMailer(target, ImpbRequest(zip), true, DefaultBaseFont());
            EXPECT_EQ(grouped, "9207 1901 2345 6700 0000 17");
            ASSERT_EQ(target.pages.size(), 1u);
            std::vector<RecordedItem> bitmaps;
            int copies = 0;
            for (const RecordedItem& i : target.pages[0].items) {
                if (i.kind == RecordedItem::Kind::Bitmap) bitmaps.push_back(i);
                if (i.kind == RecordedItem::Kind::Text && i.text == QString::fromStdString(grouped)) ++copies;
            }
            EXPECT_EQ(copies, 7);  // six in the barcode block, one on the receipt
            ASSERT_GE(bitmaps.size(), 2u);
            std::string digits;
            for (char c : zip)
                if (c != '-') digits += c;
            for (int i = 0; i < 2; ++i) {
                SCOPED_TRACE(i == 0 ? "tall" : "short");
                const RecordedItem& item = bitmaps[static_cast<std::size_t>(i)];
                EXPECT_EQ(QSize(item.width, item.height), item.bitmap.size());  // not stretched
                // zbar gives GS1-128 as its element string, FNC1 as GS.
                EXPECT_EQ(Zbar(item.bitmap), "420" + digits + "\x1d" + kNumber);
                std::string error;
                const auto reading = testing::ReadCode128(item.bitmap.mirrored(true, true), item.height / 2, &error);
                ASSERT_TRUE(reading) << error;
                EXPECT_EQ(reading->text, "420" + digits + "\x1d" + kNumber);
                EXPECT_GE(reading->leftQuietModules, 10);
                EXPECT_GE(reading->rightQuietModules, 10);
                if (i == 0) {
                    const double x = static_cast<double>(reading->moduleWidth) / res;
                    EXPECT_GE(x, 0.013);
                    EXPECT_LE(x, 0.021);
                    EXPECT_GE(item.height, 0.75 * res);
                    // Left of the sender's block, on the sheet.
                    EXPECT_GE(item.x, 0);
                    EXPECT_LE(item.x + item.width, static_cast<int>(3.6 * res));
                } else {
                    EXPECT_LE(item.width, static_cast<int>(2.65 * res));
                }
            }
        }
    }
}

TEST(MailerImpbTest, IncompleteRecipientZipPrintsNothing) {
    RecordingPrintTarget target({300, 300, 0, 0, 2400, 3000});
    EXPECT_THROW(PrintMailer(target, ImpbRequest("4540"), true, DefaultBaseFont()), PrintError);
    EXPECT_TRUE(target.pages.empty() || target.pages[0].items.empty());
}

}  // namespace
}  // namespace gs

namespace gs {
namespace {

// The grouped 22-digit number is three characters longer than the 20-digit
// one: each copy is set smaller and keeps to the place the form has for the
// number, never running nearer the sheet's edge.
TEST(MailerImpbTest, EveryCopyOfTheNumberKeepsToItsPlace) {
    struct Extent {
        int from, to;
    };
    const auto copies = [](const MailerPrintRequest& request, const std::string& grouped) {
        RecordingPrintTarget target;
        PrintMailer(target, request, true, DefaultBaseFont());
        std::vector<Extent> out;
        for (const RecordedItem& i : target.pages.at(0).items) {
            if (i.kind != RecordedItem::Kind::Text || i.text != QString::fromStdString(grouped) ||
                i.font.face != "OCR A Extended")
                continue;
            const int width = static_cast<int>(i.text.size()) * (std::abs(i.font.height) / 2);
            // Turned half round the text runs leftwards; a quarter, downwards.
            out.push_back(i.font.escapement == 1800 ? Extent{i.x - width, i.x} : Extent{i.y, i.y + width});
        }
        return out;
    };
    MailerPrintRequest twenty = ImpbRequest("45402");
    twenty.impbNumber.clear();
    const std::vector<Extent> places =
        copies(twenty, FormatArticleNumber(ComposeArticleNumber(twenty.numberSource, twenty.serial)));
    const std::vector<Extent> impb = copies(ImpbRequest("45402"), FormatArticleNumber(kNumber));
    ASSERT_EQ(places.size(), 5u);
    ASSERT_EQ(impb.size(), places.size());
    for (std::size_t i = 0; i < places.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_GE(impb[i].from, places[i].from);
        EXPECT_LE(impb[i].to, places[i].to);
    }
}

// A printer that cannot reach the sheet's edge still prints the whole tall
// symbol: the clear zone it cannot reach is left off, and a wider margin
// moves the bars right.
TEST(MailerImpbTest, TallSymbolSurvivesAPrinterMargin) {
    for (const double margin : {0.1, 0.3}) {
        SCOPED_TRACE(margin);
        const int res = 300;
        const int offset = static_cast<int>(margin * res);
        RecordingPrintTarget target({res, res, offset, offset, 8 * res, 10 * res});
        PrintMailer(target, ImpbRequest("45402"), true, DefaultBaseFont());
        ASSERT_EQ(target.pages.size(), 1u);
        const RecordedItem* tall = nullptr;
        for (const RecordedItem& i : target.pages[0].items)
            if (i.kind == RecordedItem::Kind::Bitmap && !tall) tall = &i;
        ASSERT_NE(tall, nullptr);
        EXPECT_EQ(tall->x, 0);
        EXPECT_GE(tall->height, 225);
        // The unprinted margin is blank paper: the symbol read with it.
        QImage withMargin(tall->bitmap.width() + offset, tall->bitmap.height(), QImage::Format_Grayscale8);
        withMargin.fill(255);
        const QImage upright = tall->bitmap.mirrored(true, true);
        for (int y = 0; y < upright.height(); ++y)
            std::copy_n(upright.constScanLine(y), upright.width(), withMargin.scanLine(y));
        std::string error;
        const auto reading = testing::ReadCode128(withMargin, tall->height / 2, &error);
        ASSERT_TRUE(reading) << error;
        EXPECT_EQ(reading->text, "42045402\x1d" + kNumber);
        EXPECT_GE(reading->leftQuietModules, 10);
    }
}

}  // namespace
}  // namespace gs
