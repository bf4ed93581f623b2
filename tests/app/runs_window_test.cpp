// File > "Mass Print" and "Print Bar Codes" from the real main window: an
// address table in a sandbox folder walked through the navigator, pieces on
// a recording printer and in a real mail log.
#include "app/tf_main.h"

#include "addresses/addressmode.h"
#include "app/mainwindowstart.h"
#include "dbase/tzdbf.h"
#include "maillog/maillog.h"
#include "numbering/tf_mailer.h"
#include "platform/addressmemo.h"
#include "platform/inifile.h"
#include "platform/scripteduserinteraction.h"
#include "printing/printtarget.h"
#include "runs/tf_printbarcode.h"
#include "support/tempdir.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <gtest/gtest.h>

namespace gs {
namespace {

class RunsWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetPrintTargetForTesting(&printer);
        test::WriteMainWindowSettings(
            dirs, "CustID=12-345-6789\nSerialNum=00000041\n[System Path]\nDefault=" + dirs.Path() + "lists\n");
        QDir().mkpath(QString::fromStdString(dirs.Path() + "lists"));
        main = test::ShowMainWindow();
    }
    void TearDown() override {
        main.reset();
        SetPrintTargetForTesting(nullptr);
    }

    // Twelve recipients; the third and the eighth are marked deleted.
    std::string MakeTable() {
        const std::string path = dirs.Path() + "lists/twelve.dbf";
        TTzDbf t;
        t.DbfFields = {"Address,M,10,0", "City,C,20,0", "State,C,4,0", "Zip,C,10,0"};
        t.SetDbfFileName(path);
        t.Open();
        for (int i = 1; i <= 12; ++i) {
            t.ClearRecord();
            t.SetMField("Address", {"Name " + std::to_string(i), "Street " + std::to_string(i)});
            t.SetFieldText("City", "City " + std::to_string(i));
            t.SetFieldText("State", "OH");
            t.SetFieldText("Zip", "45402");
            EXPECT_TRUE(t.ALock());
            t.AppendRec();
            t.UnLock();
        }
        for (std::uint32_t rec : {3u, 8u}) {
            t.Go(rec);
            EXPECT_TRUE(t.LockRecord());
            t.DeleteRec();
            t.UnLock();
        }
        t.Close();
        return path;
    }
    void Enter(const std::string& path) {
        scripted.ui.fileAnswers.push_back(QString::fromStdString(path));
        main->MIReadWriteToDB->trigger();
        QApplication::processEvents();
        scripted.ui.asked.clear();
    }
    void AnswerMailerDialog(bool ok, bool dontShowAgain = false) {
        scripted.ui.dialogAnswers.push_back([=](QDialog& d) {
            auto& mailer = static_cast<TF_Mailer&>(d);
            EXPECT_TRUE(mailer.cbDontShow->isVisible());
            mailer.cbDontShow->setChecked(dontShowAgain);
            (ok ? mailer.btnOK : mailer.btnCancel)->click();
        });
    }
    std::vector<std::string> LoggedNames() const {
        std::vector<std::string> names;
        if (!QFile::exists(QString::fromStdString(main->MailLogFileName))) return names;
        TTzDbf log;
        log.SetDbfFileName(main->MailLogFileName);
        log.Open();
        for (log.GoTop(); !log.Eof(); log.Next()) names.push_back(log.FieldByName("sentname0").AsString());
        log.Close();
        return names;
    }
    QString Order() const { return main->addressMode->labelOrder->text(); }

    test::SandboxDirs dirs;
    ScopedScriptedUi scripted;
    RecordingPrintTarget printer;
    std::unique_ptr<TF_Main> main;
};

TEST_F(RunsWindowTest, MassPrintPrintsAndLogsEveryLiveRecordAndStopsOnTheLast) {
    EXPECT_FALSE(main->MIMassPrint->isEnabled());
    Enter(MakeTable());
    ASSERT_TRUE(main->MIMassPrint->isEnabled());
    main->ShowMailerScreen = false;  // shown again for the first piece of the run
    scripted.ui.messageAnswers.push_back(QMessageBox::Yes);
    AnswerMailerDialog(true, true);  // "Do not show this screen again": the rest print without it
    main->MIMassPrint->trigger();

    ASSERT_GE(scripted.ui.asked.size(), 1u);
    EXPECT_EQ(scripted.ui.asked[0].text, "You are about to print 10 labels.\n\rWould you like to continue?");
    EXPECT_EQ(scripted.ui.asked[0].icon, QMessageBox::Question);
    EXPECT_EQ(scripted.ui.Trail(), (QStringList{"message", "dialog:gs::TF_Mailer"}));
    EXPECT_EQ(printer.pages.size(), 10u);
    EXPECT_EQ(LoggedNames(), (std::vector<std::string>{"Name 1", "Name 2", "Name 4", "Name 5", "Name 6", "Name 7",
                                                       "Name 9", "Name 10", "Name 11", "Name 12"}));
    EXPECT_EQ(main->settings.SerialNum, "00000051");
    EXPECT_EQ(Order(), "12/12");  // the last record visited
    EXPECT_FALSE(main->btnPrint->isEnabled());  // and printed: grey, as after Print
    EXPECT_EQ(scripted.ui.waitDepth, 0);

    // After Exit the command is off again.
    QTest::mouseClick(main->addressMode->btnExit, Qt::LeftButton);
    EXPECT_FALSE(main->MIMassPrint->isEnabled());
}

TEST_F(RunsWindowTest, MassPrintEndsWhereTheUserStopsIt) {
    Enter(MakeTable());
    // Declined: nothing prints, the table stays where it was.
    scripted.ui.messageAnswers.push_back(QMessageBox::No);
    main->MIMassPrint->trigger();
    EXPECT_TRUE(printer.pages.empty());
    EXPECT_EQ(Order(), "1/12");

    // Cancel in the mailer dialog of the third piece: two printed and logged.
    scripted.ui.messageAnswers.push_back(QMessageBox::Yes);
    AnswerMailerDialog(true);
    AnswerMailerDialog(true);
    AnswerMailerDialog(false);
    main->MIMassPrint->trigger();
    EXPECT_EQ(printer.pages.size(), 2u);
    EXPECT_EQ(LoggedNames(), (std::vector<std::string>{"Name 1", "Name 2"}));
    EXPECT_EQ(main->settings.SerialNum, "00000043");
    EXPECT_EQ(Order(), "4/12");  // the third piece's record
    EXPECT_TRUE(main->btnPrint->isEnabled());  // not printed
    EXPECT_EQ(scripted.ui.Trail().size(), 5);  // nothing said after the cancelled dialog
}

TEST_F(RunsWindowTest, MassPrintSaysWhyItStopped) {
    Enter(MakeTable());
    // Barcode mode without a customer ID: refused before the first piece.
    main->settings.CustID = "00-000-0000";
    scripted.ui.messageAnswers.push_back(QMessageBox::Yes);
    AnswerMailerDialog(true);
    main->MIMassPrint->trigger();
    ASSERT_EQ(scripted.ui.Trail(), (QStringList{"message", "dialog:gs::TF_Mailer", "message"}));
    EXPECT_EQ(scripted.ui.asked[2].text,
              "You can not print a Mailer with \"00-000-0000\" as a Customer ID. (DUNS No.)\r\n"
              "Please enter in a Customer ID (DUNS No.), and try again.");
    EXPECT_EQ(main->settings.SerialNum, "00000041");

    // The printer fails on the first piece: its text, and how far the run
    // got; the piece is not logged, its number counts as used.
    main->settings.CustID = "12-345-6789";
    FailingPrintTarget failing;
    SetPrintTargetForTesting(&failing);
    scripted.ui.asked.clear();
    scripted.ui.messageAnswers.push_back(QMessageBox::Yes);
    AnswerMailerDialog(true);
    main->MIMassPrint->trigger();
    ASSERT_EQ(scripted.ui.asked.size(), 3u);
    EXPECT_EQ(scripted.ui.asked[2].text, "The printer is not available.\n0 of 10 mailers were printed.");
    EXPECT_EQ(scripted.ui.asked[2].icon, QMessageBox::Critical);
    EXPECT_TRUE(LoggedNames().empty());
    EXPECT_EQ(main->settings.SerialNum, "00000042");
    SetPrintTargetForTesting(&printer);
}

TEST_F(RunsWindowTest, MassPrintStopsAtAPieceTheLogCannotTakeAndNamesIt) {
    Enter(MakeTable());
    main->LogLockWait = std::chrono::milliseconds(100);
    TTzDbf otherCopy;  // another running copy, keeping the log's append lock
    otherCopy.DbfFields = MailLogFieldList();
    otherCopy.SetDbfFileName(main->MailLogFileName);
    otherCopy.Open();
    ASSERT_TRUE(otherCopy.ALock());
    scripted.ui.messageAnswers.push_back(QMessageBox::Yes);
    AnswerMailerDialog(true);
    main->MIMassPrint->trigger();
    otherCopy.UnLock();
    otherCopy.Close();
    EXPECT_EQ(printer.pages.size(), 1u);  // nothing printed after it
    ASSERT_EQ(scripted.ui.Trail(), (QStringList{"message", "dialog:gs::TF_Mailer", "message"}));
    EXPECT_EQ(scripted.ui.asked[2].text,
              "The piece with the article number 7112 3456 7890 0000 0423 was printed, but it could not be "
              "entered in the mail log: another copy of " + main->windowTitle() + " kept the log locked.\n"
              "Mass printing stopped there; please enter that piece in the log by hand.\n"
              "1 of 10 mailers were printed.");
    EXPECT_EQ(scripted.ui.asked[2].icon, QMessageBox::Critical);
    EXPECT_TRUE(LoggedNames().empty());
}

TEST_F(RunsWindowTest, MassPrintWithTheIntelligentMailBarcodeAndNoIdsPrintsNothing) {
    Enter(MakeTable());
    main->settings.ZipBarCode = "IMB";
    scripted.ui.messageAnswers.push_back(QMessageBox::Yes);
    AnswerMailerDialog(true, true);  // OK is refused: the IDs are missing
    main->MIMassPrint->trigger();
    EXPECT_EQ(scripted.ui.Trail(), (QStringList{"message", "dialog:gs::TF_Mailer", "message"}));
    EXPECT_EQ(scripted.ui.asked[2].icon, QMessageBox::Critical);
    EXPECT_TRUE(printer.pages.empty());
    EXPECT_TRUE(LoggedNames().empty());
    EXPECT_EQ(main->settings.SerialNum, "00000041");  // no number used up
}

TEST_F(RunsWindowTest, MassPrintPrintsNothingWhenTheLogFolderSetCannotBeReached) {
    Enter(MakeTable());
    const std::string gone = dirs.Path() + "server-not-mounted";
    main->settings.ReportsDir = gone;
    main->MIMassPrint->trigger();
    EXPECT_TRUE(printer.pages.empty());
    ASSERT_EQ(scripted.ui.Trail(), QStringList{"message"});  // not even the count question
    EXPECT_TRUE(scripted.ui.asked[0].text.startsWith("The mail log folder \"" + QString::fromStdString(gone) +
                                                      "\" cannot be reached"));
    EXPECT_EQ(main->settings.SerialNum, "00000041");
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(gone)));
}

TEST_F(RunsWindowTest, PrintBarCodesRunsFromTheMenuInEitherMode) {
    ASSERT_TRUE(main->MIPrintBarCodes->isEnabled());
    scripted.ui.messageAnswers.push_back(QMessageBox::Yes);
    scripted.ui.dialogAnswers.push_back([](QDialog& d) {
        auto& dialog = static_cast<TF_PrintBarCode&>(d);
        dialog.editNumLabels->setValue(3);
        dialog.btnOK->click();
    });
    main->MIPrintBarCodes->trigger();
    EXPECT_EQ(scripted.ui.Trail(), (QStringList{"message", "dialog:gs::TF_PrintBarCode"}));
    EXPECT_EQ(printer.pages.size(), 3u);
    EXPECT_EQ(main->settings.SerialNum, "00000044");

    // The next single piece steps past the last label.
    main->memoAddress->setPlainText("Ann Lee");
    main->ShowMailerScreen = false;
    QTest::mouseClick(main->btnPrint, Qt::LeftButton);
    EXPECT_EQ(main->settings.SerialNum, "00000045");
}

}  // namespace
}  // namespace gs
