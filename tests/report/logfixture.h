#pragma once
// A mail log with known pieces, in a private folder, for the report and
// Clear tests. Table-store errors are recorded (the engine then throws
// DbfError) instead of ending the test program.
#include "dbase/dbfdate.h"
#include "dbase/dbferror.h"
#include "dbase/tzdbf.h"
#include "maillog/maillog.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace gs::test {

struct LoggedPiece {
    std::string mailernum, name0, name1, city, state, zip, rdate;
    std::string postage, certified, restricted, returnReceipt, total;
    std::string re, comments;
    std::string name2 = {}, name3 = {};
};

// Four pieces in printing order, each first in a different order.
inline std::vector<LoggedPiece> FourPieces() {
    const std::string b(10, ' ');
    return {
        {"7112 3456 7890 0000 0300", "Carol White", "5 Elm St", "Atlanta", "GA", "30301", "03/05/2024",
         b + "0.39", b + "2.40", " ", b + "1.85", b + "4.64", "Invoice 17", "Second notice"},
        {"7112 3456 7890 0000 0100", "alice Brown", "", "New York", "NY", "10001", "",
         b + "0.39", b + "2.40", b + "3.50", b + "1.85", b + "8.14", "", ""},
        {"7112 3456 7890 0000 0200", "Bob Green", "Suite 4", "South San Francisco Heights", "CA", "94105-1234", "01/15/2024",
         b + "0.60", b + "2.40", " ", " ", b + "3.00", "", ""},
        {"7112 3456 7890 0000 0400", " Zed Leading", "", "Boston", "MA", "02134", "02/01/2024",
         b + "0.39", b + "2.40", " ", b + "1.85", b + "4.64", "", ""},
    };
}

class LogFixture : public ::testing::Test {
protected:
    void SetUp() override {
        SetShortDateFormat("MM/dd/yyyy");
        previousFatal_ = SetDbfFatalHandler([this](int code, const std::string&, const std::string& detail) {
            fatalCode = code;
            fatalDetail = detail;
        });
        previousMessage_ = SetDbfMessageHandler([](const std::string&) {});
        logFile = dirs.Path() + "program/Reports/report3.dbf";
        std::filesystem::create_directories(dirs.Path() + "program/Reports");
    }
    void TearDown() override {
        SetDbfFatalHandler(previousFatal_);
        SetDbfMessageHandler(previousMessage_);
    }

    void WriteLog(const std::vector<LoggedPiece>& pieces) { WriteTable(logFile, pieces); }
    static void WriteTable(const std::string& file, const std::vector<LoggedPiece>& pieces) {
        TTzDbf log("TzDbfReport");
        ConfigureMailLog(log, file);
        log.Open();
        for (const LoggedPiece& p : pieces) {
            log.ClearRecord();
            log.SetFieldText("mailernum", p.mailernum);
            log.SetFieldText("sentname0", p.name0);
            log.SetFieldText("sentname1", p.name1);
            log.SetFieldText("sentname2", p.name2);
            log.SetFieldText("sentname3", p.name3);
            log.SetFieldText("city", p.city);
            log.SetFieldText("state", p.state);
            log.SetFieldText("zip", p.zip);
            log.SetFieldText("rdate", p.rdate);
            log.SetFieldText("postage", p.postage);
            log.SetFieldText("certified", p.certified);
            log.SetFieldText("restricted", p.restricted);
            log.SetFieldText("return", p.returnReceipt);
            log.SetFieldText("total", p.total);
            log.SetFieldText("re", p.re);
            log.SetFieldText("comments", p.comments);
            ASSERT_TRUE(log.ALock());
            log.AppendRec();
            log.UnLock();
        }
        log.Close();
    }
    // The article numbers of a table in record order.
    static std::vector<std::string> Numbers(const std::string& file) {
        TTzDbf t;
        t.CreateIfNotFound = false;
        t.SetDbfFileName(file);
        t.Open();
        std::vector<std::string> out;
        for (t.First(); !t.Eof(); t.Next()) out.push_back(t.FieldByName("mailernum").AsString());
        t.Close();
        return out;
    }

    SandboxDirs dirs;
    std::string logFile;
    int fatalCode = 0;
    std::string fatalDetail;

private:
    DbfFatalHandler previousFatal_;
    DbfMessageHandler previousMessage_;
};

}  // namespace gs::test
