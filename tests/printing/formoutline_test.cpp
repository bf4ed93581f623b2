#include "printing/formoutline.h"

#include "printing/mailer.h"
#include "printing/recordingcanvas.h"

#include <gtest/gtest.h>

namespace gs {
namespace {

// What a recorded item inks on the sheet, in inches (600 dpi, no physical
// offset): a bitmap's dark pixels (its quiet zones are white); text at 180
// degrees lies left of and above its point, at 270 degrees left of it and
// down from it.
QRectF Extent(const RecordedItem& item, RecordingCanvas& canvas) {
    const double in = 600.0;
    if (item.kind != RecordedItem::Kind::Text) {
        const QImage gray = item.bitmap.convertToFormat(QImage::Format_Grayscale8);
        QRect dark;
        for (int y = 0; y < gray.height(); ++y)
            for (int x = 0; x < gray.width(); ++x)
                if (gray.constScanLine(y)[x] < 128) dark |= QRect(x, y, 1, 1);
        const double sx = static_cast<double>(item.width) / gray.width();
        const double sy = static_cast<double>(item.height) / gray.height();
        return QRectF((item.x + dark.x() * sx) / in, (item.y + dark.y() * sy) / in, dark.width() * sx / in,
                      dark.height() * sy / in);
    }
    canvas.SetFont(item.font);
    const double width = canvas.TextWidth(item.text) / in;
    const double height = -item.font.height / in;
    const double x = item.x / in, y = item.y / in;
    if (item.font.escapement == 2700) return QRectF(x - height, y, height, width);
    return QRectF(x - width, y - height, width, height);
}

TEST(FormOutline, EveryPrintedItemLandsInOneOfTheBoxes) {
    MailerPrintRequest r;
    r.senderLines = {"ACME SUPPLY COMPANY OF OHIO", "1200 NORTH MAIN STREET", "SUITE 400", "SPRINGFIELD IL 62701", ""};
    r.senderZip = "62701-1234";
    r.recipientLines = {"JOHN Q SMITH AND ASSOCIATES", "12 OAK AVENUE", "DAYTON OH 45402-1234", "", ""};
    r.recipientZip = "45402-1234";
    r.re = "ACCOUNT 7 OF THE LEASE OF";
    r.comment = "SECOND NOTICE OF THE LEASE";
    r.restricted = "Y";
    r.numberSource = "123456789";
    r.serial = "00000042";
    r.postage = "0.39", r.certifiedFee = "2.40", r.returnReceiptFee = "1.85", r.restrictedFee = "3.50";
    r.total = "8.14";
    r.imbTracking = {"00", "040", "123456", "000000001"};
    for (const bool imb : {false, true}) {
        SCOPED_TRACE(imb ? "IMb" : "POSTNET");
        r.imbZipBarcode = imb;
        RecordingCanvas canvas;
        DrawMailer(canvas, r, true, DefaultBaseFont());
        ASSERT_GT(canvas.items.size(), 60u);
        for (const RecordedItem& item : canvas.items) {
            if (item.kind == RecordedItem::Kind::Text && item.text.trimmed().isEmpty()) continue;
            const QRectF extent = Extent(item, canvas);
            bool inside = false;
            for (const FormBox& box : MailerFormOutline())
                inside = inside || box.inches.adjusted(-0.02, -0.02, 0.02, 0.02).contains(extent);
            EXPECT_TRUE(inside) << item.text.toStdString() << " at " << extent.x() << ", " << extent.y() << " "
                                << extent.width() << " x " << extent.height();
        }
    }
    for (const FormBox& box : MailerFormOutline()) EXPECT_TRUE(MailerSheetInches().contains(box.inches)) << box.name.toStdString();
}

TEST(FormOutline, RegionsAreABoxWithRoomOrTheWholeSheet) {
    const QRectF box = MailerFormOutline().front().inches;
    EXPECT_TRUE(MailerFormRegion(MailerFormOutline().front().name).contains(box));
    EXPECT_GT(MailerFormRegion(MailerFormOutline().front().name).width(), box.width());
    EXPECT_EQ(MailerFormRegion("Whole Form"), MailerSheetInches());
}

}  // namespace
}  // namespace gs
