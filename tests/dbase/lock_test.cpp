#include <algorithm>

#include <sys/wait.h>
#include <unistd.h>

#include "dbftestutil.h"

namespace gs::test {
namespace {

using LockTest = DbfTest;

TEST_F(LockTest, ShareModesConflict) {
    TTzDbf shared1, shared2, excl;
    OpenTable(shared1, "s.dbf", {"a,C,2,0"});
    OpenTable(shared2, "s.dbf", {});
    EXPECT_TRUE(shared2.Active());
    excl.SetExclusive(true);
    excl.SetDbfFileName(Path("s.dbf"));
    EXPECT_DBF_ERROR(excl.Open(), 32);
    EXPECT_EQ(lastDetail, "Failure to open " + Path("s.dbf") + " [USE/OpenDbf]");
    EXPECT_FALSE(excl.Active());
    shared1.Close();
    shared2.Close();
    excl.Open();
    EXPECT_TRUE(excl.Active());
    EXPECT_DBF_ERROR(shared1.Open(), 32);
    excl.SetExclusive(false);  // reopens shared
    EXPECT_TRUE(excl.Active());
    shared1.Open();
    EXPECT_TRUE(shared1.Active());
}

TEST_F(LockTest, AppendLockIsOneAttemptAndUnLockReleasesIt) {
    TTzDbf a, b;
    OpenTable(a, "l.dbf", {"a,C,2,0"});
    OpenTable(b, "l.dbf", {});
    ASSERT_TRUE(a.ALock());
    EXPECT_FALSE(b.ALock());
    // The mail log skips the record when the lock is refused.
    b.ClearRecord();
    b.SetFieldText("a", "b");
    EXPECT_DBF_ERROR(b.AppendRec(), 5);
    a.UnLock();
    EXPECT_TRUE(b.ALock());
    b.AppendRec();
    b.UnLock();
    EXPECT_EQ(a.RecCount(), 1u);  // recounted from the file size
    // Closing releases the locks as well.
    ASSERT_TRUE(a.ALock());
    a.Close();
    EXPECT_TRUE(b.ALock());
}

TEST_F(LockTest, InterleavedWritersKeepEveryRecord) {
    TTzDbf a, b;
    OpenTable(a, "w.dbf", MailLogFields());
    OpenTable(b, "w.dbf", {});
    const int perWriter = 5000;
    for (int i = 0; i < perWriter; ++i) {
        for (TTzDbf* t : {&a, &b}) {
            t->ClearRecord();
            t->SetFieldText("sentname0", (t == &a ? "A" : "B") + std::to_string(i));
            t->SetFieldText("mailernum", std::to_string(i));
            ASSERT_TRUE(t->ALock());
            t->AppendRec();
            t->UnLock();
        }
    }
    a.Close();
    b.Close();
    std::string f = ReadFile(Path("w.dbf"));
    EXPECT_EQ(U32(f, 4), 2u * perWriter);
    EXPECT_EQ(f.size(), 545u + 338u * 2 * perWriter + 1);
    TTzDbf r;
    OpenTable(r, "w.dbf", {});
    int n = 0;
    for (r.First(); !r.Eof(); r.Next(), ++n) {
        std::string expect = std::string(n % 2 == 0 ? "A" : "B") + std::to_string(n / 2);
        ASSERT_EQ(r.FieldByName("sentname0").AsString(), expect);
        ASSERT_EQ(r.FieldByName("mailernum").AsString(), std::to_string(n / 2));
    }
    EXPECT_EQ(n, 2 * perWriter);
}

// A copy reading the log in key order sees what another copy writes: a
// rewritten record as soon as it reads it again, appended records from the
// next First on, in their place in the order.
TEST_F(LockTest, ReaderInKeyOrderSeesTheWritesOfAnotherCopy) {
    TTzDbf writer, reader;
    OpenTable(writer, "k.dbf", {"name,C,10,0", "city,C,10,0"});
    OpenTable(reader, "k.dbf", {});
    for (const char* name : {"c", "a", "b"}) AddRecord(writer, {{"name", name}, {"city", "old"}});
    ASSERT_TRUE(reader.IndexOnOne("name", "name"));
    auto order = [&]() {
        std::string seen;
        for (reader.First(); !reader.Eof(); reader.Next())
            seen += reader.GetFieldText("name").substr(0, 2) + "=" + reader.FieldByName("city").AsString() + " ";
        return seen;
    };
    EXPECT_EQ(order(), "a =old b =old c =old ");

    reader.First();
    reader.Next();
    ASSERT_EQ(reader.RecNo(), 3u);
    writer.Last();
    writer.Edit();
    writer.SetFieldText("city", "new");
    writer.Post();
    EXPECT_EQ(reader.FieldByName("city").AsString(), "old");  // the buffer read before
    reader.Prior();
    reader.Next();
    EXPECT_EQ(reader.FieldByName("city").AsString(), "new");

    for (const char* name : {"aa", "d"}) AddRecord(writer, {{"name", name}, {"city", "app"}});
    EXPECT_EQ(order(), "a =old aa=app b =new c =old d =app ");
    EXPECT_EQ(reader.RecCount(), 5u);
}

TEST_F(LockTest, TwoProcessesAppendingToOneTable) {
    {
        TTzDbf t;
        OpenTable(t, "p.dbf", {"who,C,1,0", "n,N,6,0"});
    }
    const int perProcess = 2000;
    auto writer = [&](const char* who) {
        TTzDbf t;
        t.SetDbfFileName(Path("p.dbf"));
        t.Open();
        for (int i = 0; i < perProcess; ++i) {
            t.ClearRecord();
            t.SetFieldText("who", who);
            t.SetFieldText("n", std::to_string(i));
            while (!t.ALock()) usleep(50);
            t.AppendRec();
            t.UnLock();
        }
        t.Close();
    };
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        writer("C");
        _exit(0);
    }
    writer("P");
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    TTzDbf r;
    r.SetDbfFileName(Path("p.dbf"));
    r.Open();
    EXPECT_EQ(r.RecCount(), 2u * perProcess);
    int next[2] = {0, 0};
    for (r.First(); !r.Eof(); r.Next()) {
        int w = r.FieldByName("who").AsString() == "C" ? 1 : 0;
        ASSERT_EQ(r.FieldByName("n").AsInteger(), next[w]++);
    }
    EXPECT_EQ(next[0], perProcess);
    EXPECT_EQ(next[1], perProcess);
    r.Close();
    std::string f = ReadFile(Path("p.dbf"));
    EXPECT_EQ(U32(f, 4), 2u * perProcess);
}

// The first pieces into a log folder that several computers share: every
// copy finds no table and creates one. Each must open the whole table, not
// a file another copy has only begun to write, and none is told that it
// could not create it.
TEST_F(LockTest, CopiesCreatingAMissingTableAtOnceAllOpenTheWholeTable) {
    const int rounds = 1000;
    // 0: the whole table opened quietly; 1: a message; 2: a broken open.
    auto openNew = [&](int round) {
        messages.clear();
        TTzDbf t;
        t.DbfFields = MailLogFields();
        t.SetDbfFileName(Path("log" + std::to_string(round) + ".dbf"));
        try {
            t.Open();
        } catch (const DbfError&) {
            return 2;
        }
        const bool whole = t.FieldCount() == 16;
        t.Close();
        return !whole ? 2 : messages.empty() ? 0 : 1;
    };
    int go[2], ready[2];
    ASSERT_EQ(pipe(go), 0);
    ASSERT_EQ(pipe(ready), 0);
    pid_t child = fork();
    ASSERT_GE(child, 0);
    char byte = 0;
    if (child == 0) {
        int worst = 0;
        for (int i = 0; i < rounds; ++i) {
            if (write(ready[1], &byte, 1) != 1 || read(go[0], &byte, 1) != 1) _exit(100);
            worst = std::max(worst, openNew(i));
        }
        _exit(worst);
    }
    int counts[3] = {0, 0, 0};
    for (int i = 0; i < rounds; ++i) {
        ASSERT_EQ(read(ready[0], &byte, 1), 1);
        ASSERT_EQ(write(go[1], &byte, 1), 1);  // both start at once
        ++counts[openNew(i)];
    }
    int status = 0;
    waitpid(child, &status, 0);
    for (int fd : {go[0], go[1], ready[0], ready[1]}) close(fd);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(counts[2], 0) << "broken opens";
    EXPECT_EQ(counts[1], 0) << "messages";
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the other copy's worst outcome";
}

TEST_F(LockTest, RecordLocksCoverTheirRecordOnly) {
    TTzDbf a, b;
    OpenTable(a, "r.dbf", {"a,C,2,0"});
    OpenTable(b, "r.dbf", {});
    for (const char* v : {"1", "2"}) AddRecord(a, {{"a", v}});
    a.GoTop();
    b.GoTop();
    ASSERT_TRUE(a.LockRecord());
    EXPECT_FALSE(b.LockRecord());
    b.Next();
    EXPECT_TRUE(b.LockRecord());
    EXPECT_TRUE(b.ALock());  // the append lock is a byte of its own
}


TEST_F(LockTest, PostDeleteAndRecallNeedTheRecordLockOfAnotherCopy) {
    TTzDbf a, b;
    OpenTable(a, "r.dbf", {"a,C,2,0"});
    OpenTable(b, "r.dbf", {});
    for (const char* v : {"1", "2"}) AddRecord(a, {{"a", v}});
    a.GoTop();
    b.GoTop();
    ASSERT_TRUE(a.LockRecord());  // a copy in the middle of editing record 1

    b.Delete();
    b.Edit();
    b.SetFieldText("a", "x");
    b.Post();
    EXPECT_EQ(messages, (std::vector<std::string>{"Lock failed [Delete]", "Lock failed [Post]"}));
    EXPECT_EQ(b.State(), TDataSetState::dsEdit);  // the edit is kept
    b.Next();                                      // and a move does not drop it
    EXPECT_EQ(b.RecNo(), 1u);
    EXPECT_EQ(b.GetFieldText("a"), "x ");

    a.UnLock();
    b.Next();  // posts now, then moves
    EXPECT_EQ(b.RecNo(), 2u);
    b.Delete();
    EXPECT_TRUE(b.IsDeleted());
    b.Recall();
    EXPECT_FALSE(b.IsDeleted());
    b.Delete();
    a.Refresh();  // a sees what b wrote
    EXPECT_EQ(a.GetFieldText("a"), "x ");
    a.Go(2);
    EXPECT_TRUE(a.IsDeleted());
    ASSERT_TRUE(a.LockRecord());
    b.Recall();
    EXPECT_EQ(messages.back(), "Lock failed [Delete]");
    EXPECT_TRUE(b.IsDeleted());
    a.Go(3);
    EXPECT_TRUE(a.Eof());
}

}  // namespace
}  // namespace gs::test
