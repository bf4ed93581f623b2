#include "printing/mailer.h"
#include "printing/paintercanvas.h"
#include "printing/printtarget.h"

#include "support/pdftools.h"
#include "support/tempdir.h"

#include <QFile>
#include <gtest/gtest.h>

namespace gs {
namespace {

MailerPrintRequest Request() {
    MailerPrintRequest r;
    r.senderLines = {"Acme Supply Co", "12 Main St", "Springfield IL 62701", "", ""};
    r.senderZip = "62701";
    r.recipientLines = {"Ann Lee", "1 Elm St", "Boise ID 83702", "", ""};
    r.recipientZip = "83702";
    r.numberSource = "123456789";
    r.serial = "00000001";
    r.total = "4.64";
    return r;
}

QByteArray Head(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.read(5) : QByteArray();
}

TEST(PrintTargetTest, ProcessTargetCanBeReplacedAndEveryMailerIsItsOwnPage) {
    RecordingPrintTarget recording;
    SetPrintTargetForTesting(&recording);
    const std::string first = PrintMailer(Request(), true, DefaultBaseFont(), nullptr);
    MailerPrintRequest second = Request();
    second.serial = "00000002";
    PrintMailer(second, true, DefaultBaseFont(), nullptr);
    SetPrintTargetForTesting(nullptr);
    ASSERT_EQ(recording.pages.size(), 2u);
    EXPECT_EQ(first.size(), 24u);
    EXPECT_NE(recording.pages[0].items[2].text, recording.pages[1].items[2].text);
    // With no printer installed as the default, a job fails instead of vanishing.
    EXPECT_THROW(PrintMailer(Request(), true, DefaultBaseFont(), nullptr), PrintError);
}

TEST(PrintTargetTest, AFailingPrinterReachesTheCallerAsPrintError) {
    FailingPrintTarget failing("Printer out of paper");
    SetPrintTargetForTesting(&failing);
    try {
        PrintMailer(Request(), true, DefaultBaseFont(), nullptr);
        ADD_FAILURE() << "no exception";
    } catch (const PrintError& e) {
        EXPECT_STREQ(e.what(), "Printer out of paper");
    }
    SetPrintTargetForTesting(nullptr);
}

TEST(PrintTargetTest, PdfPagesAreLetterWithLosslessOneBitBarcodes) {
    if (!test::PopplerToolsPresent()) GTEST_SKIP() << "poppler-utils are not installed";
    test::TempDir dir;
    int jobs = 0;
    PdfFileTarget target([&](const QString&) { return QString::fromStdString(dir.File("job" + std::to_string(++jobs) + ".pdf")); });
    PrintMailer(target, Request(), true, DefaultBaseFont());
    const QString file = QString::fromStdString(dir.File("job1.pdf"));
    EXPECT_EQ(target.LastFile(), file);
    EXPECT_EQ(Head(file), "%PDF-");
    EXPECT_EQ(test::PdfPageSize(file), QSizeF(612, 792));

    // Two Code 128 and three POSTNET barcodes, each a 1-bit image without
    // lossy compression; the stored pixels are pure black and white.
    const auto images = test::PdfImages(file);
    ASSERT_EQ(images.size(), 5u);
    for (const auto& image : images) {
        EXPECT_EQ(image.bitsPerComponent, 1);
        EXPECT_NE(image.encoding, "jpeg");
    }
    for (const QImage& image : test::ExtractPdfImages(file)) {
        const QImage gray = image.convertToFormat(QImage::Format_Grayscale8);
        for (int y = 0; y < gray.height(); ++y)
            for (int x = 0; x < gray.width(); ++x) {
                const int v = gray.constScanLine(y)[x];
                ASSERT_TRUE(v == 0 || v == 255) << v;
            }
    }
}

TEST(PrintTargetTest, OnlyTwoColouredBitmapsBecomeOneBit) {
    QImage bitmap(10, 3, QImage::Format_Grayscale8);
    bitmap.fill(255);
    bitmap.setPixel(2, 1, qRgb(0, 0, 0));
    const QImage mono = DeviceBitmap(bitmap);
    EXPECT_EQ(mono.format(), QImage::Format_Mono);
    EXPECT_EQ(mono.convertToFormat(QImage::Format_Grayscale8), bitmap);
    bitmap.setPixel(3, 1, qRgb(128, 128, 128));
    EXPECT_EQ(DeviceBitmap(bitmap), bitmap);
}

// A job cut short (here: while its page is being drawn, as when the process
// is killed) leaves nothing under the piece's name; the name appears only
// with the complete file, and a file that took the name meanwhile stays.
TEST(PrintTargetTest, APdfTakesItsNameOnlyWhenComplete) {
    test::TempDir dir;
    const QString file = QString::fromStdString(dir.File("71123456789000000017.pdf"));
    const QString part = PartFileName(file);
    EXPECT_EQ(part, QString::fromStdString(dir.File(".71123456789000000017.pdf.part")));
    PdfFileTarget target([&](const QString&) { return file; });
    bool drawn = false;
    target.PrintPage("Certified Mailer", [&](PrintCanvas&) {
        // Mid-write: the file being written is the hidden one.
        EXPECT_TRUE(QFile::exists(part));
        EXPECT_FALSE(QFile::exists(file));
        drawn = true;
    });
    EXPECT_TRUE(drawn);
    EXPECT_EQ(Head(file), "%PDF-");
    EXPECT_FALSE(QFile::exists(part));

    // The job fails part-way: no file under either name.
    const QString second = QString::fromStdString(dir.File("71123456789000000024.pdf"));
    PdfFileTarget failing([&](const QString&) { return second; });
    EXPECT_THROW(failing.PrintPage("Certified Mailer", [](PrintCanvas&) { throw PrintError("cut short"); }),
                 PrintError);
    EXPECT_FALSE(QFile::exists(second));
    EXPECT_FALSE(QFile::exists(PartFileName(second)));

    // Another program takes the name while the page is written: its file stays.
    PdfFileTarget raced([&](const QString&) { return second; });
    EXPECT_THROW(raced.PrintPage("Certified Mailer",
                                 [&](PrintCanvas&) {
                                     QFile other(second);
                                     ASSERT_TRUE(other.open(QIODevice::WriteOnly));
                                     other.write("theirs");
                                 }),
                 PrintError);
    QFile kept(second);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), "theirs");
    EXPECT_FALSE(QFile::exists(PartFileName(second)));
}

TEST(PrintTargetTest, AnUnwritablePdfFileIsAPrintError) {
    PdfFileTarget target([](const QString&) { return QStringLiteral("/nonexistent-folder/sub/out.pdf"); });
    EXPECT_THROW(PrintMailer(target, Request(), true, DefaultBaseFont()), PrintError);
    EXPECT_TRUE(target.LastFile().isEmpty());
}

}  // namespace
}  // namespace gs
