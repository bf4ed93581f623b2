#include <unistd.h>

#include "dbase/dbfdate.h"
#include "dbftestutil.h"
#include "platform/codepage.h"

namespace gs::test {
namespace {

using TableTest = DbfTest;

TEST_F(TableTest, MailLogTableIsCreatedWithTheDocumentedLayout) {
    TTzDbf t("TzDbfReport");
    OpenTable(t, "report3.dbf", MailLogFields());
    EXPECT_TRUE(t.Active());
    EXPECT_TRUE(t.Eof());
    EXPECT_EQ(t.RecCount(), 0u);
    t.Close();

    std::string f = ReadFile(Path("report3.dbf"));
    ASSERT_EQ(f.size(), 546u);  // header and the 1A marker
    EXPECT_EQ(static_cast<unsigned char>(f[0]), 0x03);
    DbfDate today = TodayDate();
    EXPECT_EQ(static_cast<unsigned char>(f[1]), today.year - 1900);
    EXPECT_EQ(f[2], today.month);
    EXPECT_EQ(f[3], today.day);
    EXPECT_EQ(U32(f, 4), 0u);
    EXPECT_EQ(U16(f, 8), 545u);
    EXPECT_EQ(U16(f, 10), 338u);
    EXPECT_EQ(f.substr(12, 20), std::string(20, '\0'));
    // Descriptor of "rdate": upper-case name padded with 00, type D, length 8.
    std::string d = f.substr(32 + 7 * 32, 32);
    EXPECT_EQ(d.substr(0, 11), std::string("RDATE\0\0\0\0\0\0", 11));
    EXPECT_EQ(d[11], 'D');
    EXPECT_EQ(d[16], 8);
    EXPECT_EQ(d.substr(17), std::string(15, '\0'));
    EXPECT_EQ(f[544], 0x0D);
    EXPECT_EQ(f[545], 0x1A);
    EXPECT_FALSE(std::filesystem::exists(Path("report3.DBT")) || std::filesystem::exists(Path("report3.dbt")));
}

TEST_F(TableTest, RecordsAreWrittenByteForByteAndReadBack) {
    TTzDbf t;
    OpenTable(t, "log.dbf", {"name,C,5,0", "amount,N,5,0", "price,N,8,2", "paid,L,1,0", "day,D,8,0"});
    AddRecord(t, {{"name", "Smithers"}, {"amount", "42"}, {"price", "3.5"}, {"paid", "y"}, {"day", "07/04/2024"}});
    AddRecord(t, {{"name", "Al"}, {"amount", "123456"}, {"price", "-1"}, {"paid", "N"}, {"day", ""}});
    t.Close();

    std::string f = ReadFile(Path("log.dbf"));
    const std::size_t hdr = 32 + 5 * 32 + 1, rec = 1 + 5 + 5 + 8 + 1 + 8;
    ASSERT_EQ(f.size(), hdr + 2 * rec + 1);
    EXPECT_EQ(U32(f, 4), 2u);
    EXPECT_EQ(f.substr(hdr, rec), " Smith   42    3.50T20240704");
    EXPECT_EQ(f.substr(hdr + rec, rec), " Al   *****   -1.00F        ");
    EXPECT_EQ(f.back(), 0x1A);

    t.Open();
    EXPECT_EQ(t.RecNo(), 1u);
    EXPECT_EQ(t.GetFieldText("name"), "Smith");
    EXPECT_EQ(t.FieldByName("NAME").AsString(), "Smith");
    EXPECT_EQ(t.GetFieldText("amount"), "   42");
    EXPECT_EQ(t.FieldByName("amount").AsInteger(), 42);
    EXPECT_DOUBLE_EQ(t.FieldByName("price").AsFloat(), 3.5);
    EXPECT_EQ(t.GetFieldText("paid"), "T");
    EXPECT_TRUE(t.FieldByName("paid").AsBoolean());
    EXPECT_EQ(t.GetFieldText("day"), "07/04/2024");
    EXPECT_EQ(t.FieldByName("day").AsDate(), (DbfDate {2024, 7, 4}));
    t.Next();
    EXPECT_EQ(t.RecNo(), 2u);
    EXPECT_EQ(t.GetFieldText("name"), "Al   ");
    EXPECT_EQ(t.FieldByName("name").AsString(), "Al");
    EXPECT_EQ(t.GetFieldText("day"), "  /  /    ");
    EXPECT_TRUE(t.FieldByName("day").AsDate().IsBlank());
    EXPECT_THROW(t.FieldByName("amount").AsFloat(), DatasetError);  // asterisks
    t.Next();
    EXPECT_TRUE(t.Eof());
    EXPECT_EQ(t.RecNo(), 2u);
    t.Prior();
    EXPECT_EQ(t.RecNo(), 1u);
    t.Last();
    EXPECT_EQ(t.RecNo(), 2u);
    t.GoTop();
    EXPECT_EQ(t.RecNo(), 1u);
    EXPECT_THROW(t.FieldByName("nosuch"), DatasetError);
    EXPECT_THROW(t.SetFieldText("amount", "12x"), DatasetError);
    EXPECT_THROW(t.SetFieldText("day", "13/45/2024"), DatasetError);
}

TEST_F(TableTest, TwoDigitYearsFallIntoTheHundredYearWindow) {
    TTzDbf t;
    OpenTable(t, "d.dbf", {"d,D,8,0"});
    struct Case {
        const char* text;
        DbfDate date;
    } cases[] = {{"01/02/56", {1956, 1, 2}}, {"01/02/99", {1999, 1, 2}}, {"01/02/00", {2000, 1, 2}},
                 {"01/02/55", {2055, 1, 2}}, {"1/2/2024", {2024, 1, 2}}, {"  /  /    ", {}}};
    for (const Case& c : cases) {
        t.SetFieldText("d", c.text);
        EXPECT_EQ(t.FieldByName("d").AsDate(), c.date) << c.text;
    }
    SetShortDateFormat("dd.MM.yy");
    t.SetFieldText("d", "31.12.69");
    EXPECT_EQ(t.FieldByName("d").AsDate(), (DbfDate {1969, 12, 31}));
    EXPECT_EQ(t.GetFieldText("d"), "31.12.69");
}

TEST_F(TableTest, OemTablesHoldCodePage437Bytes) {
    const std::string ansi = "M\xfcller \xc9lise \xa3";  // Müller Élise £
    for (TTableLanguage lang : {tlOem, tlAnsi}) {
        std::string file = lang == tlOem ? "oem.dbf" : "ansi.dbf";
        TTzDbf t;
        t.TableLanguage = lang;
        OpenTable(t, file, {"name,C,20,0"});
        AddRecord(t, {{"name", ansi}});
        t.Close();
        std::string f = ReadFile(Path(file));
        std::string stored = f.substr(32 + 32 + 1 + 1, ansi.size());
        EXPECT_EQ(stored, lang == tlOem ? AnsiToOem(ansi) : ansi);
        t.Open();
        EXPECT_EQ(t.FieldByName("name").AsString(), ansi);
    }
    EXPECT_EQ(AnsiToOem("\xfc")[0], '\x81');
}

TEST_F(TableTest, FieldListCorrectionsAndFixedLengths) {
    TTzDbf t("TzDbfAddress");
    OpenTable(t, "c.dbf", {"  averyveryverylongname ,Q,10,0", "num,N,30,20", "small,N,3,2", "big,C,300,1",
                           "rdate,D,10,0", "flag,L,5,2", "skip,X,10,0", "memo,M,4,0", "ok,N,10,2"});
    ASSERT_EQ(messages.size(), 4u);
    EXPECT_EQ(messages[0],
              "Invalid field definition for TzDbfAddress: averyveryv,Q,10,0. Will use corrected definition: "
              "averyveryv,C,10,0");
    EXPECT_EQ(messages[1], "Invalid field definition for TzDbfAddress: num,N,30,20. Will use corrected definition: "
                           "num,N,20,18");
    EXPECT_EQ(messages[2], "Invalid field definition for TzDbfAddress: small,N,3,2. Will use corrected definition: "
                           "small,N,3,1");
    EXPECT_EQ(messages[3], "Invalid field definition for TzDbfAddress: big,C,300,1. Will use corrected definition: "
                           "big,C,254,0");
    const auto& d = t.FieldDefs();
    ASSERT_EQ(d.size(), 8u);
    EXPECT_EQ(d[0].name, "AVERYVERYV");
    struct Expect {
        char type;
        int len, dec;
    } expect[] = {{'C', 10, 0}, {'N', 20, 18}, {'N', 3, 1}, {'C', 254, 0}, {'D', 8, 0}, {'L', 1, 0}, {'M', 10, 0}, {'N', 10, 2}};
    for (std::size_t i = 0; i < d.size(); ++i) {
        EXPECT_EQ(d[i].type, expect[i].type) << i;
        EXPECT_EQ(d[i].length, expect[i].len) << i;
        EXPECT_EQ(d[i].decimals, expect[i].dec) << i;
    }
    t.Close();
    std::string f = ReadFile(Path("c.dbf"));
    EXPECT_EQ(static_cast<unsigned char>(f[0]), 0x8B);
    EXPECT_TRUE(std::filesystem::exists(Path("c.dbt")));
}

TEST_F(TableTest, BadFieldListsMakeCreationFailAndOpeningEnds) {
    const std::vector<std::vector<std::string>> lists = {
        {"name,C,10"}, {"name,C,10,0,1"}, {"name,C,0,0"}, {"name,C,ten,0"}, {}};
    for (const auto& list : lists) {
        messages.clear();
        TTzDbf t;
        t.DbfFields = list;
        t.SetDbfFileName(Path("bad.dbf"));
        EXPECT_DBF_ERROR(t.Open(), 2);
        EXPECT_EQ(lastDetail, "Failure to open " + Path("bad.dbf") + " [USE/OpenDbf]");
        EXPECT_FALSE(t.Active());
        EXPECT_FALSE(std::filesystem::exists(Path("bad.dbf")));
        ASSERT_FALSE(messages.empty());
        EXPECT_EQ(messages.back(), "Could not create \"" + Path("bad.dbf") + "\"");
        if (list.empty()) {
            EXPECT_EQ(messages.front(), "FieldList.Count is <= 0 trying to create a database");
        }
    }
}

TEST_F(TableTest, FileNameGetsTheDbfExtension) {
    TTzDbf t;
    t.SetDbfFileName("  " + Path("plain") + "  ");
    EXPECT_EQ(t.DbfFileName(), Path("plain.DBF"));
    t.SetDbfFileName(Path("dotted."));
    EXPECT_EQ(t.DbfFileName(), Path("dotted."));
    t.DbfFields = {"a,M,10,0"};
    t.SetDbfFileName(Path("Upper"));
    t.Open();
    EXPECT_TRUE(std::filesystem::exists(Path("Upper.DBT")));
}

TEST_F(TableTest, CloseRewritesTheHeaderKeepingBytes16To27) {
    TTzDbf t;
    OpenTable(t, "h.dbf", {"a,C,3,0"});
    t.Close();
    std::string f = ReadFile(Path("h.dbf"));
    for (int i = 12; i < 32; ++i) f[static_cast<std::size_t>(i)] = static_cast<char>(0x40 + i);
    f[1] = 90;  // an old date
    WriteFile(Path("h.dbf"), f);
    t.Open();
    AddRecord(t, {{"a", "xyz"}});
    t.Close();
    std::string g = ReadFile(Path("h.dbf"));
    EXPECT_EQ(g.substr(16, 12), f.substr(16, 12));
    EXPECT_EQ(static_cast<unsigned char>(g[1]), TodayDate().year - 1900);
    EXPECT_EQ(U32(g, 4), 1u);
    EXPECT_EQ(g.size(), 32u + 32 + 1 + 4 + 1);
    EXPECT_EQ(g.back(), 0x1A);

    // Reading only leaves the file as it was.
    t.Open();
    t.Next();
    t.Close();
    EXPECT_EQ(ReadFile(Path("h.dbf")), g);
}

TEST_F(TableTest, AppendNeedsTheAppendLockInSharedModeOnly) {
    TTzDbf t("TzDbfReport");
    OpenTable(t, "a.dbf", {"a,C,3,0"});
    t.ClearRecord();
    t.SetFieldText("a", "x");
    EXPECT_DBF_ERROR(t.AppendRec(), 5);
    EXPECT_EQ(lastDetail, "File must be locked to append: " + Path("a.dbf") + " [APPEND]");
    EXPECT_EQ(t.RecCount(), 0u);
    t.Close();
    t.SetExclusive(true);
    t.Open();
    EXPECT_TRUE(t.ALock());
    t.ClearRecord();
    t.AppendRec();
    EXPECT_EQ(t.RecCount(), 1u);
}

TEST_F(TableTest, OperationsOnAClosedTableReportInvalidOperation) {
    TTzDbf t("TzDbfReport");
    t.SetDbfFileName(Path("x.dbf"));
    struct Op {
        const char* name;
        std::function<void()> run;
    } ops[] = {{"AppendRec", [&] { t.AppendRec(); }},
               {"AppendFrom", [&] { t.AppendFrom(Path("y.dbf")); }},
               {"Pack", [&] { t.Pack(); }},
               {"DeleteRec", [&] { t.DeleteRec(); }},
               {"ClearRecord", [&] { t.ClearRecord(); }},
               {"ALock", [&] { t.ALock(); }},
               {"UnLock", [&] { t.UnLock(); }},
               {"GetMField", [&] { std::vector<std::string> l; t.GetMField("a", l); }},
               {"SetMField", [&] { t.SetMField("a", {}); }},
               {"IndexOnOne", [&] { t.IndexOnOne("a", "a"); }}};
    for (const Op& op : ops) {
        EXPECT_DBF_ERROR(op.run(), 1103);
        EXPECT_EQ(lastDetail, std::string("Database is not open [TzDbfReport.") + op.name + "]");
    }
    EXPECT_EQ(DbfErrorReportText(1103, lastDetail),
              "Error # 1103 (Invalid Operation )\nDatabase is not open [TzDbfReport.IndexOnOne]");
}

TEST_F(TableTest, DeleteAndPack) {
    TTzDbf t;
    OpenTable(t, "p.dbf", {"n,C,4,0"}, true);
    for (const char* v : {"a", "b", "c", "d", "e"}) AddRecord(t, {{"n", v}});
    // Delete b and d.
    t.GoTop();
    t.Next();
    t.DeleteRec();
    EXPECT_TRUE(t.IsDeleted());
    t.Next();
    t.Next();
    t.Delete();
    EXPECT_EQ(t.RecCount(), 5u);
    std::vector<std::string> seen;
    for (t.GoTop(); !t.Eof(); t.Next()) seen.push_back(t.FieldByName("n").AsString() + (t.IsDeleted() ? "*" : ""));
    EXPECT_EQ(seen, (std::vector<std::string> {"a", "b*", "c", "d*", "e"}));
    t.HideDeletedRecs = true;
    seen.clear();
    for (t.GoTop(); !t.Eof(); t.Next()) seen.push_back(t.FieldByName("n").AsString());
    EXPECT_EQ(seen, (std::vector<std::string> {"a", "c", "e"}));
    t.HideDeletedRecs = false;

    EXPECT_TRUE(t.Pack());
    EXPECT_EQ(t.RecCount(), 3u);
    EXPECT_EQ(t.RecNo(), 1u);
    seen.clear();
    for (t.GoTop(); !t.Eof(); t.Next()) seen.push_back(t.FieldByName("n").AsString());
    EXPECT_EQ(seen, (std::vector<std::string> {"a", "c", "e"}));

    for (t.GoTop(); !t.Eof(); t.Next()) t.DeleteRec();
    EXPECT_TRUE(t.Pack());
    EXPECT_TRUE(t.Eof());
    t.Close();
    std::string f = ReadFile(Path("p.dbf"));
    EXPECT_EQ(f.size(), 32u + 32 + 1 + 1);
    EXPECT_EQ(U32(f, 4), 0u);
    EXPECT_EQ(f.back(), 0x1A);
}

TEST_F(TableTest, DeleteRecInSharedModeNeedsTheRecordLock) {
    TTzDbf t;
    OpenTable(t, "s.dbf", {"n,C,4,0"});
    AddRecord(t, {{"n", "a"}});
    t.GoTop();
    EXPECT_DBF_ERROR(t.DeleteRec(), 1200);
    EXPECT_EQ(lastDetail, Path("s.dbf") + " Record not locked [DeleteRec]");
    ASSERT_TRUE(t.LockRecord());
    t.DeleteRec();
    t.UnLock();
    EXPECT_TRUE(t.IsDeleted());
}

TEST_F(TableTest, PackInSharedModeNeedsTheTableToItself) {
    TTzDbf a, b;
    OpenTable(a, "sp.dbf", {"n,C,4,0"});
    OpenTable(b, "sp.dbf", {"n,C,4,0"});
    AddRecord(a, {{"n", "a"}});
    a.GoTop();
    a.Delete();
    EXPECT_FALSE(a.Pack());  // b has it open
    EXPECT_TRUE(a.Active());
    EXPECT_EQ(a.RecCount(), 1u);
    b.Close();
    EXPECT_TRUE(a.Pack());
    EXPECT_EQ(a.RecCount(), 0u);
    EXPECT_FALSE(a.Exclusive());
    // Shared again: another open succeeds.
    b.Open();
    EXPECT_TRUE(b.Active());
}

TEST_F(TableTest, EditPostCancelCycle) {
    TTzDbf t;
    OpenTable(t, "e.dbf", {"n,C,6,0", "v,N,4,0"});
    t.Insert();
    EXPECT_EQ(t.State(), TDataSetState::dsInsert);
    t.FieldByName("n").SetAsString("first");
    t.FieldByName("v").SetAsInteger(7);
    t.Post();  // takes and releases the append lock itself
    EXPECT_EQ(t.RecCount(), 1u);
    EXPECT_EQ(t.State(), TDataSetState::dsBrowse);

    t.Edit();
    t.FieldByName("n").SetAsString("second");
    t.Cancel();
    EXPECT_EQ(t.FieldByName("n").AsString(), "first");
    EXPECT_THROW(t.FieldByName("n").SetAsString("x"), DatasetError);  // browse state

    t.Edit();
    t.FieldByName("n").SetAsString("third");
    t.Post();
    t.Close();
    t.Open();
    EXPECT_EQ(t.FieldByName("n").AsString(), "third");
    EXPECT_EQ(t.FieldByName("v").AsInteger(), 7);

    // Another open holding the record lock makes Post fail with a message.
    TTzDbf other;
    OpenTable(other, "e.dbf", {});
    ASSERT_TRUE(other.LockRecord());
    t.Edit();
    t.FieldByName("n").SetAsString("fourth");
    t.Post();
    EXPECT_EQ(messages.back(), "Lock failed [Post]");
    t.Cancel();
    t.Delete();
    EXPECT_EQ(messages.back(), "Lock failed [Delete]");
    EXPECT_FALSE(t.IsDeleted());
    ASSERT_TRUE(other.ALock());
    t.Insert();
    t.Post();
    EXPECT_EQ(messages.back(), "Lock failed [Insert]");
    EXPECT_EQ(t.RecCount(), 1u);
    t.Cancel();
    t.Close();
    t.Open();
    EXPECT_EQ(t.FieldByName("n").AsString(), "third");
}

TEST_F(TableTest, ClosingDiscardsAnUnpostedRecord) {
    TTzDbf t;
    OpenTable(t, "u.dbf", {"n,C,6,0"});
    AddRecord(t, {{"n", "kept"}});
    t.ClearRecord();
    t.SetFieldText("n", "lost");
    t.Close();
    t.Open();
    EXPECT_EQ(t.RecCount(), 1u);
    EXPECT_EQ(t.FieldByName("n").AsString(), "kept");
}

TEST_F(TableTest, AppendFromCopiesRawOrByFieldName) {
    TTzDbf src;
    OpenTable(src, "src.dbf", {"name,C,10,0", "zip,C,5,0", "note,M,10,0"}, true);
    src.ClearRecord();
    src.SetFieldText("name", "Ann");
    src.SetFieldText("zip", "12345");
    src.SetMField("note", {"line one", "line two"});
    src.AppendRec();
    src.ClearRecord();
    src.SetFieldText("name", "Bob");
    src.AppendRec();
    src.DeleteRec();
    src.Close();

    // Same structure: raw copy, memos copied into this table's memo file.
    TTzDbf same;
    OpenTable(same, "same.dbf", {"name,C,10,0", "zip,C,5,0", "note,M,10,0"}, true);
    AddRecord(same, {{"name", "Zed"}});
    same.GoTop();
    same.AppendFrom(Path("src"));
    EXPECT_EQ(same.RecCount(), 3u);
    EXPECT_EQ(same.RecNo(), 1u);
    same.Next();
    EXPECT_EQ(same.FieldByName("name").AsString(), "Ann");
    std::vector<std::string> lines;
    same.GetMField("note", lines);
    EXPECT_EQ(lines, (std::vector<std::string> {"line one", "line two"}));
    same.Next();
    EXPECT_TRUE(same.IsDeleted());

    // Other structure: by name, unmatched fields blank.
    TTzDbf other;
    OpenTable(other, "other.dbf", {"zip,C,10,0", "extra,C,4,0", "name,C,2,0"}, true);
    other.AppendFrom(Path("src.dbf"));
    ASSERT_EQ(other.RecCount(), 2u);
    other.GoTop();
    EXPECT_EQ(other.GetFieldText("zip"), "12345     ");
    EXPECT_EQ(other.GetFieldText("extra"), "    ");
    EXPECT_EQ(other.GetFieldText("name"), "An");

    EXPECT_DBF_ERROR(other.AppendFrom(Path("missing")), 2);
    EXPECT_EQ(lastDetail, "[AppendFrom(" + Path("missing.DBF") + ")]");
    EXPECT_DBF_ERROR(other.AppendFrom(Path("other.dbf")), 214);
    EXPECT_EQ(lastDetail, "Attempting to append file to itself. [AppendFrom(" + Path("other.dbf") + ")]");
}

TEST_F(TableTest, DefaultHandlerReportsAndEndsTheProcessWithTheCode) {
    SetDbfFatalHandler(nullptr);
    EXPECT_EXIT(
        {
            TTzDbf t;
            t.CreateIfNotFound = false;
            t.SetDbfFileName(Path("none.dbf"));
            t.Open();
        },
        ::testing::ExitedWithCode(2), "Program halted.\nError # 2 \\(File not found\\)\nFailure to open .*none.dbf \\[USE/OpenDbf\\]");
}

}  // namespace
}  // namespace gs::test
