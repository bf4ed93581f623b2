// The address table of address-database mode, without widgets: real tables
// in a private folder.
#include "addresses/addresstable.h"
#include "addresses/pathlabel.h"

#include "dbase/dbftestutil.h"

namespace gs::test {
namespace {

class AddressTableTest : public DbfTest {
protected:
    // A table of n records "Name i" / "City i", written the way the text
    // import writes them (its own field list).
    void MakeTable(const std::string& file, int n) {
        TTzDbf t;
        OpenTable(t, file, {"Address,M,10,0", "City,C,20,0", "State,C,4,0", "Zip,C,10,0"});
        for (int i = 1; i <= n; ++i) {
            t.ClearRecord();
            t.SetMField("Address", {"Name " + std::to_string(i), "Street " + std::to_string(i)});
            t.SetFieldText("City", "City " + std::to_string(i));
            ASSERT_TRUE(t.ALock());
            t.AppendRec();
            t.UnLock();
        }
    }
    static std::string Stored(const std::string& path, std::uint32_t rec, const char* field) {
        TTzDbf t;
        t.CreateIfNotFound = false;
        t.SetDbfFileName(path);
        t.Open();
        t.Go(rec);
        return t.FieldByName(field).AsString();
    }
};

TEST_F(AddressTableTest, NewFileBecomesAnAddressTableWithOneBlankRecord) {
    AddressTable a;
    a.Open(Path("new.dbf"));
    EXPECT_EQ(a.PositionText(), "1/1");
    const std::vector<DbfFieldDef>& f = a.TzDbfAddress.FieldDefs();
    ASSERT_EQ(f.size(), 4u);
    const std::pair<std::string, char> expected[] = {{"ADDRESS", 'M'}, {"CITY", 'C'}, {"STATE", 'C'}, {"ZIP", 'C'}};
    const int lengths[] = {10, 35, 2, 10};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(f[i].name, expected[i].first);
        EXPECT_EQ(f[i].type, expected[i].second);
        EXPECT_EQ(f[i].length, lengths[i]);
    }
    EXPECT_EQ(a.FieldLength(AddressField::City), 35);
    const AddressRecord r = a.Current();
    EXPECT_TRUE(r.addressLines.empty());
    EXPECT_EQ(r.city, "");
    ASSERT_TRUE(a.PackAndClose());
    EXPECT_EQ(ReadFile(Path("new.dbt")).size(), 24u);  // the blank record has no memo
}

TEST_F(AddressTableTest, PositionCountsEveryRecordAndFollowsTheMoves) {
    MakeTable("twelve.dbf", 12);
    AddressTable a;
    a.Open(Path("twelve.dbf"));
    EXPECT_EQ(a.PositionText(), "1/12");
    EXPECT_EQ(a.FieldLength(AddressField::City), 20);  // an imported table's city
    EXPECT_TRUE(a.Last());
    EXPECT_EQ(a.PositionText(), "12/12");
    EXPECT_EQ(a.Current().addressLines, (std::vector<std::string>{"Name 12", "Street 12"}));
    a.Prior();
    a.Prior();
    EXPECT_EQ(a.PositionText(), "10/12");
    EXPECT_EQ(a.Current().city, "City 10");
    a.First();
    EXPECT_EQ(a.PositionText(), "1/12");
}

TEST_F(AddressTableTest, TablesThatCannotServeAreReportedWithoutEndingTheProgram) {
    {
        TTzDbf t;
        OpenTable(t, "nocity.dbf", {"address,M,10,0", "town,C,20,0", "state,C,2,0", "zip,C,10,0"});
        TTzDbf u;
        OpenTable(u, "textaddr.dbf", {"address,C,60,0", "city,C,20,0", "state,C,2,0", "zip,C,10,0"});
    }
    WriteFile(Path("damaged.dbf"), "not a table at all, just some text that is long enough");

    struct Case {
        const char* file;
        const char* error;
    } cases[] = {
        {"nocity.dbf", "TzDbfAddress: Field 'CITY' not found"},
        {"textaddr.dbf", "TzDbfAddress: Type mismatch for field 'ADDRESS', expecting: Memo actual: String"},
    };
    AddressTable a;
    for (const Case& c : cases) {
        try {
            a.Open(Path(c.file));
            ADD_FAILURE() << c.file << " opened";
        } catch (const AddressTableError& e) {
            EXPECT_STREQ(e.what(), c.error);
        }
        EXPECT_FALSE(a.Active());
    }
    try {
        a.Open(Path("damaged.dbf"));
        ADD_FAILURE() << "damaged.dbf opened";
    } catch (const DbfError& e) {
        EXPECT_EQ(e.Code(), dbferr::kNotDbase);
    }
    EXPECT_FALSE(a.Active());
    EXPECT_EQ(lastCode, 0);  // the program-wide handler (the halt) was not reached
    a.Open(Path("new.dbf"));  // and the table serves again
    EXPECT_EQ(a.PositionText(), "1/1");
}

TEST_F(AddressTableTest, TypingStartsAnEditThatMovingPostsAndCancelDiscards) {
    MakeTable("t.dbf", 3);
    AddressTable a;
    a.Open(Path("t.dbf"));
    EXPECT_FALSE(a.Editing());
    a.Change(AddressField::City, "Springfield");
    a.Change(AddressField::Address, "John Smith\n12 Oak Ave");
    EXPECT_TRUE(a.Modified());
    EXPECT_TRUE(a.Next());
    EXPECT_FALSE(a.Editing());
    EXPECT_EQ(Stored(Path("t.dbf"), 1, "CITY"), "Springfield");
    EXPECT_EQ(Stored(Path("t.dbf"), 1, "ADDRESS"), "John Smith\r\n12 Oak Ave");
    EXPECT_EQ(Stored(Path("t.dbf"), 1, "STATE"), "");  // untouched fields stay as they were

    a.Change(AddressField::Zip, "62701-1234");
    a.Cancel();
    EXPECT_EQ(a.Current().zip, "");
    EXPECT_EQ(Stored(Path("t.dbf"), 2, "ZIP"), "");

    // An insert nobody typed into is dropped by a move; Post keeps even a blank one.
    a.Insert();
    a.Last();
    EXPECT_EQ(a.PositionText(), "3/3");
    a.Insert();
    a.Change(AddressField::State, "IL");
    a.First();
    EXPECT_EQ(a.PositionText(), "1/4");
    a.Insert();
    EXPECT_TRUE(a.Post());
    EXPECT_EQ(a.PositionText(), "5/5");
    EXPECT_EQ(Stored(Path("t.dbf"), 4, "STATE"), "IL");
}

TEST_F(AddressTableTest, DeletionMarksToggleUntilThePackRemovesThem) {
    MakeTable("t.dbf", 5);
    AddressTable a;
    a.Open(Path("t.dbf"));
    a.Next();
    a.MarkDeleted();  // record 2
    EXPECT_TRUE(a.IsDeleted());
    a.Next();
    a.MarkDeleted();  // record 3, then taken back
    a.Unmark();
    EXPECT_FALSE(a.IsDeleted());
    a.Next();
    a.MarkDeleted();  // record 4
    EXPECT_EQ(a.PositionText(), "4/5");  // marked records stay visible and counted
    EXPECT_EQ(a.LiveRecordCount(), 3u);
    EXPECT_EQ(a.PositionText(), "4/5");  // counting came back to the record
    ASSERT_TRUE(a.PackAndClose());

    a.Open(Path("t.dbf"));
    std::vector<std::string> cities;
    for (a.First(); !a.Eof(); a.Next()) cities.push_back(a.Current().city);
    EXPECT_EQ(cities, (std::vector<std::string>{"City 1", "City 3", "City 5"}));
}

TEST_F(AddressTableTest, TwoCopiesEditingOneRecordLoseNothing) {
    MakeTable("shared.dbf", 2);
    AddressTable first, second;
    first.Open(Path("shared.dbf"));
    second.Open(Path("shared.dbf"));

    first.Change(AddressField::City, "Boston");     // takes the record's lock
    second.Change(AddressField::City, "Chicago");
    EXPECT_FALSE(second.Next());                     // its post is refused, so it stays
    EXPECT_EQ(messages, std::vector<std::string>{"Lock failed [Post]"});
    EXPECT_TRUE(second.Modified());
    EXPECT_EQ(second.PositionText(), "1/2");
    EXPECT_EQ(Stored(Path("shared.dbf"), 1, "CITY"), "City 1");

    EXPECT_TRUE(first.Post());
    EXPECT_EQ(Stored(Path("shared.dbf"), 1, "CITY"), "Boston");
    EXPECT_TRUE(second.Next());  // the lock is free now: posted, then moved
    EXPECT_EQ(second.PositionText(), "2/2");
    EXPECT_EQ(Stored(Path("shared.dbf"), 1, "CITY"), "Chicago");

    second.MarkDeleted();
    first.Next();
    ASSERT_TRUE(first.PackAndClose());  // another copy has it open: no pack, marks stay
    ASSERT_TRUE(second.PostAndClose());
    TTzDbf t;
    t.SetDbfFileName(Path("shared.dbf"));
    t.Open();
    EXPECT_EQ(t.RecCount(), 2u);
}

TEST_F(AddressTableTest, LabelPathLosesLeadingFoldersOnlyWhenTooWide) {
    const auto width = [](const std::string& s) { return static_cast<int>(s.size()) * 7; };  // 7 px a character
    struct Case {
        std::string path, shown;
    } cases[] = {
        {"/home/ann/Addresses/clients.dbf", "/home/ann/Addresses/clients.dbf"},  // 217 px: whole
        {"/home/ann/Documents/Mailing lists/Customers/2024/clients.dbf",
         ".../Customers/2024/clients.dbf"},  // cut until the rest is no wider than 251 px
        {"/" + std::string(40, 'a') + ".dbf", ".../" + std::string(40, 'a') + ".dbf"},  // the file name stays
    };
    for (const Case& c : cases) EXPECT_EQ(ShortenedTablePath(c.path, width), c.shown) << c.path;
}

}  // namespace
}  // namespace gs::test
