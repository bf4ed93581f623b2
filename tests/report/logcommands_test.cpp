// The Report menu's commands with scripted answers: reports to the preview
// and the printer, and every path of Clear.
#include "report/logcommands.h"

#include "maillog/logclear.h"
#include "platform/scripteduserinteraction.h"
#include "report/logfixture.h"
#include "report/reportpreview.h"
#include "report/reportstatus.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QPrinter>
#include <QPushButton>
#include <QSpinBox>
#include <QRegularExpression>
#include <QTimer>
#include <QToolButton>

#include <fstream>

namespace gs {
namespace {

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

int PdfPages(const std::string& path) {
    const std::string pdf = ReadAll(path);
    int pages = 0;
    for (std::size_t at = pdf.find("/Type /Page"); at != std::string::npos; at = pdf.find("/Type /Page", at + 1))
        if (pdf.compare(at, 12, "/Type /Pages") != 0) ++pages;
    return pages;
}

class LogCommandTest : public test::LogFixture {
protected:
    LogReportSetup Setup(LogOrder order = LogOrder::PrintingOrder) {
        LogReportSetup s;
        s.logFile = logFile;
        s.projectFile = GREENSLIP_DATA_DIR "Gslip3.rpt";
        s.order = order;
        return s;
    }
    // The log is closed: it can be had exclusively.
    void ExpectLogClosed() {
        TTzDbf t;
        t.CreateIfNotFound = false;
        t.SetExclusive(true);
        t.SetDbfFileName(logFile);
        t.Open();
        EXPECT_EQ(fatalCode, 0) << fatalDetail;
        t.Close();
    }
    // Prints to a PDF file in the test folder from the Output Options window.
    std::string AnswerPrintToPdf() {
        const std::string pdf = dirs.File("report.pdf");
        scripted.ui.printDialogAnswers.push_back([pdf](QPrinter& printer) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(QString::fromStdString(pdf));
            return true;
        });
        return pdf;
    }
    std::size_t LogSize() { return std::filesystem::file_size(logFile); }

    ScopedScriptedUi scripted;
};

TEST_F(LogCommandTest, AnEmptyLogIsReportedAndNothingElseHappens) {
    for (auto destination : {ReportDestination::Preview, ReportDestination::Printer})
        for (auto report : {LogReport::FullDetail, LogReport::ShortDetail, LogReport::FirmMailingBook})
            RunLogReport(nullptr, Setup(LogOrder::Name), destination, report);
    ClearLogCommand(nullptr, logFile, "");
    ASSERT_EQ(scripted.ui.asked.size(), 7u);
    for (std::size_t i = 0; i < 7; ++i) {
        EXPECT_EQ(scripted.ui.asked[i].kind, "message");
        EXPECT_EQ(scripted.ui.asked[i].icon, QMessageBox::Critical);
        EXPECT_EQ(scripted.ui.asked[i].text, i < 6 ? "Report is empty." : "Report is already empty.");
    }
    // No index was built for the empty log, and it is closed again.
    EXPECT_FALSE(std::filesystem::exists(dirs.Path() + "program/Reports/name.mdx"));
    ExpectLogClosed();
}

TEST_F(LogCommandTest, AMissingProjectFileNamesItsPathAndTheLogIsClosed) {
    WriteLog(test::FourPieces());
    LogReportSetup setup = Setup();
    setup.projectFile = dirs.Path() + "program/Gslip3.rpt";
    try {
        RunLogReport(nullptr, setup, ReportDestination::Preview, LogReport::FullDetail);
        FAIL() << "no error";
    } catch (const ReportError& e) {
        EXPECT_NE(std::string(e.what()).find("\"" + setup.projectFile + "\""), std::string::npos) << e.what();
    }
    ExpectLogClosed();
    EXPECT_TRUE(scripted.ui.asked.empty());

    // A project without the report: no output, no message.
    QFile project(QString::fromStdString(setup.projectFile));
    ASSERT_TRUE(project.open(QIODevice::WriteOnly));
    project.write("font Body face=Arial size=8\n");
    project.close();
    RunLogReport(nullptr, setup, ReportDestination::Printer, LogReport::ShortDetail);
    EXPECT_TRUE(scripted.ui.asked.empty());
    ExpectLogClosed();
}

TEST_F(LogCommandTest, TheProjectFileIsReadAfreshAtEveryRun) {
    WriteLog(test::FourPieces());
    LogReportSetup setup = Setup();
    setup.projectFile = dirs.Path() + "program/Gslip3.rpt";
    auto writeProject = [&](const char* detailHeight) {
        QFile project(QString::fromStdString(setup.projectFile));
        ASSERT_TRUE(project.open(QIODevice::WriteOnly | QIODevice::Truncate));
        project.write(QByteArray("font Body face=Arial size=8\n"
                                 "report ShortDetail connection=ReportConnection1\n"
                                 "  band Detail height=") + detailHeight + "\n"
                                 "    text x=0 w=2 \"{field:mailernum}\"\n"
                                 "end\n");
    };
    std::vector<int> pages;
    auto answer = [&](QDialog& d) { pages.push_back(static_cast<ReportPreviewWindow&>(d).PageCount()); };
    writeProject("4");  // two pieces a page
    scripted.ui.dialogAnswers.push_back(answer);
    RunLogReport(nullptr, setup, ReportDestination::Preview, LogReport::ShortDetail);
    writeProject("1");
    scripted.ui.dialogAnswers.push_back(answer);
    RunLogReport(nullptr, setup, ReportDestination::Preview, LogReport::ShortDetail);
    EXPECT_EQ(pages, std::vector<int>({2, 1}));
}

TEST_F(LogCommandTest, PreviewOpensMaximisedAtFullSizeAndPages) {
    std::vector<test::LoggedPiece> pieces;
    for (int i = 0; i < 25; ++i) pieces.push_back(test::FourPieces()[i % 4]);
    WriteLog(pieces);
    bool answered = false;
    scripted.ui.dialogAnswers.push_back([&](QDialog& dialog) {
        answered = true;
        auto* preview = qobject_cast<ReportPreviewWindow*>(&dialog);
        ASSERT_NE(preview, nullptr);
        EXPECT_EQ(preview->windowTitle(), "Report Preview");
        EXPECT_TRUE(preview->windowState() & Qt::WindowMaximized);
        EXPECT_EQ(preview->ZoomPercent(), 100);
        EXPECT_EQ(preview->cbZoom->currentText(), "100 %");
        // 100 %: the sheet at the screen's own size, 11 in wide in landscape.
        EXPECT_NEAR(preview->PageImage().width(), 11 * preview->logicalDpiX(), 2);
        ASSERT_GE(preview->PageCount(), 2);
        EXPECT_EQ(preview->lblPageCount->text(), QString("of %1").arg(preview->PageCount()));
        EXPECT_EQ(preview->Page(), 1);
        EXPECT_FALSE(preview->btnPrior->isEnabled());
        preview->btnNext->click();
        EXPECT_EQ(preview->Page(), 2);
        EXPECT_EQ(preview->spinPage->value(), 2);
        preview->btnLast->click();
        EXPECT_EQ(preview->Page(), preview->PageCount());
        EXPECT_FALSE(preview->btnNext->isEnabled());
        preview->spinPage->setValue(1);
        EXPECT_EQ(preview->Page(), 1);
        const int width = preview->PageImage().width();
        preview->btnZoomIn->click();
        EXPECT_EQ(preview->ZoomPercent(), 150);
        EXPECT_NEAR(preview->PageImage().width(), width * 1.5, 2);
        // A drawn page is not blank.
        const QImage image = preview->PageImage();
        int dark = 0;
        for (int y = 0; y < image.height(); y += 3)
            for (int x = 0; x < image.width(); x += 3) dark += qGray(image.pixel(x, y)) < 128;
        EXPECT_GT(dark, 100);
        preview->btnClose->click();
    });
    // The report takes the program printer's paper, in its own orientation.
    LogReportSetup setup = Setup();
    setup.preparePrinter = [](QPrinter& printer) { printer.setPageSize(QPageSize(QPageSize::Letter)); };
    RunLogReport(nullptr, setup, ReportDestination::Preview, LogReport::FullDetail);
    EXPECT_TRUE(answered);
    EXPECT_EQ(scripted.ui.Trail(), QStringList({"dialog:gs::ReportPreviewWindow"}));
    ExpectLogClosed();
}

TEST_F(LogCommandTest, PrintingAsksForOutputOptionsAndSendsEveryPageAsOneJob) {
    std::vector<test::LoggedPiece> pieces;
    for (int i = 0; i < 70; ++i) pieces.push_back(test::FourPieces()[i % 4]);
    WriteLog(pieces);
    const std::string pdf = AnswerPrintToPdf();
    RunLogReport(nullptr, Setup(LogOrder::Date), ReportDestination::Printer, LogReport::ShortDetail);
    ASSERT_EQ(scripted.ui.Trail(), QStringList({"print"}));
    EXPECT_EQ(scripted.ui.asked[0].title, "Output Options");
    const int pages = scripted.ui.asked[0].text.toInt();  // the page count offered to the dialog
    EXPECT_GE(pages, 2);
    EXPECT_EQ(PdfPages(pdf), pages);
    ExpectLogClosed();

    // A page range starts as the whole report; the pages chosen are the
    // pages printed.
    std::filesystem::remove(pdf);
    std::pair<int, int> offered;
    scripted.ui.printDialogAnswers.push_back([&](QPrinter& printer) {
        offered = {printer.fromPage(), printer.toPage()};
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(pdf));
        printer.setPrintRange(QPrinter::PageRange);
        printer.setFromTo(2, 2);
        return true;
    });
    RunLogReport(nullptr, Setup(LogOrder::Date), ReportDestination::Printer, LogReport::ShortDetail);
    EXPECT_EQ(offered, std::make_pair(1, pages));
    EXPECT_EQ(PdfPages(pdf), 1);

    // Cancelled in Output Options: nothing printed.
    std::filesystem::remove(pdf);
    RunLogReport(nullptr, Setup(), ReportDestination::Printer, LogReport::FullDetail);
    EXPECT_FALSE(std::filesystem::exists(pdf));
    ExpectLogClosed();
}

TEST_F(LogCommandTest, StatusCancelStopsBeforeTheNextPage) {
    std::vector<test::LoggedPiece> pieces;
    for (int i = 0; i < 100; ++i) pieces.push_back(test::FourPieces()[i % 4]);
    WriteLog(pieces);
    const std::string pdf = AnswerPrintToPdf();
    QString shown;
    // Runs at the first look at the window's events, while page 1 prints.
    QTimer::singleShot(0, [&] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* status = qobject_cast<ReportStatusWindow*>(w)) {
                shown = status->windowTitle() + ": " + status->lblStatus->text();
                EXPECT_TRUE(status->isVisible());
                status->btnCancel->click();
            }
    });
    RunLogReport(nullptr, Setup(), ReportDestination::Printer, LogReport::ShortDetail);
    // The page count is known before the first page prints.
    EXPECT_TRUE(QRegularExpression("^Report Status: Printing page 1 of [2-9]$").match(shown).hasMatch())
        << shown.toStdString();
    EXPECT_EQ(PdfPages(pdf), 1);
}

TEST_F(LogCommandTest, PrintingFromThePreviewAsksForOutputOptions) {
    WriteLog(test::FourPieces());
    const std::string pdf = dirs.File("from-preview.pdf");
    scripted.ui.printDialogAnswers.push_back([pdf](QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(pdf));
        return true;
    });
    scripted.ui.dialogAnswers.push_back([](QDialog& dialog) {
        static_cast<ReportPreviewWindow&>(dialog).btnPrint->click();
        dialog.accept();
    });
    RunLogReport(nullptr, Setup(), ReportDestination::Preview, LogReport::FirmMailingBook);
    EXPECT_EQ(scripted.ui.Trail(), QStringList({"dialog:gs::ReportPreviewWindow", "print"}));
    EXPECT_EQ(PdfPages(pdf), 1);
    // The job's title, which the PDF keeps as its title in UTF-16.
    std::string title;
    for (char c : std::string("Greenslip Report")) title += std::string(1, '\0') + c;
    EXPECT_NE(ReadAll(pdf).find("/Title (\xfe\xff" + title + ")"), std::string::npos);
}

TEST_F(LogCommandTest, WithoutAPrinterEachReportGetsANewFileAndAFileChosenIsNotReplacedUnasked) {
    WriteLog(test::FourPieces());
    LogReportSetup setup = Setup();
    // Nowhere to print but a file, as when no printer is installed.
    setup.preparePrinter = [](QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName({});
    };
    QStringList proposed;
    for (int i = 0; i < 2; ++i) {
        scripted.ui.printDialogAnswers.push_back([&](QPrinter& printer) {
            proposed << printer.outputFileName();
            return true;  // the user accepts what Output Options proposes
        });
        RunLogReport(nullptr, setup, ReportDestination::Printer, LogReport::FullDetail);
    }
    ASSERT_EQ(proposed.size(), 2);
    EXPECT_NE(proposed[0], proposed[1]);
    ASSERT_EQ(scripted.ui.Trail(), QStringList({"print", "message", "print", "message"}));
    for (int i = 0; i < 2; ++i) {
        const QString& file = proposed[i];
        EXPECT_TRUE(file.startsWith(QString::fromStdString(dirs.Path()) + "program/Printed/FullDetail_"))
            << file.toStdString();
        EXPECT_TRUE(file.endsWith(".pdf"));
        EXPECT_EQ(PdfPages(file.toStdString()), 1);  // both reports are kept
        // Said after the job, where it went.
        EXPECT_TRUE(scripted.ui.asked[2 * i + 1].text.contains("\"" + file + "\"")) << file.toStdString();
    }

    // A file the user picks that is there already: asked first; No keeps it.
    const std::string mine = dirs.File("mine.pdf");
    for (const auto answer : {QMessageBox::No, QMessageBox::Yes}) {
        {
            std::ofstream(mine) << "keep me";
        }
        scripted.ui.asked.clear();
        scripted.ui.messageAnswers = {answer};
        scripted.ui.printDialogAnswers.push_back([&](QPrinter& printer) {
            printer.setOutputFileName(QString::fromStdString(mine));
            return true;
        });
        RunLogReport(nullptr, setup, ReportDestination::Printer, LogReport::FullDetail);
        ASSERT_EQ(scripted.ui.Trail(), QStringList({"print", "message"}));
        EXPECT_TRUE(scripted.ui.asked[1].text.contains("already exists")) << scripted.ui.asked[1].text.toStdString();
        if (answer == QMessageBox::No) {
            EXPECT_EQ(ReadAll(mine), "keep me");
        } else {
            EXPECT_EQ(PdfPages(mine), 1);
        }
    }
    ExpectLogClosed();
}

// ---------------------------------------------------------------- Clear

TEST_F(LogCommandTest, ClearAnsweredNoEmptiesTheLogAndTheNextPieceIsItsFirst) {
    WriteLog(test::FourPieces());
    scripted.ui.messageAnswers = {QMessageBox::No};
    ClearLogCommand(nullptr, logFile, "");
    EXPECT_EQ(scripted.ui.Trail(), QStringList({"message"}));
    EXPECT_EQ(scripted.ui.asked[0].text, "Do you wish to save the data in the report?");
    EXPECT_EQ(scripted.ui.asked[0].icon, QMessageBox::Question);
    EXPECT_TRUE(Numbers(logFile).empty());
    EXPECT_EQ(LogSize(), 545u + 1);  // header and end marker
    ExpectLogClosed();

    MailLogEntry e;
    e.mailernum = "7112 3456 7890 0000 0999";
    ASSERT_EQ(AppendLogRecord(logFile, e), LogOutcome::Logged);
    EXPECT_EQ(Numbers(logFile), std::vector<std::string>({"7112 3456 7890 0000 0999"}));
}

TEST_F(LogCommandTest, ClearAnsweredYesCopiesTheLogThenEmptiesIt) {
    const std::vector<std::string> before = {"7112 3456 7890 0000 0300", "7112 3456 7890 0000 0100",
                                             "7112 3456 7890 0000 0200", "7112 3456 7890 0000 0400"};
    {
        // A new file: a byte-for-byte copy; a bare name gets the table
        // store's extension.
        WriteLog(test::FourPieces());
        const std::string logBytes = ReadAll(logFile);
        scripted.ui.messageAnswers = {QMessageBox::Yes};
        scripted.ui.fileAnswers = {QString::fromStdString(dirs.File("march"))};
        ClearLogCommand(nullptr, logFile, "/saved/here");
        EXPECT_EQ(scripted.ui.Trail(), QStringList({"message", "save"}));
        EXPECT_EQ(scripted.ui.asked[1].text, "/saved/here");
        // Choosing an existing table adds to it: no "replace it?" first.
        EXPECT_EQ(scripted.ui.asked[1].prompt, OverwritePrompt::DontAsk);
        // The log itself is not offered as the place to save it.
        EXPECT_EQ(scripted.ui.asked[1].hidden, QString::fromStdString(logFile));
        EXPECT_EQ(ReadAll(dirs.File("march.DBF")), logBytes);
        EXPECT_TRUE(Numbers(logFile).empty());
    }
    {
        // An existing table: the log's records are added to its own.
        WriteTable(dirs.File("saved.dbf"), {test::FourPieces()[0]});
        WriteLog(test::FourPieces());
        scripted.ui.messageAnswers = {QMessageBox::Yes};
        scripted.ui.fileAnswers = {QString::fromStdString(dirs.File("saved.dbf"))};
        ClearLogCommand(nullptr, logFile, "");
        std::vector<std::string> expected = {before[0]};
        expected.insert(expected.end(), before.begin(), before.end());
        EXPECT_EQ(Numbers(dirs.File("saved.dbf")), expected);
        EXPECT_TRUE(Numbers(logFile).empty());
    }
    ExpectLogClosed();
}

TEST_F(LogCommandTest, ClearKeepsTheLogWhenTheUserOrTheCopyDoesNotGoThrough) {
    WriteLog(test::FourPieces());
    const std::string logBytes = ReadAll(logFile);
    WriteTable(dirs.File("busy.dbf"), {});
    TTzDbf otherCopy;  // another running copy, appending to the chosen table
    otherCopy.SetDbfFileName(dirs.File("busy.dbf"));
    otherCopy.Open();
    ASSERT_TRUE(otherCopy.ALock());
    {
        // An address table: a memo of name lines, city, state and ZIP.
        TTzDbf addresses;
        addresses.DbfFields = {"address,M,10,0", "city,C,35,0", "state,C,2,0", "zip,C,10,0"};
        addresses.SetDbfFileName(dirs.File("clients.dbf"));
        addresses.Open();
        addresses.Close();
    }
    QFile notATable(QString::fromStdString(dirs.File("notes.dbf")));
    ASSERT_TRUE(notATable.open(QIODevice::WriteOnly));
    notATable.write("These are notes, not a table.\n");
    notATable.close();

    struct Case {
        const char* what;
        QMessageBox::StandardButton answer;
        QString file;           // the save dialog's answer
        QStringList trail;
        QString says;           // in the last message
    } cases[] = {
        {"Cancel", QMessageBox::Cancel, "", {"message"}, "Do you wish"},
        {"a cancelled save dialog", QMessageBox::Yes, "", {"message", "save"}, "Do you wish"},
        {"another copy appending", QMessageBox::Yes, QString::fromStdString(dirs.File("busy.dbf")),
         {"message", "save", "message"}, "another copy of"},
        {"a folder that is not there", QMessageBox::Yes, QString::fromStdString(dirs.File("none/copy.dbf")),
         {"message", "save", "message"}, "No such file or directory"},
        {"the log itself", QMessageBox::Yes, QString::fromStdString(logFile), {"message", "save", "message"},
         "Attempting to append file to itself"},
        {"a file that is no table", QMessageBox::Yes, QString::fromStdString(dirs.File("notes.dbf")),
         {"message", "save", "message"}, "is not a dBASE database"},
        // Only city, state and ZIP would be kept of every piece.
        {"an address table", QMessageBox::Yes, QString::fromStdString(dirs.File("clients.dbf")),
         {"message", "save", "message"},
         "does not have these fields of the mail log: SENTNAME0 (C), SENTNAME1 (C), SENTNAME2 (C), SENTNAME3 (C), "
         "RDATE (D), MAILERNUM (C), POSTAGE (C), CERTIFIED (C), RESTRICTED (C), RETURN (C), TOTAL (C), "
         "COMMENTS (C), RE (C)."},
    };
    for (const Case& c : cases) {
        scripted.ui.asked.clear();
        scripted.ui.messageAnswers = {c.answer};
        if (!c.file.isEmpty()) scripted.ui.fileAnswers = {c.file};
        ClearLogCommand(nullptr, logFile, "");
        EXPECT_EQ(scripted.ui.Trail(), c.trail) << c.what;
        QString last;
        for (const auto& a : scripted.ui.asked)
            if (a.kind == "message") last = a.text;
        EXPECT_TRUE(last.contains(c.says)) << c.what << ": " << last.toStdString();
        if (c.trail.size() == 3) {
            EXPECT_TRUE(last.startsWith("The mail log was not cleared")) << last.toStdString();
        }
        EXPECT_EQ(ReadAll(logFile), logBytes) << c.what;
        EXPECT_EQ(fatalCode, 0) << c.what << ": " << fatalDetail;  // nothing ended the program
    }
    EXPECT_FALSE(std::filesystem::exists(dirs.File("none")));
    EXPECT_EQ(Numbers(dirs.File("busy.dbf")).size(), 0u);
    {
        TTzDbf addresses;
        addresses.CreateIfNotFound = false;
        addresses.SetDbfFileName(dirs.File("clients.dbf"));
        addresses.Open();
        EXPECT_EQ(addresses.RecCount(), 0u);  // nothing was added to it
        addresses.Close();
    }
    otherCopy.Close();
    ExpectLogClosed();
}

TEST_F(LogCommandTest, ClearDeletesNothingWhileAnotherCopyHasTheLogOpen) {
    WriteLog(test::FourPieces());
    const std::string logBytes = ReadAll(logFile);
    WriteTable(dirs.File("saved.dbf"), {});
    TTzDbf otherCopy;
    ConfigureMailLog(otherCopy, logFile);
    otherCopy.Open();
    // No; and Yes with a table to add to, which must not get the pieces
    // before the log can be emptied (they would be added again next time).
    for (const auto answer : {QMessageBox::No, QMessageBox::Yes}) {
        scripted.ui.messageAnswers = {answer};
        scripted.ui.fileAnswers = {QString::fromStdString(dirs.File("saved.dbf"))};
        EXPECT_THROW(ClearLogCommand(nullptr, logFile, ""), DbfError);
        EXPECT_EQ(fatalCode, 32);  // "File sharing violation", reported by the table store
        EXPECT_EQ(ReadAll(logFile), logBytes);
        fatalCode = 0;
    }
    EXPECT_TRUE(Numbers(dirs.File("saved.dbf")).empty());
    otherCopy.Close();
    ExpectLogClosed();
}

}  // namespace
}  // namespace gs
