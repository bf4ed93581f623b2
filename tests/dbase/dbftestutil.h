#pragma once
// Helpers for the table store's tests: a private folder, a fatal-error
// handler that records the error (the engine then throws DbfError), a
// message recorder, and raw file access.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "dbase/dbferror.h"
#include "dbase/tzdbf.h"

namespace gs::test {

class DbfTest : public ::testing::Test {
protected:
    void SetUp() override {
        char tmpl[] = "/tmp/gsdbf.XXXXXX";
        dir_ = mkdtemp(tmpl);
        dir_ += "/";
        oldFatal_ = SetDbfFatalHandler([this](int code, const std::string&, const std::string& detail) {
            lastCode = code;
            lastDetail = detail;
        });
        oldMessage_ = SetDbfMessageHandler([this](const std::string& text) { messages.push_back(text); });
        SetShortDateFormat("MM/dd/yyyy");
        SetDateWindowBaseYear(2026);
    }
    void TearDown() override {
        SetDbfFatalHandler(oldFatal_);
        SetDbfMessageHandler(oldMessage_);
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
    }

    std::string Path(const std::string& name) const { return dir_ + name; }

    static std::string ReadFile(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    static void WriteFile(const std::string& path, const std::string& bytes) {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    static std::uint32_t U32(const std::string& s, std::size_t at) {
        return static_cast<unsigned char>(s[at]) | (static_cast<unsigned char>(s[at + 1]) << 8) |
               (static_cast<unsigned char>(s[at + 2]) << 16) |
               (static_cast<std::uint32_t>(static_cast<unsigned char>(s[at + 3])) << 24);
    }
    static unsigned U16(const std::string& s, std::size_t at) {
        return static_cast<unsigned char>(s[at]) | (static_cast<unsigned char>(s[at + 1]) << 8);
    }

    // The mail log's sixteen fields.
    static std::vector<std::string> MailLogFields() {
        return {"sentname0,C,30,0", "sentname1,C,30,0", "sentname2,C,30,0", "sentname3,C,30,0",
                "city,C,35,0",      "state,C,4,0",      "zip,C,10,0",       "rdate,D,10,0",
                "mailernum,C,25,0", "postage,C,15,0",   "certified,C,15,0", "restricted,C,15,0",
                "return,C,15,0",    "total,C,15,0",     "comments,C,35,0",  "re,C,25,0"};
    }
    static std::vector<std::string> AddressFields() {
        return {"name,C,30,0", "city,C,20,0", "state,C,4,0", "zip,C,10,0", "address,M,10,0"};
    }

    // Opens a table in this folder with the given fields.
    void OpenTable(TTzDbf& t, const std::string& file, const std::vector<std::string>& fields,
                   bool exclusive = false) {
        t.DbfFields = fields;
        t.SetExclusive(exclusive);
        t.SetDbfFileName(Path(file));
        t.Open();
    }

    // Appends one record with the given field texts under the append lock.
    static void AddRecord(TTzDbf& t, const std::vector<std::pair<std::string, std::string>>& values) {
        t.ClearRecord();
        for (const auto& [name, text] : values) t.SetFieldText(name, text);
        ASSERT_TRUE(t.ALock());
        t.AppendRec();
        t.UnLock();
    }

    std::string dir_;
    int lastCode = 0;
    std::string lastDetail;
    std::vector<std::string> messages;

private:
    DbfFatalHandler oldFatal_;
    DbfMessageHandler oldMessage_;
};

// Runs an expression that must raise an engine error with this code.
#define EXPECT_DBF_ERROR(stmt, expectedCode)                                   \
    do {                                                                       \
        try {                                                                  \
            stmt;                                                              \
            ADD_FAILURE() << "no error from " #stmt;                           \
        } catch (const ::gs::DbfError& e) {                                    \
            EXPECT_EQ(e.Code(), expectedCode) << e.what();                     \
        }                                                                      \
    } while (0)

}  // namespace gs::test
