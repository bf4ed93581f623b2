#include "maillog/maillog.h"

#include "dbase/dbfdate.h"
#include "dbase/dbferror.h"
#include "dbase/tzdbf.h"
#include "platform/datafolders.h"
#include "settings/settings.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace gs {
namespace {

class MailLogTest : public ::testing::Test {
protected:
    void SetUp() override {
        char tmpl[] = "/tmp/gs-maillog-XXXXXX";
        dir = mkdtemp(tmpl);
        file = dir + "/report3.dbf";
    }
    void TearDown() override { std::filesystem::remove_all(dir); }

    MailLogEntry Piece() const {
        MailLogEntry e;
        e.sentname = {"John Smith", "12 Oak Ave", "", ""};
        e.city = " Springfield ";
        e.state = "IL ";
        e.zip = "62701-1234";
        e.mailernum = "7112 3456 7890 0000 0421";
        e.postage = "          0.39";
        e.certified = "          2.40";
        e.restricted = " ";
        e.returnReceipt = "          1.85";
        e.total = "          4.64";
        return e;
    }
    std::string Field(TTzDbf& log, const char* name) {
        std::string v = log.GetFieldText(name);
        while (!v.empty() && v.back() == ' ') v.pop_back();
        return v;
    }

    std::string dir, file;
};

TEST_F(MailLogTest, FirstPieceCreatesTheLogWithSixteenFields) {
    ASSERT_EQ(AppendLogRecord(file, Piece()), LogOutcome::Logged);
    TTzDbf log;
    log.SetDbfFileName(file);
    log.Open();
    const char* expected[][3] = {
        {"SENTNAME0", "C", "30"}, {"SENTNAME1", "C", "30"}, {"SENTNAME2", "C", "30"}, {"SENTNAME3", "C", "30"},
        {"CITY", "C", "35"},      {"STATE", "C", "4"},      {"ZIP", "C", "10"},       {"RDATE", "D", "8"},
        {"MAILERNUM", "C", "25"}, {"POSTAGE", "C", "15"},   {"CERTIFIED", "C", "15"}, {"RESTRICTED", "C", "15"},
        {"RETURN", "C", "15"},    {"TOTAL", "C", "15"},     {"COMMENTS", "C", "35"},  {"RE", "C", "25"},
    };
    ASSERT_EQ(log.FieldCount(), 16);
    for (int i = 0; i < 16; ++i) {
        const DbfFieldDef& f = log.FieldDefs()[i];
        EXPECT_EQ(f.name, expected[i][0]);
        EXPECT_EQ(std::string(1, f.type), expected[i][1]) << f.name;
        EXPECT_EQ(std::to_string(f.length), expected[i][2]) << f.name;
    }
    EXPECT_EQ(log.RecCount(), 1);
    log.GoTop();
    EXPECT_EQ(Field(log, "city"), "Springfield");  // trimmed
    EXPECT_EQ(Field(log, "state"), "IL");
    EXPECT_EQ(Field(log, "zip"), "62701-1234");
    EXPECT_EQ(Field(log, "sentname2"), "");
    EXPECT_EQ(Field(log, "restricted"), "");  // a field showing one blank stores a blank field
    EXPECT_EQ(log.GetFieldText("rdate"), FormatShortDate(TodayDate()));
    log.Close();
}

TEST_F(MailLogTest, LongValuesAreCutAndPiecesKeepPrintingOrder) {
    MailLogEntry e = Piece();
    e.sentname[0] = std::string(40, 'x');
    e.re = "An RE line longer than twenty-five characters";
    ASSERT_EQ(AppendLogRecord(file, e), LogOutcome::Logged);
    e.mailernum = "7112 3456 7890 0000 0438";
    ASSERT_EQ(AppendLogRecord(file, e), LogOutcome::Logged);
    TTzDbf log;
    log.SetDbfFileName(file);
    log.Open();
    log.GoTop();
    EXPECT_EQ(log.GetFieldText("sentname0"), std::string(30, 'x'));
    EXPECT_EQ(log.GetFieldText("re"), "An RE line longer than tw");
    EXPECT_EQ(Field(log, "mailernum"), "7112 3456 7890 0000 0421");
    log.Next();
    EXPECT_EQ(Field(log, "mailernum"), "7112 3456 7890 0000 0438");
    log.Close();
}

TEST_F(MailLogTest, AppendLockHeldElsewhereGivesLockBusyAndWritesNothing) {
    ASSERT_EQ(AppendLogRecord(file, Piece()), LogOutcome::Logged);
    TTzDbf other;
    other.SetDbfFileName(file);
    other.Open();
    ASSERT_TRUE(other.ALock());
    EXPECT_EQ(AppendLogRecord(file, Piece(), std::chrono::milliseconds(60)), LogOutcome::LockBusy);
    other.UnLock();
    EXPECT_EQ(AppendLogRecord(file, Piece(), std::chrono::milliseconds(60)), LogOutcome::Logged);
    other.Close();
    TTzDbf log;
    log.SetDbfFileName(file);
    log.Open();
    EXPECT_EQ(log.RecCount(), 2);
    log.Close();
}

// The appender resolves the fields once; its records must be the bytes the
// fields set one by one by name give, blank and real dates alike.
TEST_F(MailLogTest, AppenderWritesTheBytesOfFieldsSetByName) {
    const std::string byName = dir + "/byname.dbf";
    const DbfDate dates[] = {{2026, 12, 11}, {}, {1999, 2, 28}};
    MailLogEntry e = Piece();
    e.comments = "Invoice 42";
    e.re = "Contract";
    {
        TTzDbf log("TzDbfReport");
        ConfigureMailLog(log, file);
        log.Open();
        MailLogAppender appender(log);
        for (const DbfDate& d : dates) ASSERT_EQ(appender.Append(e, d, std::chrono::milliseconds(0)), LogOutcome::Logged);
        log.Close();
    }
    {
        TTzDbf log("TzDbfReport");
        ConfigureMailLog(log, byName);
        log.Open();
        for (const DbfDate& d : dates) {
            log.ClearRecord();
            log.SetFieldText("sentname0", e.sentname[0]);
            log.SetFieldText("sentname1", e.sentname[1]);
            log.SetFieldText("sentname2", e.sentname[2]);
            log.SetFieldText("sentname3", e.sentname[3]);
            log.SetFieldText("city", "Springfield");
            log.SetFieldText("state", "IL");
            log.SetFieldText("zip", e.zip);
            log.SetFieldText("mailernum", e.mailernum);
            log.SetFieldText("postage", e.postage);
            log.SetFieldText("certified", e.certified);
            log.SetFieldText("restricted", e.restricted);
            log.SetFieldText("return", e.returnReceipt);
            log.SetFieldText("total", e.total);
            log.SetFieldText("comments", e.comments);
            log.SetFieldText("re", e.re);
            log.SetFieldText("rdate", FormatShortDate(d));
            ASSERT_TRUE(log.ALock());
            log.AppendRec();
            log.UnLock();
        }
        log.Close();
    }
    auto bytes = [](const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    EXPECT_EQ(bytes(file), bytes(byName));
}

TEST_F(MailLogTest, AppenderRefusesALogWithoutOneOfTheFields) {
    TTzDbf log("TzDbfReport");
    ConfigureMailLog(log, file);
    log.DbfFields.pop_back();  // no "re"
    log.Open();
    EXPECT_THROW(MailLogAppender appender(log), DatasetError);
    EXPECT_EQ(log.RecCount(), 0);
    log.Close();
}

TEST_F(MailLogTest, LogFolderIsTheSetOneElseReportsAmongTheProgramsFiles) {
    DataFolders folders;
    folders.readDir = dir + "/share/";
    folders.writeDir = dir + "/mine/";
    Settings s;
    EXPECT_EQ(DefaultMailLogFolder(folders), dir + "/mine/Reports/");
    EXPECT_FALSE(std::filesystem::exists(dir + "/mine/Reports"));  // only asking does not make it
    EXPECT_EQ(MailLogPath(s, folders), dir + "/mine/Reports/report3.dbf");
    EXPECT_TRUE(std::filesystem::is_directory(dir + "/mine/Reports"));  // the default is made when used

    // A folder that is set is used as it stands and never made: an unmounted
    // share must not turn into a local folder.
    for (const std::string& set : {dir + "/share/log", dir + "/share/log/"}) {
        s.ReportsDir = set;
        EXPECT_EQ(MailLogFolder(s, folders), dir + "/share/log/");
        EXPECT_EQ(MailLogPath(s, folders), dir + "/share/log/report3.dbf");
    }
    EXPECT_FALSE(std::filesystem::exists(dir + "/share/log"));
    const DbfFatalHandler old = SetDbfFatalHandler([](int, const std::string&, const std::string&) {});
    EXPECT_THROW(AppendLogRecord(MailLogPath(s, folders), Piece()), DbfError);
    SetDbfFatalHandler(old);
    EXPECT_FALSE(std::filesystem::exists(dir + "/share/log"));
}

}  // namespace
}  // namespace gs
