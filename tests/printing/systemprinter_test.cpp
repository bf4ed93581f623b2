#include "printing/mailer.h"
#include "printing/paintercanvas.h"
#include "printing/printtarget.h"
#include "printing/systemprinter.h"
#include "printing/printcommands.h"
#include "printing/registration.h"

#include "platform/scripteduserinteraction.h"
#include "support/pdftools.h"
#include "support/tempdir.h"
#include "settings/settings.h"

#include <QDir>
#include <QFile>
#include <QPrinter>
#include <QPrinterInfo>
#include <gtest/gtest.h>

namespace gs {
namespace {

const std::string kForm = std::string(GREENSLIP_DATA_DIR) + "bcapp.emf";

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

TEST(SystemPrinterTest, AnUnwritablePdfFileIsAPrintError) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName("/nonexistent-folder/sub/out.pdf");
    PrinterTarget target(printer);
    EXPECT_THROW(PrintMailer(target, Request(), true, DefaultBaseFont()), PrintError);
}

TEST(SystemPrinterTest, IsTheDefaultTargetOnceInUse) {
    SystemPrintTarget& system = SystemPrinter();
    EXPECT_EQ(&CurrentPrintTarget(), &system);
}

TEST(SystemPrinterTest, PdfPrinterReportsItsGeometry) {
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

TEST(SystemPrinterTest, WithoutAPrinterEveryJobBecomesAPdfAndTheUserIsToldOnce) {
    if (!QPrinterInfo::availablePrinters().isEmpty()) GTEST_SKIP() << "this machine has a printer";
    test::SandboxDirs dirs;
    ScopedScriptedUi scripted;
    SystemPrintTarget system;
    PrintMailer(system, Request(), true, DefaultBaseFont());
    PrintMailer(system, Request(), false, DefaultBaseFont());
    const QDir printed(QString::fromStdString(dirs.Path() + "program/Printed"));
    const QStringList files = printed.entryList({"*.pdf"}, QDir::Files);
    ASSERT_EQ(files.size(), 2);
    for (const QString& f : files) {
        EXPECT_EQ(Head(printed.filePath(f)), "%PDF-");
        if (test::PopplerToolsPresent()) {
            EXPECT_EQ(test::PdfPageSize(printed.filePath(f)), QSizeF(612, 792));
        }
    }
    ASSERT_EQ(scripted.ui.asked.size(), 1u);
    EXPECT_EQ(scripted.ui.asked[0].kind, "note");
    EXPECT_TRUE(scripted.ui.asked[0].text.contains(printed.path()));
}

TEST(SystemPrinterTest, DoNotShowThisAgainUnderTheNoPrinterNoteIsKept) {
    if (!QPrinterInfo::availablePrinters().isEmpty()) GTEST_SKIP() << "this machine has a printer";
    test::SandboxDirs dirs;
    ScopedScriptedUi scripted;
    bool hidden = false;
    {
        // Left unticked: the next run tells again.
        SystemPrintTarget run;
        run.SetNoPrinterNoteChoice(&hidden);
        PrintMailer(run, Request(), true, DefaultBaseFont());
        EXPECT_FALSE(hidden);
    }
    scripted.ui.dontShowAgainAnswers = {true};
    {
        SystemPrintTarget run;
        run.SetNoPrinterNoteChoice(&hidden);
        PrintMailer(run, Request(), true, DefaultBaseFont());
        EXPECT_TRUE(hidden);
    }
    {
        // Ticked: the runs after it print without a word.
        SystemPrintTarget run;
        run.SetNoPrinterNoteChoice(&hidden);
        PrintMailer(run, Request(), true, DefaultBaseFont());
    }
    EXPECT_EQ(scripted.ui.Trail(), QStringList({"note", "note"}));
}

TEST(SystemPrinterTest, PrinterSetupChoosingAFileNumbersLaterJobs) {
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

TEST(RegistrationFormTest, FailuresAreSilent) {
    test::SandboxDirs dirs;  // an empty program folder: no bcapp.emf
    ScopedScriptedUi scripted;
    RecordingPrintTarget recording;
    SetPrintTargetForTesting(&recording);
    PrintRegistrationForm();
    EXPECT_TRUE(recording.pages.empty());

    QFile junk(QString::fromStdString(dirs.Path() + "program/bcapp.emf"));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write("not a metafile");
    junk.close();
    PrintRegistrationForm();
    EXPECT_TRUE(recording.pages.empty());

    QFile::remove(junk.fileName());
    QFile::copy(QString::fromStdString(kForm), junk.fileName());
    FailingPrintTarget failing;
    SetPrintTargetForTesting(&failing);
    PrintRegistrationForm();
    SetPrintTargetForTesting(nullptr);

    EXPECT_TRUE(scripted.ui.asked.empty());
    EXPECT_EQ(scripted.ui.waitDepth, 0);
    EXPECT_EQ(scripted.ui.waitCount, 3);
}

TEST(SystemPrinterTest, PaperChosenInTheSetupIsKeptAndAskedForByLaterJobs) {
    if (!test::PopplerToolsPresent()) GTEST_SKIP() << "poppler-utils are not installed";
    test::TempDir dir;
    ScopedScriptedUi scripted;
    Settings settings;
    SystemPrintTarget& system = SystemPrinter();
    system.Printer().setOutputFormat(QPrinter::PdfFormat);
    system.Printer().setOutputFileName(QString::fromStdString(dir.File("a4.pdf")));
    scripted.ui.printerSetupChanges.push_back([](QPrinter& p) { p.setPageSize(QPageSize(QPageSize::A4)); });
    scripted.ui.printerSetupAnswers.push_back(true);
    PrinterSetupCommand(settings, nullptr);
    EXPECT_EQ(settings.PaperSize, "A4");
    // A dialog that turned the page or left another size behind does not win over the choice.
    system.Printer().setPageOrientation(QPageLayout::Landscape);
    PrintMailer(system, Request(), true, DefaultBaseFont());
    EXPECT_EQ(test::PdfPageSize(QString::fromStdString(dir.File("a4.pdf"))).toSize(), QSize(595, 842));

    // Another job's printer (a report's) starts from the program's printer.
    QPrinter report(QPrinter::HighResolution);
    ApplyProgramPageSetup(report);
    EXPECT_EQ(report.pageLayout().pageSize().id(), QPageSize::A4);
    EXPECT_EQ(report.pageLayout().orientation(), QPageLayout::Portrait);
    EXPECT_EQ(report.outputFormat(), QPrinter::PdfFormat);

    system.SetPaper("Letter");
    scripted.ui.printerSetupAnswers.push_back(false);  // cancelled: the settings keep their paper
    PrinterSetupCommand(settings, nullptr);
    EXPECT_EQ(settings.PaperSize, "A4");
    system.SetPaper("Letter");
}

}  // namespace
}  // namespace gs
