// The road of one piece without a window: plain data in, a page on a
// recording printer, the numbers in the settings file, a record in a real log.
#include "piece/printedpiece.h"

#include "barcode/decoders.h"
#include "barcode/imb.h"
#include "dbase/tzdbf.h"
#include "maillog/maillog.h"
#include "numbering/articlenumber.h"
#include "platform/datafolders.h"
#include "platform/inifile.h"
#include "piece/piecestart.h"
#include "support/tempdir.h"

#include <QFile>
#include <gtest/gtest.h>
#include <set>

namespace gs {
namespace {

class PrintedPieceTest : public ::testing::Test {
protected:
    void SetUp() override {
        IniFile ini(dirs.SettingsFile());
        ini.LoadFromText("[Values]\nCustID=12-345-6789\nSerialNum=00000041\n");
        ASSERT_TRUE(ini.Save());
        numbers.Load(settings, dirs.Path() + "program/", {});
        job.target = &printer;
        job.mailLogPath = MailLogPath(settings, ProgramDataFolders());
        job.logLockWait = std::chrono::milliseconds(60);
    }

    static PrintedPiece Piece() {
        PrintedPiece p;
        p.senderLines = {"ACME Corp", "1 Main St", "Springfield IL 62701", "", ""};
        p.recipientLines = {"  John Smith", "12 Oak Ave", "", ""};
        p.city = "Dayton ";
        p.state = "OH";
        p.zip = "45402-1234";
        p.re = "Account 7 of the lease of 2019";  // 30 characters
        p.comment = "second notice";
        p.postage = std::string(10, ' ') + "0.39";
        p.certifiedFee = std::string(10, ' ') + "2.40";
        p.returnReceiptFee = std::string(10, ' ') + "1.85";
        p.total = std::string(10, ' ') + "4.64";
        return p;
    }

    bool PageShows(const std::string& text) const {
        for (const auto& item : printer.pages.back().items)
            if (item.text == QString::fromStdString(text)) return true;
        return false;
    }
    int LogRecords() const {
        if (!QFile::exists(QString::fromStdString(job.mailLogPath))) return 0;
        TTzDbf log;
        log.SetDbfFileName(job.mailLogPath);
        log.Open();
        const int n = log.RecCount();
        log.Close();
        return n;
    }
    std::string FileSerial() const {
        IniFile ini(dirs.SettingsFile());
        ini.Load();
        return ini.ReadString("Values", "SerialNum", "");
    }

    test::SandboxDirs dirs;
    Settings settings;
    SharedNumbers numbers{dirs.SettingsFile()};
    RecordingPrintTarget printer;
    PieceJob job;
};

TEST_F(PrintedPieceTest, PrintsTheSuppliedRecipientSavesTheNumberAndLogsThePiece) {
    const NumberReservation r = TakeNextNumber(settings, numbers);
    EXPECT_EQ(FileSerial(), "00000042");  // reserved before anything is printed
    int recordsWhenPrinted = -1;
    job.printed = [&](const PieceOutcome& o) {
        EXPECT_EQ(o.result, PieceResult::Logged);
        recordsWhenPrinted = LogRecords();
    };
    const PieceOutcome out = PrintAndLogPiece(Piece(), settings, numbers, r, job);

    const std::string number = FormatArticleNumber(ComposeArticleNumber("123456789", "00000042"));
    EXPECT_EQ(out.result, PieceResult::Logged);
    EXPECT_EQ(out.number, number);
    EXPECT_TRUE(out.numbersSaved);
    ASSERT_EQ(printer.pages.size(), 1u);
    EXPECT_TRUE(PageShows(number));
    EXPECT_TRUE(PageShows("DAYTON OH 45402-1234"));           // the city line fills the first blank line
    EXPECT_TRUE(PageShows("RE: Account 7 of the lease of"));  // the first 25 characters
    EXPECT_EQ(recordsWhenPrinted, 0);                        // told before the log was opened
    EXPECT_EQ(LogRecords(), 1);

    TTzDbf log;
    log.SetDbfFileName(job.mailLogPath);
    log.Open();
    log.GoTop();
    EXPECT_EQ(log.GetFieldText("sentname0"), "  John Smith" + std::string(18, ' '));
    EXPECT_EQ(log.GetFieldText("sentname2"), std::string(30, ' '));  // the log keeps the box as entered
    EXPECT_EQ(log.GetFieldText("city"), "Dayton" + std::string(29, ' '));
    EXPECT_EQ(log.GetFieldText("re"), "Account 7 of the lease of");
    EXPECT_EQ(log.GetFieldText("mailernum"), number + " ");
    log.Close();
}

// Every Intelligent Mail barcode printed is its own: the recipient's,
// the sender's and the extra label's symbols of one form, and those of the
// next form, all carry different tracking codes; the settings keep the
// recipient's serial.
TEST_F(PrintedPieceTest, EveryIntelligentMailBarcodeCarriesItsOwnTrackingCode) {
    settings.ZipBarCode = "IMB";
    settings.IMbServiceType = "040";
    settings.IMbMailerId = "123456";
    settings.IMbSerial = "000000001";
    settings.Zip = "62701";
    std::set<std::string> symbols;
    for (const char* recipientSerial : {"000000004", "000000007"}) {
        const NumberReservation r = TakeNextNumber(settings, numbers);
        EXPECT_EQ(settings.IMbSerial, recipientSerial);
        EXPECT_EQ(PrintAndLogPiece(Piece(), settings, numbers, r, job).result, PieceResult::Logged);
        std::vector<std::string> read;
        for (const auto& item : printer.pages.back().items) {
            if (item.kind != RecordedItem::Kind::Bitmap) continue;
            if (const auto reading = testing::ReadFourState(item.bitmap.mirrored(true, true)))
                read.push_back(reading->states);
        }
        ASSERT_EQ(read.size(), 3u);
        const std::string tracking = "00040123456";
        EXPECT_EQ(read[0], ImbBarStates(tracking + recipientSerial + "454021234"));
        EXPECT_EQ(read[1], ImbBarStates(ImbTrackingCode(ImbTrackingStepped(ImbTrackingOf(settings), -1)) + "62701"));
        EXPECT_EQ(read[2], ImbBarStates(ImbTrackingCode(ImbTrackingStepped(ImbTrackingOf(settings), -2)) + "454021234"));
        symbols.insert(read.begin(), read.end());
        IniFile ini(dirs.SettingsFile());
        ini.Load();
        EXPECT_EQ(ini.ReadString("Values", "IMbSerial", ""), recipientSerial);
    }
    EXPECT_EQ(symbols.size(), 6u);
    EXPECT_EQ(LogRecords(), 2);
}

TEST_F(PrintedPieceTest, AFailedPrintUsesTheNumberAndLogsNothing) {
    FailingPrintTarget failing("The printer is out of paper.");
    job.target = &failing;
    bool told = false;
    job.printed = [&](const PieceOutcome&) { told = true; };
    const NumberReservation r = TakeNextNumber(settings, numbers);
    const PieceOutcome out = PrintAndLogPiece(Piece(), settings, numbers, r, job);
    EXPECT_EQ(out.result, PieceResult::PrintFailed);
    EXPECT_EQ(out.error, "The printer is out of paper.");
    EXPECT_EQ(out.number, FormatArticleNumber(ComposeArticleNumber("123456789", "00000042")));
    EXPECT_FALSE(told);
    EXPECT_EQ(LogRecords(), 0);
    EXPECT_EQ(FileSerial(), "00000042");
    EXPECT_EQ(TakeNextNumber(settings, numbers).reserved.SerialNum, "00000043");
}

TEST_F(PrintedPieceTest, AnAppendLockHeldElsewhereLeavesThePiecePrintedButNotLogged) {
    PrintAndLogPiece(Piece(), settings, numbers, TakeNextNumber(settings, numbers), job);  // creates the log
    TTzDbf other;
    other.SetDbfFileName(job.mailLogPath);
    other.Open();
    ASSERT_TRUE(other.ALock());
    const PieceOutcome out = PrintAndLogPiece(Piece(), settings, numbers, TakeNextNumber(settings, numbers), job);
    other.UnLock();
    other.Close();
    EXPECT_EQ(out.result, PieceResult::LogLockBusy);
    EXPECT_EQ(printer.pages.size(), 2u);
    EXPECT_EQ(LogRecords(), 1);
}

TEST_F(PrintedPieceTest, PrePrintedModePrintsTheStoredNumberAndRefusesNoCustomerIdOnlyInBarcodeMode) {
    settings.CustID = "00-000-0000";
    EXPECT_TRUE(CustomerIdMissing(settings));
    settings.PrintBarCode = false;
    settings.MailerNum = "70031234567000000123";
    EXPECT_FALSE(CustomerIdMissing(settings));
    EXPECT_EQ(PlainNumberOf(settings), "70031234567000000123");
    const NumberReservation r = TakeNextNumber(settings, numbers);
    EXPECT_EQ(settings.MailerNum, "71031234567000000135");
    EXPECT_EQ(PrintAndLogPiece(Piece(), settings, numbers, r, job).number, "7103 1234 5670 0000 0135");
}

}  // namespace
}  // namespace gs

namespace gs {
namespace {

class ImpbPieceTest : public PrintedPieceTest {
protected:
    void SetUp() override {
        IniFile ini(dirs.SettingsFile());
        ini.LoadFromText("[Values]\nArticleFormat=IMpb\nIMpbChannel=92\nIMpbServiceType=071\n"
                         "IMpbMailerId=901234567\nIMpbSerial=9999998\n");
        ASSERT_TRUE(ini.Save());
        numbers.Load(settings, dirs.Path() + "program/", {});
        other.Load(otherSettings, dirs.Path() + "program/", {});
        job.target = &printer;
        job.mailLogPath = MailLogPath(settings, ProgramDataFolders());
        job.logLockWait = std::chrono::milliseconds(60);
    }
    Settings otherSettings;
    SharedNumbers other{dirs.SettingsFile()};
};

// Two copies on one settings file, taking turns: every piece its own
// number, the serial wrapping within its seven digits; the log holds the
// 22 digits without spaces; a piece refused before it starts takes none.
TEST_F(ImpbPieceTest, TwoCopiesNeverPrintTheSameNumberAndARefusedPieceUsesNone) {
    std::vector<std::string> logged;
    for (int i = 0; i < 4; ++i) {
        Settings& s = i % 2 ? otherSettings : settings;
        SharedNumbers& n = i % 2 ? other : numbers;
        ASSERT_TRUE(MayPieceStart(s, Piece().zip).MayStart());
        const NumberReservation r = TakeNextNumber(s, n);
        const PieceOutcome out = PrintAndLogPiece(Piece(), s, n, r, job);
        ASSERT_EQ(out.result, PieceResult::Logged);
        logged.push_back(out.number);
    }
    EXPECT_EQ(logged, (std::vector<std::string>{"9207 1901 2345 6799 9999 95", "9207 1901 2345 6700 0000 00",
                                                "9207 1901 2345 6700 0000 17", "9207 1901 2345 6700 0000 24"}));

    TTzDbf log;
    log.SetDbfFileName(job.mailLogPath);
    log.Open();
    log.GoTop();
    EXPECT_EQ(log.GetFieldText("mailernum"), "9207190123456799999995   ");  // 25 characters
    log.Close();

    // No ZIP+4 digits, no number taken.
    PrintedPiece noZip = Piece();
    noZip.zip = "4540";
    const PieceStartAnswer answer = MayPieceStart(settings, noZip.zip);
    EXPECT_EQ(answer.refusal, PieceRefusal::RecipientZip);
    EXPECT_NE(answer.detail.find("ZIP code is not complete"), std::string::npos);
    settings.IMpbMailerId = "1234";
    EXPECT_EQ(MayPieceStart(settings, Piece().zip).refusal, PieceRefusal::ImpbFields);
    EXPECT_EQ(MayPieceStart(settings, Piece().zip).detail, "With channel 92 the IMpb Mailer ID has 9 digits.");
    // The IMpb carries no customer ID: "00-000-0000" does not stop it.
    EXPECT_FALSE(CustomerIdMissing(settings));
    IniFile ini(dirs.SettingsFile());
    ini.Load();
    EXPECT_EQ(ini.ReadString("Values", "IMpbSerial", ""), "0000002");
    EXPECT_EQ(LogRecords(), 4);
}

}  // namespace
}  // namespace gs
