// The Report menu of the main window: its items, the Sort choice and the
// commands they start, with scripted answers.
#include "app/tf_main.h"

#include "app/mainwindowstart.h"
#include "dbase/dbferror.h"
#include "dbase/tzdbf.h"
#include "maillog/maillog.h"
#include "platform/inifile.h"
#include "platform/scripteduserinteraction.h"
#include "report/reportpreview.h"
#include "support/tempdir.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace gs {
namespace {

class ReportMenuTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::WriteMainWindowSettings(dirs, "CustID=12-345-6789\n");
        main = test::ShowMainWindow([this](TF_Main& w) { w.HaltProcess = [this](int code) { halted = code; }; });
        scripted.ui.asked.clear();
    }
    void TearDown() override { main.reset(); }

    QMenu* Menu(const char* name) { return main->findChild<QMenu*>(name); }
    static QStringList Captions(QMenu* menu) {
        QStringList out;
        for (QAction* a : menu->actions()) out << a->text();
        return out;
    }
    void LogPieces(int n) {
        for (int i = 0; i < n; ++i) {
            MailLogEntry e;
            e.sentname[0] = i % 2 ? "Zed" : "Amy";
            e.mailernum = "7112 3456 7890 0000 000" + std::to_string(i);
            ASSERT_EQ(AppendLogRecord(main->MailLogFileName, e), LogOutcome::Logged);
        }
    }
    // Names and sizes of everything in the program folder.
    std::map<std::string, std::uintmax_t> Files() const {
        std::map<std::string, std::uintmax_t> out;
        for (const auto& e : std::filesystem::recursive_directory_iterator(dirs.Path() + "program"))
            if (e.is_regular_file()) out[e.path().string()] = e.file_size();
        return out;
    }

    test::SandboxDirs dirs;
    ScopedScriptedUi scripted;
    std::unique_ptr<TF_Main> main;
    int halted = 0;
};

TEST_F(ReportMenuTest, ItemsAndASortChoiceThatOnlyMovesItsCheckMark) {
    EXPECT_EQ(Captions(Menu("PrintReport1")), QStringList({"Full Detail", "Short Detail", "Firm &Mailing Book"}));
    EXPECT_EQ(Captions(Menu("PreviewReport1")), QStringList({"&Full Detail", "&Short Detail", "Firm &Mailing Book"}));
    EXPECT_EQ(Captions(Menu("SortRepost1")), QStringList({"&Record Order", "&By Mailer Number", "By &Name",
                                                          "By &Date", "By &ZipCode"}));
    QAction* sorts[] = {main->MIRecordOrder, main->MIByMailerNumber, main->MIByName, main->MIByDate,
                        main->MIByZipCode};
    for (QAction* a : sorts) EXPECT_EQ(a->isChecked(), a == main->MIRecordOrder) << a->text().toStdString();
    EXPECT_EQ(main->SelectedLogOrder(), LogOrder::PrintingOrder);

    LogPieces(3);
    const auto before = Files();
    // Record Order comes last: it is the way back to the order of logging.
    const int picks[] = {1, 2, 3, 4, 0};
    const LogOrder orders[] = {LogOrder::PrintingOrder, LogOrder::MailerNumber, LogOrder::Name, LogOrder::Date,
                               LogOrder::ZipCode};
    for (int i : picks) {
        sorts[i]->trigger();
        for (int j = 0; j < 5; ++j) EXPECT_EQ(sorts[j]->isChecked(), i == j);
        EXPECT_EQ(main->SelectedLogOrder(), orders[i]);
    }
    EXPECT_EQ(Files(), before);  // no index until a report runs
    EXPECT_TRUE(scripted.ui.asked.empty());
}

TEST_F(ReportMenuTest, EveryItemOfAnEmptyLogSaysSo) {
    for (QAction* a : Menu("PrintReport1")->actions()) a->trigger();
    for (QAction* a : Menu("PreviewReport1")->actions()) a->trigger();
    main->ClearReport1->trigger();
    QStringList texts;
    for (const auto& a : scripted.ui.asked) texts << a.kind + ": " + a.text;
    EXPECT_EQ(texts, QStringList({"message: Report is empty.", "message: Report is empty.", "message: Report is empty.",
                                  "message: Report is empty.", "message: Report is empty.", "message: Report is empty.",
                                  "message: Report is already empty."}));
}

TEST_F(ReportMenuTest, ReportsReadTheProjectBesideTheProgramInTheChosenOrder) {
    LogPieces(3);
    // No project file yet: the error names where it was looked for.
    main->miPreviewShort->trigger();
    ASSERT_EQ(scripted.ui.asked.size(), 1u);
    EXPECT_EQ(scripted.ui.asked[0].icon, QMessageBox::Critical);
    EXPECT_TRUE(scripted.ui.asked[0].text.contains(QString::fromStdString(dirs.Path() + "program/Gslip3.rpt")))
        << scripted.ui.asked[0].text.toStdString();

    std::filesystem::copy_file(GREENSLIP_SOURCE_DIR "/data/Gslip3.rpt", dirs.Path() + "program/Gslip3.rpt");
    main->MIByName->trigger();
    int shownPages = 0;
    scripted.ui.dialogAnswers.push_back([&](QDialog& d) { shownPages = static_cast<ReportPreviewWindow&>(d).PageCount(); });
    scripted.ui.asked.clear();
    main->miPreviewFirmMailingBook->trigger();
    EXPECT_EQ(scripted.ui.Trail(), QStringList({"dialog:gs::ReportPreviewWindow"}));
    EXPECT_EQ(shownPages, 1);
    EXPECT_TRUE(std::filesystem::exists(dirs.Path() + "program/Reports/name.mdx"));
    EXPECT_EQ(halted, 0);

    // Clear from the menu, without a copy.
    scripted.ui.messageAnswers = {QMessageBox::No};
    main->ClearReport1->trigger();
    TTzDbf log;
    ConfigureMailLog(log, main->MailLogFileName);
    log.Open();
    EXPECT_EQ(log.RecCount(), 0u);
    log.Close();
}

}  // namespace
}  // namespace gs
