#include <cstdio>

#include "dbftestutil.h"

namespace gs::test {
namespace {

// Runs a command and returns its standard output; exit status in *status.
std::string RunCommand(const std::string& cmd, int* status) {
    std::string out;
    FILE* p = popen(cmd.c_str(), "r");
    if (!p) {
        *status = -1;
        return out;
    }
    char buf[4096];
    std::size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
    *status = pclose(p);
    return out;
}

// The python with the dbfread and dbf packages (Debian's python3-dbfread and
// python3-dbf), or empty.
std::string Python() {
    for (const char* py : {"/usr/bin/python3", "python3"}) {
        int st = 0;
        RunCommand(std::string(py) + " -c 'import dbfread, dbf' 2>/dev/null", &st);
        if (st == 0) return py;
    }
    return "";
}

const std::string kScript = std::string(GREENSLIP_DBASE_TESTS_DIR) + "/interop.py";

class InteropTest : public DbfTest {
protected:
    void SetUp() override {
        DbfTest::SetUp();
        python_ = Python();
    }
    std::string python_;
};

TEST_F(InteropTest, DbfreadReadsOurMailLog) {
    if (python_.empty()) GTEST_SKIP() << "python3 with dbfread and dbf not installed (python3-dbfread, python3-dbf)";
    {
        TTzDbf t("TzDbfReport");
        OpenTable(t, "report3.dbf", MailLogFields());
        AddRecord(t, {{"sentname0", "Jos\xe9 M\xfcller"}, {"city", "Springfield"}, {"zip", "12345-6789"},
                      {"rdate", "03/15/2024"}, {"mailernum", "7100 0000 0000 0000 0001"},
                      {"postage", "          0.39"}});
        AddRecord(t, {{"sentname0", "Second"}, {"rdate", ""}});
    }
    int st = 0;
    std::string out = RunCommand(python_ + " " + kScript + " read " + Path("report3.dbf") + " 2>&1", &st);
    ASSERT_EQ(st, 0) << out;
    EXPECT_NE(out.find("COUNT=2\n"), std::string::npos) << out;
    EXPECT_NE(out.find("SENTNAME0=Jos\xc3\xa9 M\xc3\xbcller\n"), std::string::npos) << out;
    EXPECT_NE(out.find("ZIP=12345-6789\n"), std::string::npos) << out;
    EXPECT_NE(out.find("RDATE=2024-03-15\n"), std::string::npos) << out;
    EXPECT_NE(out.find("RDATE=None\n"), std::string::npos) << out;
    EXPECT_NE(out.find("MAILERNUM=7100 0000 0000 0000 0001\n"), std::string::npos) << out;
    EXPECT_NE(out.find("POSTAGE=          0.39\n"), std::string::npos) << out;
}

TEST_F(InteropTest, DbfreadReadsOurAddressTableWithMemos) {
    if (python_.empty()) GTEST_SKIP() << "python3 with dbfread and dbf not installed (python3-dbfread, python3-dbf)";
    {
        TTzDbf t("TzDbfAddress");
        OpenTable(t, "clients.dbf", AddressFields());
        t.ClearRecord();
        t.SetFieldText("name", "Ann");
        t.SetMField("address", {"12 Main St", "Springfield"});
        ASSERT_TRUE(t.ALock());
        t.AppendRec();
        t.UnLock();
    }
    int st = 0;
    std::string out = RunCommand(python_ + " " + kScript + " read " + Path("clients.dbf") + " 2>&1", &st);
    ASSERT_EQ(st, 0) << out;
    EXPECT_NE(out.find("COUNT=1\n"), std::string::npos) << out;
    EXPECT_NE(out.find("NAME=Ann\n"), std::string::npos) << out;
    // dbfread reads dBase IV memos 8 bytes past the text; the text itself
    // comes first.
    EXPECT_NE(out.find("ADDRESS=12 Main St\\r\\nSpringfield"), std::string::npos) << out;
}

TEST_F(InteropTest, OgrinfoReadsOurMailLog) {
    int st = 0;
    RunCommand("ogrinfo --version >/dev/null 2>&1", &st);
    if (st != 0) GTEST_SKIP() << "ogrinfo not installed (gdal-bin)";
    {
        TTzDbf t("TzDbfReport");
        OpenTable(t, "report3.dbf", MailLogFields());
        AddRecord(t, {{"sentname0", "John Smith"}, {"state", "IL"}, {"rdate", "12/01/2023"}});
        AddRecord(t, {{"sentname0", "Jane Roe"}});
    }
    std::string out = RunCommand("ogrinfo -ro -al " + Path("report3.dbf") + " 2>&1", &st);
    ASSERT_EQ(st, 0) << out;
    EXPECT_NE(out.find("Feature Count: 2"), std::string::npos) << out;
    EXPECT_NE(out.find("SENTNAME0 (String) = John Smith"), std::string::npos) << out;
    EXPECT_NE(out.find("STATE (String) = IL"), std::string::npos) << out;
    EXPECT_NE(out.find("RDATE (Date) = 2023/12/01"), std::string::npos) << out;
    EXPECT_NE(out.find("SENTNAME0 (String) = Jane Roe"), std::string::npos) << out;
}

TEST_F(InteropTest, DbaseThreeTablesOfOtherProgramsOpenHere) {
    if (python_.empty()) GTEST_SKIP() << "python3 with dbfread and dbf not installed (python3-dbfread, python3-dbf)";
    int st = 0;
    std::string out = RunCommand(python_ + " " + kScript + " write3 " + dir_ + " 2>&1", &st);
    ASSERT_EQ(st, 0) << out;

    std::string plainBytes = ReadFile(Path("plain.dbf"));
    ASSERT_FALSE(plainBytes.empty());
    EXPECT_EQ(plainBytes[0], 0x03);
    TTzDbf plain;
    plain.CreateIfNotFound = false;
    plain.SetDbfFileName(Path("plain"));
    plain.Open();
    ASSERT_EQ(plain.RecCount(), 2u);
    EXPECT_EQ(plain.FieldByName("name").AsString(), "M\xfcller");
    EXPECT_DOUBLE_EQ(plain.FieldByName("amount").AsFloat(), 12.5);
    EXPECT_EQ(plain.FieldByName("day").AsDate(), (DbfDate {2024, 2, 29}));
    EXPECT_TRUE(plain.FieldByName("ok").AsBoolean());
    plain.Next();
    EXPECT_EQ(plain.FieldByName("name").AsString(), "Smith");
    EXPECT_DOUBLE_EQ(plain.FieldByName("amount").AsFloat(), -3);
    EXPECT_TRUE(plain.FieldByName("day").AsDate().IsBlank());
    EXPECT_FALSE(plain.FieldByName("ok").AsBoolean());

    std::string memoBytes = ReadFile(Path("memo.dbf"));
    EXPECT_EQ(static_cast<unsigned char>(memoBytes[0]), 0x83);
    TTzDbf memo;
    memo.CreateIfNotFound = false;
    memo.SetDbfFileName(Path("memo.dbf"));
    memo.Open();
    ASSERT_EQ(memo.RecCount(), 3u);
    std::vector<std::string> lines;
    memo.GetMField("address", lines);
    EXPECT_EQ(lines, (std::vector<std::string> {"12 Main St", "Springfield"}));
    memo.Next();
    memo.GetMField("address", lines);
    EXPECT_TRUE(lines.empty());
    memo.Next();
    memo.GetMField("address", lines);
    EXPECT_EQ(lines, (std::vector<std::string> {"One line"}));

    // Appending to it keeps it a dBase III table that the other reader accepts.
    memo.ClearRecord();
    memo.SetFieldText("name", "Dee");
    memo.SetMField("address", {"New", "memo"});
    ASSERT_TRUE(memo.ALock());
    memo.AppendRec();
    memo.Close();
    out = RunCommand(python_ + " " + kScript + " read " + Path("memo.dbf") + " 2>&1", &st);
    ASSERT_EQ(st, 0) << out;
    EXPECT_NE(out.find("COUNT=4\n"), std::string::npos) << out;
    EXPECT_NE(out.find("ADDRESS=New\\r\\nmemo\n"), std::string::npos) << out;
    EXPECT_NE(out.find("ADDRESS=12 Main St\\r\\nSpringfield\n"), std::string::npos) << out;
}

}  // namespace
}  // namespace gs::test
