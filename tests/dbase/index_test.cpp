#include <cstring>

#include "dbase/mdxindex.h"
#include "dbftestutil.h"

namespace gs::test {
namespace {

class IndexTest : public DbfTest {
protected:
    void SetUp() override {
        DbfTest::SetUp();
        OpenTable(log_, "report3.dbf", MailLogFields());
        struct Row {
            const char* name;
            const char* date;
            const char* number;
            const char* zip;
        } rows[] = {{"smith", "03/01/2024", "7100 0000 0000 0000 0003", "30301"},
                    {"Adams", "", "7100 0000 0000 0000 0001", "10001"},
                    {"  Zed", "01/15/2023", "7100 0000 0000 0000 0010", "99999"},
                    {"Baker", "12/31/2024", "7100 0000 0000 0000 0002", "02134"},
                    {"adams", "", "7100 0000 0000 0000 0005", "60601"}};
        for (const Row& r : rows)
            AddRecord(log_, {{"sentname0", r.name}, {"rdate", r.date}, {"mailernum", r.number}, {"zip", r.zip}});
    }
    std::vector<std::uint32_t> Order() {
        std::vector<std::uint32_t> recs;
        for (log_.First(); !log_.Eof(); log_.Next()) recs.push_back(log_.RecNo());
        return recs;
    }
    TTzDbf log_ {"TzDbfReport"};
};

TEST_F(IndexTest, OrdersOfTheFourReportKeys) {
    struct Case {
        const char* key;
        const char* file;
        std::vector<std::uint32_t> order;
    } cases[] = {
        {"sentname0", "name", {3, 2, 4, 5, 1}},   // leading blanks first, upper before lower case
        {"rdate", "rdate", {3, 1, 4, 2, 5}},      // blank dates last
        {"MAILERNUM", "mailernum", {2, 4, 1, 5, 3}},
        {"zip", "zip", {4, 2, 1, 5, 3}},
    };
    for (const Case& c : cases) {
        log_.GoTop();
        log_.Next();
        const std::uint32_t before = log_.RecNo();
        ASSERT_TRUE(log_.IndexOnOne(c.key, c.file));
        EXPECT_EQ(log_.RecNo(), before) << "the cursor stays on its record";
        EXPECT_EQ(Order(), c.order) << c.key;
        EXPECT_TRUE(std::filesystem::exists(Path(std::string(c.file) + ".mdx"))) << c.key;
    }
}

TEST_F(IndexTest, FileLayoutFollowsTheMultipleIndexFormat) {
    ASSERT_TRUE(log_.IndexOnOne("mailernum", "mailernum"));
    std::string f = ReadFile(Path("mailernum.mdx"));
    ASSERT_EQ(f.size(), 8u * 512);  // header, tag header, one leaf
    EXPECT_EQ(f[0], 2);
    EXPECT_EQ(f.substr(4, 10), std::string("report3\0\0\0", 10));
    EXPECT_EQ(U16(f, 20), 2u);
    EXPECT_EQ(U16(f, 22), 1024u);
    EXPECT_EQ(f[24], 1);
    EXPECT_EQ(f[25], 48);
    EXPECT_EQ(f[26], 32);
    EXPECT_EQ(f[28], 1);
    EXPECT_EQ(U32(f, 32), 8u);
    EXPECT_EQ(f.substr(512, 32), std::string(32, '\0'));
    EXPECT_EQ(U32(f, 544), 4u);
    EXPECT_EQ(f.substr(548, 11), std::string("DUMMY_TAG\0\0", 11));
    EXPECT_EQ(f[544 + 19], 2);
    EXPECT_EQ(f[544 + 20], 'C');
    const std::size_t th = 2048;
    EXPECT_EQ(U32(f, th), 6u);
    EXPECT_EQ(f[th + 8], 0x10);
    EXPECT_EQ(f[th + 9], 'C');
    EXPECT_EQ(U16(f, th + 12), 25u);
    EXPECT_EQ(U16(f, th + 14), 31u);
    EXPECT_EQ(U16(f, th + 16), 0u);
    EXPECT_EQ(U16(f, th + 18), 32u);
    EXPECT_EQ(f.substr(th + 24, 10), std::string("mailernum\0", 10));
    const std::size_t leaf = 6 * 512;
    EXPECT_EQ(U32(f, leaf), 5u);
    EXPECT_EQ(U32(f, leaf + 8), 2u);
    EXPECT_EQ(f.substr(leaf + 12, 28), std::string("7100 0000 0000 0000 0001 \0\0\0", 28));
    EXPECT_EQ(U32(f, leaf + 8 + 5 * 32), 0u);  // leaf: no trailing child

    ASSERT_TRUE(log_.IndexOnOne("rdate", "rdate"));
    std::string d = ReadFile(Path("rdate.mdx"));
    EXPECT_EQ(U16(d, th + 14), 84u);
    EXPECT_EQ(U16(d, th + 16), 1u);
    EXPECT_EQ(U16(d, th + 18), 12u);
    double first, last;
    std::memcpy(&first, d.data() + leaf + 12, 8);
    std::memcpy(&last, d.data() + leaf + 8 + 4 * 12 + 4, 8);
    EXPECT_EQ(first, 2459960.0);  // 15 January 2023
    EXPECT_EQ(last, 1.0e100);
}

TEST_F(IndexTest, NumericKeysAndTheirBytes) {
    char k[12];
    ASSERT_TRUE(mdx::EncodeNumericKey("123.45", k));
    EXPECT_EQ(std::string(k, 12), std::string("\x37\x15\x12\x34\x50\0\0\0\0\0\0\0", 12));
    ASSERT_TRUE(mdx::EncodeNumericKey("  -7", k));
    EXPECT_EQ(std::string(k, 3), std::string("\x35\x85\x70", 3));
    EXPECT_DOUBLE_EQ(mdx::DecodeNumericKey(k), -7);
    ASSERT_TRUE(mdx::EncodeNumericKey("0.05", k));
    EXPECT_EQ(std::string(k, 3), std::string("\x33\x05\x50", 3));
    EXPECT_DOUBLE_EQ(mdx::DecodeNumericKey(k), 0.05);
    EXPECT_FALSE(mdx::EncodeNumericKey("12a", k));

    TTzDbf t;
    OpenTable(t, "n.dbf", {"v,N,8,2"});
    for (const char* v : {"10", "-2.5", "0", "3.25", "-100", "0.01"}) AddRecord(t, {{"v", v}});
    ASSERT_TRUE(t.IndexOnOne("v", ""));
    EXPECT_TRUE(std::filesystem::exists(Path("n.mdx")));
    std::vector<std::string> seen;
    for (t.First(); !t.Eof(); t.Next()) seen.push_back(t.FieldByName("v").AsString());
    EXPECT_EQ(seen, (std::vector<std::string> {"-100.00", "-2.50", "0.00", "0.01", "3.25", "10.00"}));
}

TEST_F(IndexTest, LargeTreesReadBackThroughTheReader) {
    TTzDbf t;
    OpenTable(t, "big.dbf", {"k,C,30,0", "d,D,8,0"}, true);
    const int n = 5000;
    for (int i = 0; i < n; ++i) {
        char buf[32];
        std::snprintf(buf, sizeof buf, "key%07d", (i * 7919) % n);
        t.ClearRecord();
        t.SetFieldText("k", buf);
        t.AppendRec();
    }
    t.DeleteRec();  // deleted records stay in the order
    ASSERT_TRUE(t.IndexOnOne("k", "big"));
    std::string f = ReadFile(Path("big.mdx"));
    mdx::TagContents tag;
    std::string why;
    ASSERT_TRUE(mdx::ReadTag(f, "dummy_tag", tag, why)) << why;
    ASSERT_EQ(tag.records.size(), static_cast<std::size_t>(n));
    EXPECT_EQ(tag.expression, "k");
    for (std::size_t i = 1; i < tag.records.size(); ++i)
        ASSERT_LT(std::memcmp(&tag.keys[(i - 1) * 30], &tag.keys[i * 30], 30), 0) << i;
    // The root is an inner node: two levels for 5000 keys of 28 per leaf.
    std::uint32_t root = U32(f, 2048);
    EXPECT_NE(U32(f, root * 512 + 8 + U32(f, root * 512) * 36), 0u);
    EXPECT_EQ(U32(f, 32), root + 2);
    int count = 0;
    std::string prev;
    for (t.First(); !t.Eof(); t.Next(), ++count) {
        std::string k = t.GetFieldText("k");
        ASSERT_LT(prev, k);
        prev = k;
    }
    EXPECT_EQ(count, n);
    t.Close();
    t.Open();
    t.SetIndexTo(Path("big.mdx"));
    t.First();
    EXPECT_EQ(t.GetFieldText("k").substr(0, 10), "key0000000");
}

TEST_F(IndexTest, IndexFollowsAppendsChangesAndPack) {
    log_.Close();
    log_.SetExclusive(true);
    log_.Open();
    ASSERT_TRUE(log_.IndexOnOne("sentname0", "name"));
    AddRecord(log_, {{"sentname0", "Aaron"}});  // record 6
    EXPECT_EQ(log_.RecNo(), 6u);
    EXPECT_EQ(Order(), (std::vector<std::uint32_t> {3, 6, 2, 4, 5, 1}));
    log_.GoTop();
    log_.Next();  // Aaron
    log_.Edit();
    log_.SetFieldText("sentname0", "zz top");
    log_.Post();
    EXPECT_EQ(Order(), (std::vector<std::uint32_t> {3, 2, 4, 5, 1, 6}));
    log_.GoTop();
    log_.Next();  // Adams, record 2
    log_.DeleteRec();
    ASSERT_TRUE(log_.Pack());
    std::vector<std::string> names;
    for (log_.First(); !log_.Eof(); log_.Next()) names.push_back(log_.FieldByName("sentname0").AsString());
    EXPECT_EQ(names, (std::vector<std::string> {"  Zed", "Baker", "adams", "smith", "zz top"}));
    log_.Close();

    // The file on disk holds the order kept while it was open.
    TTzDbf again;
    OpenTable(again, "report3.dbf", {});
    again.SetIndexTo(Path("name.mdx"));
    names.clear();
    for (again.First(); !again.Eof(); again.Next()) names.push_back(again.FieldByName("sentname0").AsString());
    EXPECT_EQ(names, (std::vector<std::string> {"  Zed", "Baker", "adams", "smith", "zz top"}));
}

TEST_F(IndexTest, SecondIndexReplacesTheOrderAndLeavesTheFormerFile) {
    ASSERT_TRUE(log_.IndexOnOne("zip", "zip"));
    ASSERT_TRUE(log_.IndexOnOne("zip", "zip"));
    ASSERT_TRUE(log_.IndexOnOne("rdate", "rdate"));
    EXPECT_TRUE(std::filesystem::exists(Path("zip.mdx")));
    EXPECT_EQ(Order(), (std::vector<std::uint32_t> {3, 1, 4, 2, 5}));
    log_.CloseIndexes();
    EXPECT_EQ(Order(), (std::vector<std::uint32_t> {1, 2, 3, 4, 5}));
}

TEST_F(IndexTest, KeyErrors) {
    EXPECT_DBF_ERROR(log_.IndexOnOne(std::string(221, 'x'), "x"), 300);
    EXPECT_EQ(lastDetail, "Expression length exceeds 100 bytes [AddIndexTag()]");
    TTzDbf t;
    OpenTable(t, "k.dbf", {"wide,C,101,0", "flag,L,1,0", "m,M,10,0"});
    EXPECT_DBF_ERROR(t.IndexOnOne("wide", "w"), 266);
    EXPECT_EQ(lastDetail, "Incorrect key length: Must be 1 to 100. [AddIndexTag()]");
    EXPECT_DBF_ERROR(t.IndexOnOne("flag", "w"), 254);
    EXPECT_EQ(lastDetail, "Wrong parser return type [AddIndexTag()]");
    EXPECT_DBF_ERROR(t.IndexOnOne("nosuch", "w"), 220);
    EXPECT_TRUE(t.Active());
    EXPECT_FALSE(t.HasIndex());
}

TEST_F(IndexTest, IndexInUseElsewhereNeedsTheTableExclusively) {
    TTzDbf other;
    OpenTable(other, "report3.dbf", {});
    ASSERT_TRUE(other.IndexOnOne("zip", "zip"));
    // The other copy has zip.mdx open and the table shared: 225.
    EXPECT_DBF_ERROR(log_.IndexOnOne("zip", "zip"), 225);
    EXPECT_EQ(lastDetail, Path("report3.dbf") + " MakeIndex(zip)");
    EXPECT_TRUE(log_.Active());
    // A different name works.
    EXPECT_TRUE(log_.IndexOnOne("zip", "zip2"));
}

TEST_F(IndexTest, CorruptIndexFilesAreReportedNotRead) {
    ASSERT_TRUE(log_.IndexOnOne("zip", "zip"));
    log_.CloseIndexes();
    const std::string good = ReadFile(Path("zip.mdx"));
    struct Case {
        const char* what;
        std::size_t at;
        std::uint32_t value;
    } cases[] = {{"root outside the file", 2048, 999},
                 {"root on the header page", 2048, 1},
                 {"tag header outside", 544, 4000},
                 {"count too large", 6 * 512, 500},
                 {"record number beyond the table", 6 * 512 + 8, 77},
                 {"node size", 20, 0}};
    for (const Case& c : cases) {
        std::string bad = good;
        for (int i = 0; i < 4; ++i) bad[c.at + i] = static_cast<char>((c.value >> (8 * i)) & 0xFF);
        WriteFile(Path("zip.mdx"), bad);
        SCOPED_TRACE(c.what);
        EXPECT_DBF_ERROR(log_.SetIndexTo(Path("zip.mdx")), 222);
        EXPECT_EQ(lastDetail, "Invalid dBASE key expression or corrupted index file " + Path("zip.mdx"));
        EXPECT_FALSE(log_.HasIndex());
    }
    // An inner node pointing back at itself.
    std::string loop = good;
    loop.resize(10 * 512, '\0');
    std::string node(1024, '\0');
    node[0] = 1;
    node[4 + 4] = 8;      // entry 0 -> page 8 (itself)
    node[8 + 16] = 6;     // trailing child: the leaf
    loop.replace(8 * 512, 1024, node);
    loop[2048] = 8;
    WriteFile(Path("zip.mdx"), loop);
    EXPECT_DBF_ERROR(log_.SetIndexTo(Path("zip.mdx")), 222);
    EXPECT_DBF_ERROR(log_.SetIndexTo(Path("absent.mdx")), 2);
    EXPECT_EQ(lastDetail, "SetIndexTo(" + Path("absent.mdx") + ")");
}

}  // namespace
}  // namespace gs::test
