// The form with the Intelligent Mail barcode chosen for its ZIP codes.
#include "printing/mailer.h"

#include "barcode/decoders.h"
#include "barcode/imb.h"

#include <gtest/gtest.h>
#include <cmath>

namespace gs {
namespace {

const ImbTrackingFields kTracking{"00", "040", "123456", "000000042"};

MailerPrintRequest ImbRequest() {
    MailerPrintRequest r;
    r.senderLines = {"Acme Supply Co", "12 Main St", "Springfield IL 62701", "", ""};
    r.senderZip = "62701";
    r.recipientLines = {"Ann Lee", "400 Oak Ave", "Dayton OH 45402-1234", "", ""};
    r.recipientZip = "45402-1234";
    r.numberSource = "123456789";
    r.serial = "00000042";
    r.imbZipBarcode = true;
    r.imbTracking = kTracking;
    return r;
}

std::vector<RecordedItem> Bitmaps(const MailerPrintRequest& r, int res, bool barcodes = false) {
    RecordingPrintTarget target({res, res, 0, 0, 8 * res, 10 * res});
    PrintMailer(target, r, barcodes, DefaultBaseFont());
    std::vector<RecordedItem> out;
    if (target.pages.size() != 1) return out;
    for (const RecordedItem& i : target.pages[0].items)
        if (i.kind == RecordedItem::Kind::Bitmap) out.push_back(i);
    return out;
}

int Dev(double inches, int res) { return static_cast<int>(std::trunc(inches * res)); }

// Each symbol read back from the page carries the tracking code and its
// ZIP's routing code; bars, pitch, heights and clear zones are within the
// postal service's ranges at both resolutions.
TEST(MailerImbTest, ZipBarcodesCarryTheirZipsWithinThePostalDimensions) {
    for (const int res : {300, 600}) {
        SCOPED_TRACE(::testing::Message() << res << " dpi");
        const auto bitmaps = Bitmaps(ImbRequest(), res);
        ASSERT_EQ(bitmaps.size(), 3u);
        // Each symbol its own tracking code: the recipient's serial, then
        // the two below it.
        struct Place { double x, y; const char* serial; const char* routing; };
        const Place places[] = {{3.24, 5.63, "000000042", "454021234"},
                                {3.24, 3.83, "000000041", "62701"},
                                {0.15, 5.63, "000000040", "454021234"}};
        for (std::size_t i = 0; i < 3; ++i) {
            SCOPED_TRACE(i);
            const RecordedItem& item = bitmaps[i];
            EXPECT_EQ(item.x, Dev(places[i].x, res));
            EXPECT_EQ(item.y, Dev(places[i].y, res));
            EXPECT_EQ(QSize(item.width, item.height), item.bitmap.size());  // drawn at its own size
            // Drawn turned by 180 degrees; turned back it reads left to right.
            std::string error;
            const auto reading = testing::ReadFourState(item.bitmap.mirrored(true, true), &error);
            ASSERT_TRUE(reading) << error;
            EXPECT_EQ(reading->states, ImbBarStates(std::string("00040123456") + places[i].serial + places[i].routing));
            const double in = res;
            EXPECT_NEAR(reading->barWidth / in, 0.020, 0.005);
            EXPECT_GE(in / reading->pitch, 20.0);
            EXPECT_LE(in / reading->pitch, 24.0);
            EXPECT_NEAR(reading->fullHeight / in, 0.145, 0.020);
            EXPECT_NEAR(reading->ascenderHeight / in, 0.09675, 0.01425);
            EXPECT_NEAR(reading->descenderHeight / in, 0.09675, 0.01425);
            EXPECT_NEAR(reading->trackerHeight / in, 0.048, 0.009);
            EXPECT_GE(reading->leftQuiet / in, 0.125);
            EXPECT_GE(reading->rightQuiet / in, 0.125);
            const double length = (64.0 * reading->pitch + reading->barWidth) / in;
            EXPECT_GE(length, 2.667);
            EXPECT_LE(length, 3.225);
        }
        // The extra label's symbol is drawn last and opaquely: its bitmap
        // must end before the recipient's first bar.
        const auto recipient = testing::ReadFourState(bitmaps[0].bitmap);
        ASSERT_TRUE(recipient);
        EXPECT_LE(bitmaps[2].x + bitmaps[2].width, bitmaps[0].x + recipient->leftQuiet);
    }
}

TEST(MailerImbTest, OnlyTheAddressedToExtraLabelGetsASymbolAndAPartZipHasNoRouting) {
    MailerPrintRequest r = ImbRequest();
    r.extraLabelAddress = "Your Name and Address";
    EXPECT_EQ(Bitmaps(r, 600).size(), 2u);
    r.extraLabelOn = "No";
    EXPECT_EQ(Bitmaps(r, 600).size(), 2u);

    r = ImbRequest();
    r.recipientZip = "4540";  // a ZIP typed in part: the symbol carries the tracking code alone
    const auto bitmaps = Bitmaps(r, 600);
    ASSERT_EQ(bitmaps.size(), 3u);
    const auto reading = testing::ReadFourState(bitmaps[0].bitmap.mirrored(true, true));
    ASSERT_TRUE(reading);
    EXPECT_EQ(reading->states, ImbBarStates(ImbTrackingCode(kTracking)));
}

TEST(MailerImbTest, TheArticleNumberBarcodesStayAsTheyAre) {
    const auto withImb = Bitmaps(ImbRequest(), 600, true);
    MailerPrintRequest postnet = ImbRequest();
    postnet.imbZipBarcode = false;
    const auto withPostnet = Bitmaps(postnet, 600, true);
    ASSERT_EQ(withImb.size(), 5u);
    ASSERT_EQ(withPostnet.size(), 5u);
    for (std::size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(withImb[i].bitmap, withPostnet[i].bitmap);
        EXPECT_EQ(QRect(withImb[i].x, withImb[i].y, withImb[i].width, withImb[i].height),
                  QRect(withPostnet[i].x, withPostnet[i].y, withPostnet[i].width, withPostnet[i].height));
    }
    EXPECT_NE(withImb[2].bitmap.size(), withPostnet[2].bitmap.size());
}

TEST(MailerImbTest, TrackingFieldsThatMakeNoCodeFailThePage) {
    MailerPrintRequest r = ImbRequest();
    r.imbTracking.mailerId = "12345";
    RecordingPrintTarget target;
    try {
        PrintMailer(target, r, true, DefaultBaseFont());
        FAIL() << "printed";
    } catch (const PrintError& e) {
        EXPECT_NE(std::string(e.what()).find("Mailer ID"), std::string::npos) << e.what();
    }
    EXPECT_TRUE(target.pages.empty());
}

}  // namespace
}  // namespace gs
