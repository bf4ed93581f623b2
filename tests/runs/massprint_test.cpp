// The mass-print loop without a window: a table of records walked in order,
// a recording printer, the numbers in a real settings file and the pieces in
// a real mail log.
#include "runs/massprint.h"

#include "dbase/dbferror.h"
#include "dbase/tzdbf.h"
#include "maillog/maillog.h"
#include "numbering/articlenumber.h"
#include "platform/datafolders.h"
#include "platform/inifile.h"
#include "runs/failingonpage.h"
#include "support/foldergoeswithpage.h"
#include "support/tempdir.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace gs {
namespace {

class FakeTable : public MassPrintRecords {
public:
    struct Record {
        std::string name;
        bool deleted = false;
        std::string zip = "45402";
    };
    std::vector<Record> records;
    std::size_t pos = 0;
    bool eof = false;

    bool First() override {
        pos = 0;
        eof = records.empty();
        return true;
    }
    bool Next() override {
        if (pos + 1 < records.size()) ++pos;
        else eof = true;
        return true;
    }
    bool Eof() const override { return eof; }
    bool IsDeleted() const override { return records[pos].deleted; }
    PrintedPiece CurrentPiece() override {
        PrintedPiece p;
        p.senderLines = {"ACME Corp", "1 Main St", "Springfield IL 62701", "", ""};
        p.recipientLines = {records[pos].name, "12 Oak Ave", "", ""};
        p.city = "Dayton";
        p.state = "OH";
        p.zip = records[pos].zip;
        p.total = "      4.64";
        return p;
    }
};

class MassPrintTest : public ::testing::Test {
protected:
    void SetUp() override {
        IniFile ini(dirs.SettingsFile());
        ini.LoadFromText("[Values]\nCustID=12-345-6789\nSerialNum=00000041\n");
        ASSERT_TRUE(ini.Save());
        numbers.Load(settings, dirs.Path() + "program/", {});
        job.mailLogPath = MailLogPath(settings, ProgramDataFolders());
        job.logLockWait = std::chrono::milliseconds(60);
        // Twelve records, the third and the eighth marked deleted.
        for (int i = 1; i <= 12; ++i) table.records.push_back({"Name " + std::to_string(i), i == 3 || i == 8});
    }

    std::vector<std::string> LoggedNames() const {
        std::vector<std::string> names;
        if (!QFile::exists(QString::fromStdString(job.mailLogPath))) return names;
        TTzDbf log;
        log.SetDbfFileName(job.mailLogPath);
        log.Open();
        for (log.GoTop(); !log.Eof(); log.Next()) names.push_back(log.FieldByName("sentname0").AsString());
        log.Close();
        return names;
    }
    std::string FileSerial() const {
        IniFile ini(dirs.SettingsFile());
        ini.Load();
        return ini.ReadString("Values", "SerialNum", "");
    }
    static std::vector<std::string> Names(std::initializer_list<int> numbers) {
        std::vector<std::string> out;
        for (int n : numbers) out.push_back("Name " + std::to_string(n));
        return out;
    }

    test::SandboxDirs dirs;
    Settings settings;
    SharedNumbers numbers{dirs.SettingsFile()};
    PieceJob job;
    FakeTable table;
    bool showMailerScreen = false;
};

TEST_F(MassPrintTest, PrintsAndLogsEveryRecordNotMarkedDeletedInTableOrder) {
    RecordingPrintTarget printer;
    job.target = &printer;
    int dialogs = 0;
    std::vector<std::string> progress;
    MassPrintSteps steps;
    // The dialog is shown again from the first piece on; ticking "Do not
    // show this screen again" lets the rest print without it.
    steps.confirmNumber = [&] {
        ++dialogs;
        showMailerScreen = false;
        return true;
    };
    steps.progress = [&](int piece, int pieces, const PrintedPiece& p) {
        progress.push_back(std::to_string(piece) + "/" + std::to_string(pieces) + " " + p.recipientLines[0]);
        return true;
    };
    int printedCalls = 0;
    job.printed = [&](const PieceOutcome&) { ++printedCalls; };

    const MassPrintOutcome out = MassPrint(table, 10, settings, numbers, showMailerScreen, job, steps);
    EXPECT_EQ(out.stop, MassPrintStop::Finished);
    EXPECT_EQ(out.printed, 10);
    EXPECT_EQ(printedCalls, 10);
    EXPECT_EQ(dialogs, 1);
    EXPECT_EQ(printer.pages.size(), 10u);
    const auto expected = Names({1, 2, 4, 5, 6, 7, 9, 10, 11, 12});
    EXPECT_EQ(LoggedNames(), expected);
    EXPECT_EQ(progress.front(), "1/10 Name 1");
    EXPECT_EQ(progress.back(), "10/10 Name 12");
    EXPECT_EQ(settings.SerialNum, "00000051");  // stepped ten times
    EXPECT_EQ(FileSerial(), "00000051");
    EXPECT_TRUE(table.Eof());
    EXPECT_EQ(table.pos, 11u);  // on the last record visited
}

TEST_F(MassPrintTest, AnEarlyEndKeepsThePiecesBeforeItPrintedLoggedAndNumbered) {
    struct Case {
        const char* name;
        int cancelDialogAt;    // the dialog of this piece is cancelled (0: always OK)
        int cancelProgressAt;  // progress says stop before this piece
        int failPage;
        MassPrintStop stop;
        std::vector<std::string> logged;
        std::string serial;
        std::size_t pos;  // the record the table is left on
    };
    const Case cases[] = {
        {"mailer dialog cancelled on the third", 3, 0, 0, MassPrintStop::DialogCancelled, Names({1, 2}), "00000043",
         3},
        {"Cancel pressed during the third", 0, 4, 0, MassPrintStop::Cancelled, Names({1, 2, 4}), "00000044", 4},
        // The failed piece is not logged; its number counts as used.
        {"printer fails on the third", 0, 0, 3, MassPrintStop::PrintFailed, Names({1, 2}), "00000044", 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        table.records.clear();
        SetUp();
        QFile::remove(QString::fromStdString(job.mailLogPath));
        test::FailingOnPage printer(c.failPage);
        job.target = &printer;
        int dialogs = 0;
        MassPrintSteps steps;
        steps.confirmNumber = [&] { return ++dialogs != c.cancelDialogAt; };
        steps.progress = [&](int piece, int, const PrintedPiece&) { return piece != c.cancelProgressAt; };
        const MassPrintOutcome out = MassPrint(table, 10, settings, numbers, showMailerScreen, job, steps);
        EXPECT_EQ(out.stop, c.stop);
        EXPECT_EQ(out.stop == MassPrintStop::PrintFailed, out.error == "The printer is out of paper.");
        EXPECT_EQ(LoggedNames(), c.logged);
        EXPECT_EQ(out.printed, static_cast<int>(c.logged.size()));
        EXPECT_EQ(settings.SerialNum, c.serial);
        EXPECT_EQ(FileSerial(), c.serial);
        EXPECT_EQ(table.pos, c.pos);
        EXPECT_FALSE(table.Eof());
    }
}

TEST_F(MassPrintTest, APrintedPieceTheLogCannotTakeEndsTheRunBeforeTheNextPrints) {
    // The table store's errors are thrown here instead of ending the program.
    const DbfFatalHandler previous = SetDbfFatalHandler([](int, const std::string&, const std::string&) {});
    const auto number = [](const char* serial) { return FormatArticleNumber(ComposeArticleNumber("123456789", serial)); };
    {
        SCOPED_TRACE("the log folder goes while the third piece prints");
        const QString folder = QString::fromStdString(job.mailLogPath).section('/', 0, -2);
        FolderGoesWithPage printer(3, folder);
        job.target = &printer;
        const MassPrintOutcome out = MassPrint(table, 10, settings, numbers, showMailerScreen, job, {});
        EXPECT_EQ(out.stop, MassPrintStop::NotLogged);
        EXPECT_FALSE(out.error.empty());
        EXPECT_EQ(out.printed, 3);
        EXPECT_EQ(printer.recording.pages.size(), 3u);
        EXPECT_EQ(out.notLogged, std::vector<std::string>({number("00000044")}));
        EXPECT_EQ(FileSerial(), "00000044");  // its number counts as used
        EXPECT_EQ(table.pos, 3u);             // on the record of the unlogged piece
        ASSERT_TRUE(QDir().mkpath(folder));
    }
    {
        SCOPED_TRACE("another copy keeps the log locked");
        RecordingPrintTarget printer;
        job.target = &printer;
        TTzDbf otherCopy;
        ConfigureMailLog(otherCopy, job.mailLogPath);
        otherCopy.Open();
        ASSERT_TRUE(otherCopy.ALock());
        const MassPrintOutcome out = MassPrint(table, 10, settings, numbers, showMailerScreen, job, {});
        otherCopy.UnLock();
        otherCopy.Close();
        EXPECT_EQ(out.stop, MassPrintStop::NotLogged);
        EXPECT_EQ(out.error, "");
        EXPECT_EQ(printer.pages.size(), 1u);
        EXPECT_EQ(out.notLogged, std::vector<std::string>({number("00000045")}));
        EXPECT_TRUE(LoggedNames().empty());
    }
    SetDbfFatalHandler(previous);
}

// With the IMpb: a record whose ZIP is not complete stops the run before
// its number is taken; the pieces before it carry consecutive IMpb serials.
TEST_F(MassPrintTest, ImpbStopsAtARecordWithoutACompleteZipUsingNoNumberForIt) {
    RecordingPrintTarget printer;
    job.target = &printer;
    MassPrintSteps steps;
    settings.ArticleFormat = "IMpb";
    settings.IMpbServiceType = "071";
    settings.IMpbMailerId = "901234567";
    settings.IMpbSerial = "0000041";
    table.records[3].zip = "454";
    bool show = false;
    const MassPrintOutcome out = MassPrint(table, 10, settings, numbers, show, job, steps);
    EXPECT_EQ(out.stop, MassPrintStop::Refused);
    EXPECT_EQ(out.refusal.refusal, PieceRefusal::RecipientZip);
    EXPECT_EQ(out.printed, 2);
    EXPECT_EQ(settings.IMpbSerial, "0000043");
    EXPECT_EQ(settings.SerialNum, "00000041");
    EXPECT_EQ(LoggedNames().size(), 2u);
}

TEST_F(MassPrintTest, NothingPrintsWithoutACustomerIdAZipBarcodeOrARecordToPrint) {
    RecordingPrintTarget printer;
    job.target = &printer;
    MassPrintSteps steps;
    steps.confirmNumber = [] { return true; };

    settings.CustID = "00-000-0000";
    MassPrintOutcome out = MassPrint(table, 10, settings, numbers, showMailerScreen, job, steps);
    EXPECT_EQ(out.stop, MassPrintStop::CustomerIdMissing);
    EXPECT_EQ(settings.SerialNum, "00000041");  // the number is given back

    // The Intelligent Mail barcode chosen without its IDs: refused before the
    // first piece, the number given back, instead of failing on the piece.
    settings.CustID = "12-345-6789";
    settings.ZipBarCode = "IMB";
    out = MassPrint(table, 10, settings, numbers, showMailerScreen, job, steps);
    EXPECT_EQ(out.stop, MassPrintStop::ZipBarcodeProblem);
    EXPECT_FALSE(out.error.empty());
    EXPECT_TRUE(printer.pages.empty());
    EXPECT_EQ(settings.SerialNum, "00000041");
    // Checked after the mailer-number dialog, where the IDs are entered.
    table.records.resize(2);
    steps.confirmNumber = [&] {
        settings.IMbBarcodeId = "00";
        settings.IMbServiceType = "270";
        settings.IMbMailerId = "123456";
        settings.IMbSerial = "000000001";
        return true;
    };
    out = MassPrint(table, 2, settings, numbers, showMailerScreen, job, steps);
    EXPECT_EQ(out.stop, MassPrintStop::Finished) << out.error;
    EXPECT_EQ(printer.pages.size(), 2u);
    printer.pages.clear();
    settings.ZipBarCode = "POSTNET";
    settings.CustID = "00-000-0000";
    steps.confirmNumber = [] { return true; };

    // Pre-printed forms need no customer ID.
    settings.PrintBarCode = false;
    table.records.resize(1);
    out = MassPrint(table, 1, settings, numbers, showMailerScreen, job, steps);
    EXPECT_EQ(out.stop, MassPrintStop::Finished);
    EXPECT_EQ(printer.pages.size(), 1u);

    // Every record marked deleted: nothing prints, no dialog.
    table.records = {{"Gone", true}, {"Gone too", true}};
    steps.confirmNumber = [] {
        ADD_FAILURE() << "no dialog without a piece";
        return true;
    };
    out = MassPrint(table, 0, settings, numbers, showMailerScreen, job, steps);
    EXPECT_EQ(out.stop, MassPrintStop::Finished);
    EXPECT_EQ(out.printed, 0);
    EXPECT_EQ(printer.pages.size(), 1u);
}

}  // namespace
}  // namespace gs
