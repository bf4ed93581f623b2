#include "printing/mailer.h"
#include "printing/paintercanvas.h"
#include "printing/printtarget.h"

#include "platform/scripteduserinteraction.h"
#include "support/tempdir.h"

#include <QDir>
#include <QFile>
#include <QPrinter>
#include <QPrinterInfo>
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
    EXPECT_EQ(&CurrentPrintTarget(), &SystemPrinter());
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

TEST(PrintTargetTest, AnUnwritablePdfFileIsAPrintError) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName("/nonexistent-folder/sub/out.pdf");
    PrinterTarget target(printer);
    EXPECT_THROW(PrintMailer(target, Request(), true, DefaultBaseFont()), PrintError);
}

TEST(PrintTargetTest, PdfPrinterReportsItsGeometry) {
    test::TempDir dir;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setResolution(600);
    printer.setPageSize(QPageSize(QPageSize::Letter));
    printer.setPageMargins(QMarginsF(0.25, 0.5, 0.25, 0.5), QPageLayout::Inch);
    const DeviceMetrics m = MetricsOfPrinter(printer);
    EXPECT_EQ(m.resolutionX, 600);
    EXPECT_EQ(m.resolutionY, 600);
    EXPECT_EQ(m.physicalOffsetX, 150);
    EXPECT_EQ(m.physicalOffsetY, 300);
    EXPECT_EQ(m.printableWidth, 8 * 600 * 1 + 300 - 300);
    EXPECT_EQ(m.printableHeight, 11 * 600 - 600);

    printer.setOutputFileName(QString::fromStdString(dir.File("mailer.pdf")));
    PrinterTarget target(printer);
    EXPECT_EQ(PrintMailer(target, Request(), true, DefaultBaseFont()).size(), 24u);
    EXPECT_EQ(Head(QString::fromStdString(dir.File("mailer.pdf"))), "%PDF-");
}

TEST(PrintTargetTest, WithoutAPrinterEveryJobBecomesAPdfAndTheUserIsToldOnce) {
    if (!QPrinterInfo::availablePrinters().isEmpty()) GTEST_SKIP() << "this machine has a printer";
    test::SandboxDirs dirs;
    ScopedScriptedUi scripted;
    SystemPrintTarget system;
    PrintMailer(system, Request(), true, DefaultBaseFont());
    PrintMailer(system, Request(), false, DefaultBaseFont());
    const QDir printed(QString::fromStdString(dirs.Path() + "program/Printed"));
    const QStringList files = printed.entryList({"*.pdf"}, QDir::Files);
    ASSERT_EQ(files.size(), 2);
    for (const QString& f : files) EXPECT_EQ(Head(printed.filePath(f)), "%PDF-");
    ASSERT_EQ(scripted.ui.asked.size(), 1u);
    EXPECT_EQ(scripted.ui.asked[0].kind, "message");
    EXPECT_TRUE(scripted.ui.asked[0].text.contains(printed.path()));
}

TEST(PrintTargetTest, PrinterSetupChoosingAFileNumbersLaterJobs) {
    test::TempDir dir;
    ScopedScriptedUi scripted;
    scripted.ui.printerSetupAnswers.push_back(true);
    SystemPrintTarget system;
    system.Printer().setOutputFormat(QPrinter::PdfFormat);
    system.Printer().setOutputFileName(QString::fromStdString(dir.File("chosen.pdf")));
    ASSERT_TRUE(system.Setup(nullptr));
    PrintMailer(system, Request(), true, DefaultBaseFont());
    PrintMailer(system, Request(), true, DefaultBaseFont());
    EXPECT_EQ(Head(QString::fromStdString(dir.File("chosen.pdf"))), "%PDF-");
    EXPECT_EQ(Head(QString::fromStdString(dir.File("chosen-2.pdf"))), "%PDF-");
    EXPECT_EQ(scripted.ui.Trail(), QStringList{"printer"});
}

}  // namespace
}  // namespace gs
