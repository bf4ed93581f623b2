// From entry to log: the print command on the real main window, printing on a
// recording printer and logging into a real table in a sandbox folder.
#include "app/tf_main.h"

#include "app/mainwindowstart.h"
#include "dbase/dbfdate.h"
#include "dbase/tzdbf.h"
#include "numbering/articlenumber.h"
#include "numbering/tf_mailer.h"
#include "platform/addressmemo.h"
#include "platform/inifile.h"
#include "platform/scripteduserinteraction.h"
#include "printing/printtarget.h"
#include "settings/sharednumbers.h"
#include "support/tempdir.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace gs {
namespace {

class PrintCommandTest : public ::testing::Test {
protected:
    void SetUp() override { SetPrintTargetForTesting(&printer); }
    void TearDown() override {
        main.reset();
        SetPrintTargetForTesting(nullptr);
    }

    void Start(const std::string& values = "CustID=12-345-6789\nSerialNum=00000041\n") {
        test::WriteMainWindowSettings(dirs, values);
        main = test::ShowMainWindow();
    }

    void EnterPiece() {
        main->memoAddress->setPlainText("  John Smith\n12 Oak Ave");
        main->editCity->setText("Springfield ");
        main->editState->setText("IL");
        main->editZip->setFocus();
        QTest::keyClicks(main->editZip, "62704");
        main->editComment->setText("Lease renewal ");
        main->editRe->setText("Account 7");
    }

    // The mailer dialog of the print command, confirmed as it stands.
    void AnswerMailerDialogOk(bool dontShowAgain = false) {
        scripted.ui.dialogAnswers.push_back([dontShowAgain](QDialog& d) {
            auto& mailer = static_cast<TF_Mailer&>(d);
            EXPECT_TRUE(mailer.cbDontShow->isVisible());
            mailer.cbDontShow->setChecked(dontShowAgain);
            mailer.btnOK->click();
        });
    }

    struct LogRecord {
        std::map<std::string, std::string> fields;
    };
    std::vector<LogRecord> ReadLog() {
        std::vector<LogRecord> out;
        TTzDbf log;
        log.CreateIfNotFound = false;
        log.SetDbfFileName(main->MailLogFileName);
        log.Open();
        for (log.GoTop(); !log.Eof(); log.Next()) {
            LogRecord r;
            for (const char* f : {"sentname0", "sentname1", "sentname2", "sentname3", "city", "state", "zip", "rdate",
                                  "mailernum", "postage", "certified", "restricted", "return", "total", "comments",
                                  "re"})
                r.fields[f] = log.GetFieldText(f);
            out.push_back(r);
        }
        log.Close();
        return out;
    }
    bool LogExists() const { return QFile::exists(QString::fromStdString(main->MailLogFileName)); }
    bool PageShows(std::size_t page, const QString& text) const {
        for (const auto& item : printer.pages.at(page).items)
            if (item.text == text) return true;
        return false;
    }

    test::SandboxDirs dirs;
    ScopedScriptedUi scripted;
    RecordingPrintTarget printer;
    std::unique_ptr<TF_Main> main;
};

TEST_F(PrintCommandTest, PrintsLogsAndStepsTheNumber) {
    Start();
    EnterPiece();
    AnswerMailerDialogOk();
    QTest::mouseClick(main->btnPrint, Qt::LeftButton);

    ASSERT_EQ(printer.pages.size(), 1u);
    const std::string number = FormatArticleNumber(ComposeArticleNumber("123456789", "00000042"));
    EXPECT_TRUE(PageShows(0, QString::fromStdString(number)));
    EXPECT_EQ(main->settings.SerialNum, "00000042");
    EXPECT_TRUE(main->EntryPrinted());
    EXPECT_FALSE(main->btnPrint->isEnabled());
    EXPECT_EQ(scripted.ui.waitDepth, 0);
    EXPECT_GE(scripted.ui.waitCount, 1);

    const auto log = ReadLog();
    ASSERT_EQ(log.size(), 1u);
    // Character fields are stored blank-padded to their width.
    auto pad = [](std::string text, std::size_t width) {
        text.resize(width, ' ');
        return text;
    };
    const std::string tenBlanks(10, ' ');
    const std::map<std::string, std::string> expected = {
        {"sentname0", pad("  John Smith", 30)},  // not trimmed
        {"sentname1", pad("12 Oak Ave", 30)},
        {"sentname2", pad("", 30)},
        {"sentname3", pad("", 30)},
        {"city", pad("Springfield", 35)},  // trimmed
        {"state", pad("IL", 4)},
        {"zip", pad("62704", 10)},  // no trailing hyphen
        {"rdate", FormatShortDate(TodayDate())},
        {"mailernum", pad(number, 25)},
        {"postage", pad(tenBlanks + "0.39", 15)},
        {"certified", pad(tenBlanks + "2.40", 15)},
        {"restricted", pad("", 15)},
        {"return", pad(tenBlanks + "1.85", 15)},
        {"total", pad(tenBlanks + "4.64", 15)},
        {"comments", pad("Lease renewal ", 35)},  // not trimmed
        {"re", pad("Account 7", 25)},
    };
    EXPECT_EQ(log[0].fields, expected);

    // The new serial is in the settings file although the program has not closed.
    IniFile saved(dirs.SettingsFile());
    ASSERT_TRUE(saved.Load());
    EXPECT_EQ(saved.ReadString("Values", "SerialNum", ""), "00000042");

    // File > Print prints the same entry again with the next number, while the button is disabled.
    AnswerMailerDialogOk();
    main->MIPrint->trigger();
    ASSERT_EQ(printer.pages.size(), 2u);
    EXPECT_EQ(main->settings.SerialNum, "00000043");
    const auto log2 = ReadLog();
    ASSERT_EQ(log2.size(), 2u);
    EXPECT_EQ(log2[1].fields.at("mailernum"),
              FormatArticleNumber(ComposeArticleNumber("123456789", "00000043")) + " ");
    EXPECT_EQ(log2[1].fields.at("rdate"), log2[0].fields.at("rdate"));
}

TEST_F(PrintCommandTest, DontShowAgainSkipsTheDialogForLaterPieces) {
    Start();
    EnterPiece();
    AnswerMailerDialogOk(true);
    main->btnPrint->click();
    EXPECT_FALSE(main->ShowMailerScreen);
    main->editRe->setText("next");
    main->btnPrint->click();  // no dialog answer queued: none is asked
    EXPECT_EQ(printer.pages.size(), 2u);
    EXPECT_EQ(scripted.ui.Trail(), QStringList({"dialog:gs::TF_Mailer"}));
}

TEST_F(PrintCommandTest, TrackItemOpensTheTrackingPageOfTheNumberPrintedLast) {
    Start();
    main->TrackItem1->trigger();  // nothing printed yet: the plain tracking page
    EnterPiece();
    AnswerMailerDialogOk(true);
    main->btnPrint->click();
    main->editRe->setText("next");
    main->btnPrint->click();
    main->TrackItem1->trigger();
    ASSERT_EQ(scripted.ui.Trail(), QStringList({"url", "dialog:gs::TF_Mailer", "url"}));
    EXPECT_EQ(scripted.ui.asked[0].text, "https://www.usps.com/shipping/trackandconfirm.htm");
    EXPECT_EQ(scripted.ui.asked[2].text, "https://tools.usps.com/go/TrackConfirmAction?tLabels=" +
                                             QString::fromStdString(ComposeArticleNumber("123456789", "00000043")));
}

TEST_F(PrintCommandTest, CancelledDialogPrintsNothingAndRestoresTheNumber) {
    Start();
    EnterPiece();
    scripted.ui.dialogAnswers.push_back([](QDialog& d) { static_cast<TF_Mailer&>(d).btnCancel->click(); });
    main->btnPrint->click();
    EXPECT_TRUE(printer.pages.empty());
    EXPECT_FALSE(LogExists());
    EXPECT_EQ(main->settings.SerialNum, "00000041");
    EXPECT_FALSE(main->EntryPrinted());
}

TEST_F(PrintCommandTest, EmptyCustomerIdIsRefusedInBarcodeModeOnly) {
    Start("CustID=00-000-0000\nSerialNum=00000041\n");
    scripted.ui.asked.clear();
    EnterPiece();
    AnswerMailerDialogOk();
    main->btnPrint->click();
    ASSERT_EQ(scripted.ui.Trail(), QStringList({"dialog:gs::TF_Mailer", "message"}));
    EXPECT_EQ(scripted.ui.asked[1].text,
              "You can not print a Mailer with \"00-000-0000\" as a Customer ID.\r\r"
              "Please enter in a Customer ID, and try again.");
    EXPECT_EQ(scripted.ui.asked[1].icon, QMessageBox::Critical);
    EXPECT_TRUE(printer.pages.empty());
    EXPECT_EQ(main->settings.SerialNum, "00000041");

    // Pre-printed mode does not look at the customer ID; the number typed
    // into the dialog is printed exactly as typed.
    main->DontPrintBarCodeMI->trigger();
    scripted.ui.dialogAnswers.push_back([](QDialog& d) {
        auto& mailer = static_cast<TF_Mailer&>(d);
        mailer.editMailerNum->setText("70031234567000000123");
        mailer.btnOK->click();
    });
    main->btnPrint->click();
    ASSERT_EQ(printer.pages.size(), 1u);
    EXPECT_TRUE(PageShows(0, "7003 1234 5670 0000 0123"));
    EXPECT_EQ(ReadLog().at(0).fields.at("mailernum"), "7003 1234 5670 0000 0123 ");
    EXPECT_EQ(main->settings.MailerNum, "70031234567000000123");
}

TEST_F(PrintCommandTest, PrinterFailureIsReportedNotLoggedAndTheNumberStaysUsed) {
    Start();
    FailingPrintTarget failing("The printer is out of paper.");
    SetPrintTargetForTesting(&failing);
    EnterPiece();
    AnswerMailerDialogOk();
    main->btnPrint->click();
    ASSERT_EQ(scripted.ui.Trail(), QStringList({"dialog:gs::TF_Mailer", "message"}));
    EXPECT_TRUE(scripted.ui.asked[1].text.contains("out of paper"));
    EXPECT_FALSE(LogExists());
    EXPECT_FALSE(main->EntryPrinted());
    EXPECT_EQ(main->settings.SerialNum, "00000042");
    IniFile saved(dirs.SettingsFile());
    ASSERT_TRUE(saved.Load());
    EXPECT_EQ(saved.ReadString("Values", "SerialNum", ""), "00000042");
    EXPECT_EQ(scripted.ui.waitDepth, 0);
}

TEST_F(PrintCommandTest, SerialThatIsNoNumberStopsBeforeAnything) {
    Start("CustID=12-345-6789\nSerialNum=0000004x\n");
    EnterPiece();
    main->btnPrint->click();
    ASSERT_EQ(scripted.ui.Trail(), QStringList({"message"}));
    EXPECT_EQ(scripted.ui.asked[0].text, "'0000004x' is not a valid integer value");
    EXPECT_TRUE(printer.pages.empty());
    EXPECT_EQ(main->settings.SerialNum, "0000004x");
}

TEST_F(PrintCommandTest, AppendLockHeldElsewhereIsWaitedForThenReported) {
    Start();
    EnterPiece();
    // Another copy holds the log's append lock for the whole print.
    main->ShowMailerScreen = false;
    main->btnPrint->click();  // creates the log
    ASSERT_EQ(ReadLog().size(), 1u);
    TTzDbf other;
    other.SetDbfFileName(main->MailLogFileName);
    other.Open();
    ASSERT_TRUE(other.ALock());
    main->LogLockWait = std::chrono::milliseconds(100);
    main->MIPrint->trigger();
    EXPECT_EQ(printer.pages.size(), 2u);
    ASSERT_EQ(scripted.ui.Trail(), QStringList({"message"}));
    const QString number = QString::fromStdString(FormatArticleNumber(ComposeArticleNumber("123456789", "00000043")));
    EXPECT_TRUE(scripted.ui.asked[0].text.contains(number)) << scripted.ui.asked[0].text.toStdString();
    other.UnLock();
    other.Close();
    EXPECT_EQ(ReadLog().size(), 1u);
}

TEST_F(PrintCommandTest, TableErrorHaltsAfterSavingTheSettings) {
    Start();
    EnterPiece();
    main->ShowMailerScreen = false;
    // Something that is no dBase table sits where the log belongs.
    {
        QFile f(QString::fromStdString(main->MailLogFileName));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("this is not a table at all, just text that is long enough");
    }
    int haltedWith = 0;
    main->HaltProcess = [&](int code) { haltedWith = code; };
    main->btnPrint->click();
    EXPECT_NE(haltedWith, 0);
    ASSERT_FALSE(scripted.ui.asked.empty());
    EXPECT_EQ(scripted.ui.asked[0].title, "Program halted.");
    IniFile saved(dirs.SettingsFile());
    ASSERT_TRUE(saved.Load());
    EXPECT_EQ(saved.ReadString("Values", "SerialNum", ""), "00000042");
    EXPECT_EQ(printer.pages.size(), 1u);
}

TEST_F(PrintCommandTest, AnotherCopyPrintingMeanwhileNeverGetsTheSameNumber) {
    Start();
    EnterPiece();
    // Another copy (a second window, a batch run) on the same settings file.
    Settings otherSettings;
    SharedNumbers other(dirs.SettingsFile());
    other.Load(otherSettings, dirs.Path() + "program/", {});
    auto otherTakes = [&] { return other.Reserve(otherSettings, [](Settings& s) { StepArticleNumber(s); }); };

    // It prints while this window's mailer dialog is open.
    scripted.ui.dialogAnswers.push_back([&](QDialog& d) {
        EXPECT_EQ(otherTakes().reserved.SerialNum, "00000043");
        static_cast<TF_Mailer&>(d).btnOK->click();
    });
    main->btnPrint->click();
    EXPECT_TRUE(PageShows(0, QString::fromStdString(FormatArticleNumber(ComposeArticleNumber("123456789", "00000042")))));

    // A cancelled dialog gives nothing back once the other copy has stepped past.
    scripted.ui.dialogAnswers.push_back([&](QDialog& d) {
        otherTakes();  // 45
        static_cast<TF_Mailer&>(d).btnCancel->click();
    });
    main->MIPrint->trigger();
    main->ShowMailerScreen = false;
    main->MIPrint->trigger();
    ASSERT_EQ(printer.pages.size(), 2u);
    EXPECT_TRUE(PageShows(1, QString::fromStdString(FormatArticleNumber(ComposeArticleNumber("123456789", "00000046")))));
    EXPECT_EQ(otherTakes().reserved.SerialNum, "00000047");

    // Closing the window does not put its older numbers back into the file.
    main->MIExit->trigger();
    IniFile saved(dirs.SettingsFile());
    ASSERT_TRUE(saved.Load());
    EXPECT_EQ(saved.ReadString("Values", "SerialNum", ""), "00000047");
}

TEST_F(PrintCommandTest, TheNextNumberSetInTheMailerNumberDialogIsTheNextForEveryCopy) {
    Start();
    Settings otherSettings;
    SharedNumbers other(dirs.SettingsFile());
    other.Load(otherSettings, dirs.Path() + "program/", {});
    other.Reserve(otherSettings, [](Settings& s) { StepArticleNumber(s); });  // another copy printed 42

    scripted.ui.dialogAnswers.push_back([](QDialog& d) {
        auto& mailer = static_cast<TF_Mailer&>(d);
        EXPECT_EQ(mailer.editSerialNum->text(), "00000043");  // the dialog starts after the other copy's piece
        mailer.editSerialNum->setText("00000100");
        mailer.btnOK->click();
    });
    main->MailerNumber1->trigger();
    EXPECT_EQ(main->settings.SerialNum, "00000099");
    EXPECT_EQ(other.Reserve(otherSettings, [](Settings& s) { StepArticleNumber(s); }).reserved.SerialNum,
              "00000100");
}

}  // namespace
}  // namespace gs

namespace gs {
namespace {

// With the IMpb chosen in the menu: a missing field and an incomplete ZIP
// refuse before any number is taken; complete, the piece prints and logs
// the 22 digits and the next one steps the IMpb serial.
TEST_F(PrintCommandTest, ImpbRefusesMissingFieldsAndIncompleteZipsBeforeTakingANumber) {
    Start("CustID=00-000-0000\nSerialNum=00000041\nIMpbServiceType=071\nIMpbMailerId=901234567\n");
    main->PrintBarCodeMI->trigger();
    scripted.ui.dialogAnswers.push_back([](QDialog& d) { static_cast<QDialog&>(d).reject(); });
    main->ArticleImpbMI->trigger();  // asks for the fields: the serial is missing
    EXPECT_EQ(main->settings.ArticleFormat, "IMpb");
    scripted.ui.asked.clear();
    EnterPiece();
    main->btnPrint->click();
    ASSERT_EQ(scripted.ui.Trail(), QStringList{"message"});
    EXPECT_EQ(scripted.ui.asked[0].text,
              "The IMpb number cannot be printed. The IMpb Serial Number is missing.\r\r"
              "Please correct it under Options > Mailer Number, and try again.");
    EXPECT_TRUE(printer.pages.empty());

    main->settings.IMpbSerial = "0000041";
    main->editZip->clear();
    main->editZip->setFocus();
    QTest::keyClicks(main->editZip, "627");
    scripted.ui.asked.clear();
    main->btnPrint->click();
    ASSERT_EQ(scripted.ui.Trail(), QStringList{"message"});
    EXPECT_TRUE(scripted.ui.asked[0].text.startsWith("The recipient's ZIP code is not complete."));
    EXPECT_EQ(main->settings.IMpbSerial, "0000041");
    EXPECT_TRUE(printer.pages.empty());

    QTest::keyClicks(main->editZip, "04");
    scripted.ui.asked.clear();
    AnswerMailerDialogOk();
    main->btnPrint->click();
    ASSERT_EQ(printer.pages.size(), 1u);
    EXPECT_TRUE(PageShows(0, "9207 1901 2345 6700 0004 20"));
    EXPECT_EQ(main->settings.IMpbSerial, "0000042");
    EXPECT_EQ(main->settings.SerialNum, "00000041");
    const auto log = ReadLog();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].fields.at("mailernum"), "9207190123456700000420   ");
}

}  // namespace
}  // namespace gs
