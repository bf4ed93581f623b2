// The bytes the table store writes, pinned: a mail log filled record by
// record and an address table whose memos are written the way the import
// writes them (append lock held for the run), then replaced and appended to
// the ordinary way. Faster write paths must leave every byte as it was.
#include "dbftestutil.h"

#include <cstdint>
#include <string>

namespace gs::test {
namespace {

// FNV-1a over the file, with the header's date of last update (bytes 1..3
// of a table) left out: it is today's date.
std::uint64_t Hash(std::string bytes, bool isTable) {
    if (isTable && bytes.size() >= 4) bytes[1] = bytes[2] = bytes[3] = 0;
    std::uint64_t h = 14695981039346656037ull;
    for (unsigned char c : bytes) h = (h ^ c) * 1099511628211ull;
    return h;
}

class GoldenBytesTest : public DbfTest, public ::testing::WithParamInterface<bool> {};

// Texts of every kind a piece can log: long lines that are cut, blanks,
// characters of the OEM code page and ones it lacks, blank and odd dates.
std::string Varied(int i, const char* stem) {
    std::string s = std::string(stem) + " " + std::to_string(i * 7919 % 100003);
    if (i % 3 == 0) s += " \xE9\xFC\xC7\xA3";
    if (i % 5 == 0) s += std::string(static_cast<std::size_t>(i % 40), 'x');
    if (i % 11 == 0) s = "";
    if (i % 13 == 0) s = "   leading blanks";
    return s;
}

TEST_P(GoldenBytesTest, MailLogRecordsKeepTheirBytes) {
    const bool exclusive = GetParam();
    TTzDbf log("TzDbfReport");
    OpenTable(log, "report3.dbf", MailLogFields(), exclusive);
    for (int i = 0; i < 400; ++i) {
        if (i == 200) SetShortDateFormat("dd.MM.yy");
        if (i == 300) SetShortDateFormat("yyyy-MM-dd");
        log.ClearRecord();
        log.SetFieldText("sentname0", Varied(i, "Recipient"));
        log.SetFieldText("SentName1", Varied(i + 1, "Suite"));
        log.SetFieldText(" sentname2 ", Varied(i + 2, "1 Main Street"));
        log.SetFieldText("sentname3", Varied(i + 3, "c/o"));
        log.SetFieldText("city", Varied(i + 4, "Springfield"));
        log.SetFieldText("state", i % 7 ? "IL" : "");
        log.SetFieldText(log.FieldNo("ZIP"), i % 4 ? "62701-1234" : "62701");  // by number: same bytes
        log.SetFieldText("mailernum", "7100 0001 2345 " + std::to_string(1000 + i) + " 0019");
        log.SetFieldText("postage", "          0.39");
        log.SetFieldText("certified", "          2.40");
        log.SetFieldText("restricted", i % 2 ? " " : "          3.20");
        log.SetFieldText("return", "          1.85");
        log.SetFieldText("total", "          4.64");
        log.SetFieldText("comments", Varied(i + 5, "Invoice"));
        log.SetFieldText("re", Varied(i + 6, "Contract"));
        std::string date;
        if (i < 200) date = i % 50 ? "0" + std::to_string(1 + i % 9) + "/" + std::to_string(10 + i % 18) + "/20" + std::to_string(10 + i % 80) : "";
        else if (i < 300) date = std::to_string(10 + i % 18) + ".0" + std::to_string(1 + i % 9) + "." + std::to_string(10 + i % 89);
        else date = std::to_string(1990 + i % 30) + "-1" + std::to_string(i % 3) + "-2" + std::to_string(i % 8);
        log.SetFieldText("rdate", date);
        ASSERT_TRUE(log.ALock());
        log.AppendRec();
        log.UnLock();
    }
    EXPECT_EQ(log.FieldNo("nofield"), -1);
    EXPECT_THROW(log.SetFieldText(-1, "x"), DatasetError);
    EXPECT_THROW(log.SetFieldText(16, "x"), DatasetError);
    log.Close();
    EXPECT_EQ(Hash(ReadFile(Path("report3.dbf")), true), 8781585129089401182u);
}

// Memo lines of lengths around the block size: one block exactly (504
// text bytes), one byte more, several blocks, none at all.
std::vector<std::string> MemoLines(int i) {
    switch (i % 7) {
    case 0: return {};
    case 1: return {"Name " + std::to_string(i), "Street"};
    case 2: return {std::string(504, 'a')};
    case 3: return {std::string(505, 'b')};
    case 4: return {std::string(700, 'c'), std::string(900, 'd'), "\xE9t\xE9"};
    case 5: return {std::string(502, 'e'), ""};
    default: return {"x"};
    }
}

TEST_P(GoldenBytesTest, MemosWrittenInARunThenReplacedKeepTheirBytes) {
    const bool exclusive = GetParam();
    {
        TTzDbf src;
        OpenTable(src, "src.dbf", AddressFields(), true);
        for (int i = 0; i < 9; ++i) {
            src.ClearRecord();
            src.SetFieldText("name", "Source " + std::to_string(i));
            src.SetMField("address", MemoLines(i + 3));
            src.AppendRec();
        }
    }
    TTzDbf t;
    OpenTable(t, "addr.dbf", AddressFields(), exclusive);
    // The import's way: the append lock taken before the first record and
    // kept to the end of the run.
    for (int i = 0; i < 120; ++i) {
        ASSERT_TRUE(t.ALock());
        t.ClearRecord();
        t.SetMField("address", MemoLines(i));
        t.SetFieldText("city", Varied(i, "City"));
        t.SetFieldText("zip", std::to_string(10000 + i));
        t.AppendRec();
    }
    t.UnLock();
    // One record the ordinary way, then memos replaced in place and moved.
    t.ClearRecord();
    t.SetMField("address", {"After", "the run"});
    ASSERT_TRUE(t.ALock());
    t.AppendRec();
    t.UnLock();
    for (std::uint32_t rec : {3u, 4u, 5u, 2u}) {
        t.Go(rec);
        t.Edit();
        t.SetMField("address", MemoLines(static_cast<int>(rec) + 1));
        t.Post();
    }
    ASSERT_TRUE(t.ALock());
    t.AppendFrom(Path("src.dbf"));
    t.UnLock();
    t.Close();
    EXPECT_EQ(Hash(ReadFile(Path("addr.dbf")), true), 9794197884543635978u);
    EXPECT_EQ(Hash(ReadFile(Path("addr.dbt")), false), 17840105199957295802u);
}

INSTANTIATE_TEST_SUITE_P(SharedAndExclusive, GoldenBytesTest, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Exclusive" : "Shared"; });

}  // namespace
}  // namespace gs::test
