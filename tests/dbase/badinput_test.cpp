#include <dirent.h>

#include "dbftestutil.h"
#include "fuzz/exercise.h"

namespace gs::test {
namespace {

class BadInputTest : public DbfTest {
protected:
    // A valid two-record table: C(4), N(5,1), D(8).
    std::string GoodTable() {
        {
            TTzDbf t;
            OpenTable(t, "good.dbf", {"name,C,4,0", "num,N,5,1", "day,D,8,0"});
            AddRecord(t, {{"name", "ab"}, {"num", "1.5"}, {"day", "02/03/2024"}});
            AddRecord(t, {{"name", "cd"}, {"num", "2"}, {"day", ""}});
        }
        return ReadFile(Path("good.dbf"));
    }
    void OpenBytes(const std::string& bytes) {
        WriteFile(Path("bad.dbf"), bytes);
        TTzDbf t;
        t.CreateIfNotFound = false;
        t.SetDbfFileName(Path("bad.dbf"));
        t.Open();
    }
};

TEST_F(BadInputTest, DamagedTablesGiveNotADbaseFileErrors) {
    const std::string good = GoodTable();
    const std::size_t hdr = 32 + 3 * 32 + 1, rec = 18;
    ASSERT_EQ(good.size(), hdr + 2 * rec + 1);
    auto with = [&](std::size_t at, std::string bytes) {
        std::string s = good;
        s.replace(at, bytes.size(), bytes);
        return s;
    };
    const std::string name = Path("bad.dbf");
    struct Case {
        const char* what;
        std::string bytes;
        int code;
        std::string detail;
    } cases[] = {
        {"short", good.substr(0, 31), 210, name + " is not a dBASE database. (Prolog is less than 32 bytes) [USE/OpenDBF]"},
        {"empty", "", 210, name + " is not a dBASE database. (Prolog is less than 32 bytes) [USE/OpenDBF]"},
        {"version", with(0, "\x30"), 210, name + " is not a dBASE database.(Invalid version byte)+ [USE/OpenDBF]"},
        {"no fields", with(8, std::string("\x20\x00", 2)), 210,
         name + " is not a dBASE database. (Number of fields is out of range) [Use/OpenDbf]"},
        {"too many fields", with(8, "\xFF\xFF"), 210,
         name + " is not a dBASE database. (Number of fields is out of range) [Use/OpenDbf]"},
        {"header past the end", good.substr(0, 80), 210,
         name + " is not a dBASE database. (Header is larger than the file) [USE/OpenDBF]"},
        {"count too large", with(4, "\x03"), 210,
         name + " is not a dBASE database. (Record count is larger than the file) [USE/OpenDBF]"},
        {"truncated last record", good.substr(0, hdr + rec + 10), 210,
         name + " is not a dBASE database. (Record count is larger than the file) [USE/OpenDBF]"},
        {"record length too small", with(10, "\x05"), 210,
         name + " is not a dBASE database. (Record length does not match the fields) [USE/OpenDBF]"},
        {"unknown type", with(32 + 32 + 11, "Z"), 211, name + ": field NUM: \"Z\" is not a valid field type"},
        {"date of wrong length", with(32 + 64 + 16, "\x05"), 211,
         name + ": field DAY: length 5 is not a valid field type"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_DBF_ERROR(OpenBytes(c.bytes), c.code);
        EXPECT_EQ(lastDetail, c.detail);
    }
}

TEST_F(BadInputTest, GarbageInNumberAndDateFieldsIsReportedNotGuessed) {
    std::string bytes = GoodTable();
    const std::size_t rec1 = 32 + 3 * 32 + 1;
    bytes.replace(rec1 + 1 + 4, 5, "1x.5 ");
    bytes.replace(rec1 + 1 + 9, 8, "2024AB03");
    WriteFile(Path("bad.dbf"), bytes);
    TTzDbf t;
    t.SetDbfFileName(Path("bad.dbf"));
    t.Open();
    EXPECT_THROW(t.FieldByName("num").AsFloat(), DatasetError);
    EXPECT_THROW(t.FieldByName("day").AsDate(), DatasetError);
    EXPECT_THROW(t.GetFieldText("day"), DatasetError);
    EXPECT_THROW(t.IndexOnOne("day", "day"), DatasetError);
    EXPECT_FALSE(t.HasIndex());
    t.Next();
    EXPECT_DOUBLE_EQ(t.FieldByName("num").AsFloat(), 2.0);
    // The table stays usable after the failures.
    EXPECT_TRUE(t.IndexOnOne("name", "name"));
}

TEST_F(BadInputTest, AutoFixRecCountTakesTheCountFromTheFileSize) {
    std::string bytes = GoodTable();
    bytes[4] = 9;
    WriteFile(Path("fix.dbf"), bytes);
    TTzDbf t;
    t.AutoFixRecCount = true;
    t.SetDbfFileName(Path("fix.dbf"));
    t.Open();
    EXPECT_EQ(t.RecCount(), 2u);
}

// Inputs kept from fuzzing (and hand-made seeds) replay through the same
// code as the fuzzer; they must end in reported errors, never a crash.
TEST_F(BadInputTest, FuzzCorpusReplays) {
    const std::string corpus = std::string(GREENSLIP_DBASE_CORPUS) + "/";
    DIR* d = opendir(corpus.c_str());
    ASSERT_NE(d, nullptr) << corpus;
    int n = 0;
    while (dirent* e = readdir(d)) {
        if (e->d_name[0] == '.') continue;
        std::string bytes = ReadFile(corpus + e->d_name);
        SCOPED_TRACE(e->d_name);
        fuzz::ExerciseBytes(dir_, reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
        ++n;
    }
    closedir(d);
    EXPECT_GT(n, 0);
}

}  // namespace
}  // namespace gs::test
