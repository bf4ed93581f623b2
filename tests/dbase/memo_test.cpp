#include <atomic>
#include <chrono>
#include <thread>

#include <sys/wait.h>
#include <unistd.h>


#include "dbftestutil.h"
#include "platform/filelock.h"
#include "dbase/fileio.h"
#include <fcntl.h>

namespace gs::test {
namespace {

class MemoTest : public DbfTest {
protected:
    void OpenAddresses(TTzDbf& t, bool exclusive = true) { OpenTable(t, "addr.dbf", AddressFields(), exclusive); }
    std::string Memo() { return ReadFile(Path("addr.dbt")); }
    // Appends a record whose memo holds the lines.
    void AddMemo(TTzDbf& t, const std::vector<std::string>& lines) {
        t.ClearRecord();
        t.SetMField("address", lines);
        ASSERT_TRUE(t.ALock());
        t.AppendRec();
        t.UnLock();
    }
};

TEST_F(MemoTest, NewMemoFileIsTheTwentyFourByteHeader) {
    TTzDbf t;
    OpenAddresses(t);
    std::string m = Memo();
    ASSERT_EQ(m.size(), 24u);
    EXPECT_EQ(m, std::string("\x01\0\0\0\0\0\0\0addr\0\0\0\0\0\0\x02\x01\x00\x02\0\0", 24));
}

TEST_F(MemoTest, FourLinesGoToBlockOne) {
    TTzDbf t;
    OpenAddresses(t);
    AddMemo(t, {"12345678", "Abcdefgh", "0123456789", "Seventh"});
    t.Close();
    std::string m = Memo();
    ASSERT_EQ(m.size(), 512u + 47);
    EXPECT_EQ(U32(m, 0), 2u);
    EXPECT_EQ(m.substr(512, 8), std::string("\xFF\xFF\x08\x00\x2F\x00\x00\x00", 8));
    EXPECT_EQ(m.substr(520), "12345678\r\nAbcdefgh\r\n0123456789\r\nSeventh");
    EXPECT_EQ(m.substr(24, 488), std::string(488, '\0'));
    std::string f = ReadFile(Path("addr.dbf"));
    const std::size_t hdr = 32 + 5 * 32 + 1;
    EXPECT_EQ(f.substr(hdr + 1 + 30 + 20 + 4 + 10, 10), "         1");

    t.Open();
    std::vector<std::string> lines {"stale"};
    t.GetMField("address", lines);
    EXPECT_EQ(lines, (std::vector<std::string> {"12345678", "Abcdefgh", "0123456789", "Seventh"}));
    EXPECT_EQ(t.FieldByName("address").AsString(), "12345678\r\nAbcdefgh\r\n0123456789\r\nSeventh");
}

TEST_F(MemoTest, BlockAllocation) {
    TTzDbf t;
    OpenAddresses(t);
    const std::string text504(504, 'x');
    AddMemo(t, {text504});                       // block 1, exactly one block
    AddMemo(t, {"second"});                      // block 2
    EXPECT_EQ(U32(Memo(), 0), 3u);
    t.GoTop();
    t.Edit();
    t.SetMField("address", {std::string(504, 'y')});  // counts 1 block, needs 2: moves to the end
    EXPECT_EQ(t.GetFieldText("address"), std::string(504, 'y'));
    t.Post();
    EXPECT_EQ(t.FieldByName("address").AsString().size(), 504u);
    std::string f = ReadFile(Path("addr.dbf"));
    const std::size_t memoAt = 32 + 5 * 32 + 1 + 1 + 30 + 20 + 4 + 10;
    EXPECT_EQ(f.substr(memoAt, 10), "         3");
    EXPECT_EQ(U32(Memo(), 0), 4u);  // 3 x 512 + 512 bytes: the file ends on a block boundary

    // Shorter text keeps the first block; longer moves to the end.
    t.Edit();
    t.SetMField("address", {"short"});
    t.Post();
    EXPECT_EQ(ReadFile(Path("addr.dbf")).substr(memoAt, 10), "         3");
    t.Edit();
    t.SetMField("address", {std::string(1500, 'z')});
    t.Post();
    EXPECT_EQ(ReadFile(Path("addr.dbf")).substr(memoAt, 10), "         4");
    EXPECT_EQ(U32(Memo(), 0), 7u);

    // An empty list stores no memo and writes nothing.
    std::string before = Memo();
    t.Edit();
    t.SetMField("address", {});
    t.Post();
    EXPECT_EQ(Memo(), before);
    EXPECT_TRUE(t.FieldByName("address").IsNull());
    std::vector<std::string> lines {"x"};
    t.GetMField("address", lines);
    EXPECT_TRUE(lines.empty());
}

TEST_F(MemoTest, ImportStyleAppendsNeverOverwriteThePreviousMemo) {
    // SetMField, AppendRec, SetMField, AppendRec without ClearRecord: the second
    // memo must not be written over the first record's memo.
    TTzDbf t;
    OpenAddresses(t);
    t.ALock();
    t.SetMField("address", {"first record"});
    t.AppendRec();
    t.SetMField("address", {"second"});
    t.AppendRec();
    t.GoTop();
    EXPECT_EQ(t.FieldByName("address").AsString(), "first record");
    t.Next();
    EXPECT_EQ(t.FieldByName("address").AsString(), "second");
}

TEST_F(MemoTest, WrongFieldsReportInvalidParameter) {
    TTzDbf t;
    OpenAddresses(t);
    std::vector<std::string> lines;
    EXPECT_DBF_ERROR(t.GetMField("nothere", lines), 220);
    EXPECT_EQ(lastDetail, "Field \"nothere\" not in \"" + Path("addr.dbf") + "\" [GetMField]");
    EXPECT_DBF_ERROR(t.SetMField("name", lines), 220);
    EXPECT_EQ(lastDetail, "\"SetMField()\" expects field \"name\" to be of type:\r\n\"memo\".\"name\" actually is: \"Character\"");
    TTzDbf n;
    OpenTable(n, "num.dbf", {"v,N,8,2", "m,M,10,0"});
    EXPECT_DBF_ERROR(n.GetMField("v", lines), 220);
    EXPECT_EQ(lastDetail, "\"GetMField()\" expects field \"v\" to be of type:\r\n\"memo\".\"v\" actually is: \"Numeric, width: 8 decimals: 2\"");
}

TEST_F(MemoTest, PackKeepsOnlyTheMemosOfRemainingRecords) {
    TTzDbf t;
    OpenAddresses(t);
    AddMemo(t, {"one"});
    AddMemo(t, {std::string(700, 'b')});
    AddMemo(t, {"three", "3"});
    t.GoTop();
    t.Next();
    t.DeleteRec();
    t.GoTop();
    t.Edit();
    t.SetMField("address", {std::string(600, 'a')});  // leaves a hole
    t.Post();
    ASSERT_TRUE(t.Pack());
    EXPECT_FALSE(std::filesystem::exists(Path("addr.$$$")));
    std::string m = Memo();
    EXPECT_EQ(U32(m, 0), 4u);
    EXPECT_EQ(m.size(), 1024u + 512 + 8 + 8);
    EXPECT_EQ(U32(m, 516), 608u);
    t.GoTop();
    EXPECT_EQ(t.GetFieldText("address"), std::string(600, 'a'));
    t.Next();
    std::vector<std::string> lines;
    t.GetMField("address", lines);
    EXPECT_EQ(lines, (std::vector<std::string> {"three", "3"}));
    std::string f = ReadFile(Path("addr.dbf"));
    const std::size_t rec2 = 32 + 5 * 32 + 1 + 75;
    EXPECT_EQ(f.substr(rec2 + 1 + 64, 10), "         3");
}

// Pack reads the records in chunks; a memo that cannot be read in a later
// chunk must not leave the earlier records pointing into a memo file that
// never replaced the old one.
TEST_F(MemoTest, PackThatMeetsADamagedMemoLeavesEveryMemoReadable) {
    const int n = 8200;  // more than one chunk of records
    {
        TTzDbf t;
        OpenAddresses(t);
        for (int i = 1; i <= n; ++i) AddMemo(t, {"m" + std::to_string(i)});
        t.GoTop();
        t.DeleteRec();  // the memos that stay move down one block each
    }
    std::string m = Memo();
    ASSERT_EQ(m.size(), std::size_t(n) * 512 + 8 + 5);
    m.replace(std::size_t(n) * 512, 2, "xy");
    WriteFile(Path("addr.dbt"), m);

    TTzDbf t;
    OpenAddresses(t);
    EXPECT_DBF_ERROR(t.Pack(), 1003);
    EXPECT_EQ(lastDetail, Path("addr.dbt") + " Record # " + std::to_string(n - 1) + " [GetMemo]");
    t.Close();
    EXPECT_EQ(Memo(), m);
    t.Open();
    ASSERT_EQ(t.RecCount(), std::uint32_t(n - 1));
    std::vector<std::string> lines;
    for (int rec : {1, 100, n - 2}) {
        while (static_cast<int>(t.RecNo()) < rec) t.Next();
        t.GetMField("address", lines);
        EXPECT_EQ(lines, std::vector<std::string> {"m" + std::to_string(rec + 1)}) << "record " << rec;
    }
}

TEST_F(MemoTest, MemoTextsAreConvertedForOemTables) {
    TTzDbf t;
    OpenAddresses(t);
    AddMemo(t, {"Stra\xdf" "e", "\xc7" "a va"});
    t.Close();
    std::string m = Memo();
    EXPECT_EQ(m.substr(520), "Stra\xe1" "e\r\n\x80" "a va");
    t.Open();
    std::vector<std::string> lines;
    t.GetMField("address", lines);
    EXPECT_EQ(lines, (std::vector<std::string> {"Stra\xdf" "e", "\xc7" "a va"}));
}

TEST_F(MemoTest, LineBreaksOfOtherProgramsAndTheStreamForm) {
    TTzDbf t;
    t.TableLanguage = tlAnsi;
    OpenAddresses(t);
    t.ClearRecord();
    t.SetMemoText("address", "a\nb\rc\r\nlong\x8D\nline\r\n");
    ASSERT_TRUE(t.ALock());
    t.AppendRec();
    std::vector<std::string> lines;
    t.GetMField("address", lines);
    EXPECT_EQ(lines, (std::vector<std::string> {"a", "b", "c", "longline"}));
    t.Edit();
    t.SetMemoText("address", "");
    t.Post();
    EXPECT_TRUE(t.FieldByName("address").IsNull());
}

TEST_F(MemoTest, SharedWriteFailsWhileTheMemoLockIsHeld) {
    TTzDbf t;
    OpenAddresses(t, false);
    dbfio::FileHandle other;
    ASSERT_TRUE(other.Open(Path("addr.dbt"), O_RDWR));
    ASSERT_TRUE(LockRange(other.Fd(), 10, 1));
    t.ClearRecord();
    EXPECT_DBF_ERROR(t.SetMField("address", {"x"}), 1017);
    EXPECT_EQ(lastDetail, Path("addr.dbt") + " [EditMemo/CloseMemo]");
    EXPECT_EQ(Memo().size(), 24u);

    // A holder that lets go within the retries is waited out: here it lets
    // go during the pause after the third try.
    int tries = 0;
    MemoFile::SetLockPauseForTesting([&](int attempt) {
        tries = attempt;
        if (attempt == 3) UnlockRange(other.Fd(), 10, 1);
    });
    t.SetMField("address", {"x"});
    MemoFile::SetLockPauseForTesting(nullptr);
    EXPECT_EQ(tries, 3);
    EXPECT_EQ(t.GetFieldText("address"), "x");

    // Exclusive tables take no memo lock.
    t.Close();
    ASSERT_TRUE(LockRange(other.Fd(), 10, 1));
    t.SetExclusive(true);
    t.Open();
    t.ClearRecord();
    t.SetMField("address", {"y"});
    EXPECT_EQ(t.GetFieldText("address"), "y");
}

// An import holds the table's append lock for its whole run and keeps the
// memo lock with it. Meanwhile the header's next-block field never names a
// block before one in use (a crash may stop the run at any write), and it
// is exact again once the run ends.
TEST_F(MemoTest, ARunKeepsTheMemoLockAndItsHeaderAheadOfItsBlocks) {
    TTzDbf t;
    OpenAddresses(t, false);
    dbfio::FileHandle other;
    ASSERT_TRUE(other.Open(Path("addr.dbt"), O_RDWR));
    ASSERT_TRUE(t.ALock());
    for (int i = 0; i < 300; ++i) {
        t.ClearRecord();
        t.SetMField("address", {"Name " + std::to_string(i), std::string(static_cast<std::size_t>(i * 7 % 1300), 'x')});
        t.AppendRec();
        const std::string m = Memo();
        ASSERT_GE(U32(m, 0), (m.size() + 511) / 512) << "after memo " << i;
        if (i == 0) {
            EXPECT_FALSE(LockRange(other.Fd(), 10, 1));
        }
    }
    t.UnLock();
    EXPECT_TRUE(LockRange(other.Fd(), 10, 1));
    UnlockRange(other.Fd(), 10, 1);
    const std::string m = Memo();
    EXPECT_EQ(U32(m, 0), (m.size() + 511) / 512);
    t.GoTop();
    for (int i = 0; i < 300; ++i, t.Next()) {
        std::vector<std::string> lines;
        t.GetMField("address", lines);
        ASSERT_EQ(lines.size(), i * 7 % 1300 ? 2u : 1u);
        EXPECT_EQ(lines[0], "Name " + std::to_string(i));
    }
}

// Another copy that wants to write a memo while a run holds the memo lock
// (someone edits an address during an import) is let in between two memos
// of the run instead of failing with "Cannot lock memo file".
TEST_F(MemoTest, AWriterWaitingForTheMemoLockGetsInDuringARun) {
    TTzDbf run;
    OpenAddresses(run, false);
    ASSERT_TRUE(run.ALock());
    run.ClearRecord();
    run.SetMField("address", {"first"});
    run.AppendRec();

    std::atomic<bool> done {false};
    std::atomic<bool> failed {false};
    std::thread editor([&] {
        try {
            TTzDbf t;
            t.SetDbfFileName(Path("addr.dbf"));
            t.Open();
            t.Edit();
            t.SetMField("address", {"edited elsewhere"});
            t.Post();
        } catch (...) {
            failed = true;
        }
        done = true;
    });
    int written = 1;
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!done && std::chrono::steady_clock::now() < until) {
        run.ClearRecord();
        run.SetMField("address", {"run " + std::to_string(written++)});
        run.AppendRec();
    }
    editor.join();
    EXPECT_FALSE(failed);
    for (int i = 0; i < 40; ++i, ++written) {  // the run goes on after it
        run.ClearRecord();
        run.SetMField("address", {"run " + std::to_string(written)});
        run.AppendRec();
    }
    run.UnLock();
    const std::string m = Memo();
    EXPECT_EQ(U32(m, 0), (m.size() + 511) / 512);
    run.GoTop();
    EXPECT_EQ(run.GetFieldText("address"), "edited elsewhere");
    for (int i = 1; i < written; ++i) {
        run.Next();
        ASSERT_EQ(run.GetFieldText("address"), "run " + std::to_string(i));
    }
}

TEST_F(MemoTest, MemoErrorsOnOpenAndRead) {
    TTzDbf t;
    OpenAddresses(t);
    AddMemo(t, {"Line A", "Line B"});
    t.Close();
    const std::size_t memoAt = 32 + 5 * 32 + 1 + 1 + 64;
    const std::string f = ReadFile(Path("addr.dbf"));
    const std::string m = Memo();
    ASSERT_EQ(m.size(), 512u + 8 + 14);
    auto with = [&](std::size_t at, const std::string& bytes) {
        std::string s = m;
        s.replace(at, bytes.size(), bytes);
        return s;
    };
    struct Case {
        const char* what;
        const char* field;
        std::string memo;
    } cases[] = {
        {"block beyond the file", "        99", m},
        {"garbage block number", "       1x ", m},
        {"length past the end", "         1", with(516, std::string("\xFF\0\0\0", 4))},
        // Damaged block headers: their bytes must never come back as text.
        {"header overwritten", "         1", with(512, "xy")},
        {"header marker half gone", "         1", with(514, std::string("\0\0", 2))},
        {"length below the header", "         1", with(516, std::string("\x04\0\0\0", 4))},
        {"header cut short", "         1", m.substr(0, 512 + 6)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::string g = f;
        g.replace(memoAt, 10, c.field);
        WriteFile(Path("addr.dbf"), g);
        WriteFile(Path("addr.dbt"), c.memo);
        t.Open();
        std::vector<std::string> lines {"stale"};
        EXPECT_DBF_ERROR(t.GetMField("address", lines), 1003);
        EXPECT_EQ(lastDetail, Path("addr.dbt") + " Record # 1 [GetMemo]");
        EXPECT_TRUE(lines.empty());
        EXPECT_DBF_ERROR(t.GetFieldText("address"), 1003);
        EXPECT_DBF_ERROR(t.FieldByName("address").AsString(), 1003);
        t.Close();
    }
    std::filesystem::remove(Path("addr.dbt"));
    EXPECT_DBF_ERROR(t.Open(), 2);
    EXPECT_EQ(lastDetail, "Memo file not found: " + Path("addr.dbt") + " [USE]");
    EXPECT_FALSE(t.Active());
}

}  // namespace
}  // namespace gs::test
