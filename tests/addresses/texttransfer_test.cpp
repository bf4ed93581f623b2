#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "addresses/textexport.h"
#include "addresses/textimport.h"
#include "dbase/dbftestutil.h"

namespace gs {
namespace {

using test::DbfTest;

struct Address {
    std::vector<std::string> memo;
    std::string city, state, zip;
    bool deleted = false;
    bool operator==(const Address&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Address& a) {
    os << "{";
    for (const auto& l : a.memo) os << "[" << l << "]";
    return os << " " << a.city << "|" << a.state << "|" << a.zip << (a.deleted ? " deleted" : "") << "}";
}

class TextTransferTest : public DbfTest {
protected:
    std::vector<Address> ReadTable(const std::string& file) {
        TTzDbf t;
        t.CreateIfNotFound = false;
        t.SetDbfFileName(Path(file));
        t.Open();
        std::vector<Address> out;
        for (t.GoTop(); !t.Eof(); t.Next()) {
            Address a;
            t.GetMField("Address", a.memo);
            a.city = t.FieldByName("City").AsString();
            a.state = t.FieldByName("State").AsString();
            a.zip = t.FieldByName("Zip").AsString();
            a.deleted = t.IsDeleted();
            out.push_back(a);
        }
        return out;
    }
    ImportOutcome Import(const std::string& text, const std::string& table, ImportTarget target,
                         const TransferProgress& progress = {}) {
        ImportTextReader reader = ImportTextReader::FromBytes(text);
        return ImportTextIntoTable(reader, Path(table), target, progress);
    }
    // A table of the address-database mode's kind with these records.
    void MakeTable(const std::string& file, const std::vector<Address>& records,
                   std::vector<std::string> fields = {"address,M,10,0", "city,C,35,0", "state,C,2,0", "zip,C,10,0"}) {
        TTzDbf t;
        OpenTable(t, file, fields);
        for (const Address& a : records) {
            t.ClearRecord();
            t.SetMField("address", a.memo);
            if (t.FindField("city")) t.SetFieldText("city", a.city);
            if (t.FindField("state")) t.SetFieldText("state", a.state);
            if (t.FindField("zip")) t.SetFieldText("zip", a.zip);
            ASSERT_TRUE(t.ALock());
            t.AppendRec();
            t.UnLock();
        }
    }
};

const std::string kThreeLines =
    "\"John Smith\",\"12 Main St\",\"\",\"\",\"Springfield\",\"IL\",\"62701\"\r\n"
    "\"Ann Lee\",\"\",\"Suite 4\",\"\",\"Dover\",\"DE\",\"19901\"\r\n"
    "Jos\xE9 Ruiz,PO Box 9,,,Santa Fe,NM,87501-1234";

TEST_F(TextTransferTest, NewTableGetsTheImportFieldsAndOneRecordPerLine) {
    const ImportOutcome r = Import(kThreeLines, "clients.dbf", ImportTarget::NewTable);
    EXPECT_EQ(r.records, 3u);
    EXPECT_FALSE(r.cancelled);

    const std::string dbf = ReadFile(Path("clients.dbf"));
    EXPECT_EQ(static_cast<unsigned char>(dbf[0]), 0x8B);
    EXPECT_EQ(U32(dbf, 4), 3u);
    EXPECT_EQ(U16(dbf, 8), 32u * 5 + 1);
    EXPECT_EQ(U16(dbf, 10), 1u + 10 + 20 + 4 + 10);
    const char* names[] = {"ADDRESS", "CITY", "STATE", "ZIP"};
    const char types[] = {'M', 'C', 'C', 'C'};
    const int lengths[] = {10, 20, 4, 10};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(std::string(dbf.c_str() + 32 + 32 * i), names[i]);
        EXPECT_EQ(dbf[32 + 32 * i + 11], types[i]);
        EXPECT_EQ(dbf[32 + 32 * i + 16], lengths[i]);
    }
    // Third record: memo in block 3, the city padded, the ZIP as it stood.
    const std::size_t rec3 = 161 + 2 * 45;
    EXPECT_EQ(dbf.substr(rec3, 45), std::string(" ") + "         3" + "Santa Fe            " + "NM  " + "87501-1234");
    EXPECT_EQ(static_cast<unsigned char>(dbf[rec3 + 45]), 0x1A);
    // The memo file holds the OEM text: é is 82 in code page 437.
    EXPECT_NE(ReadFile(Path("clients.dbt")).find("Jos\x82 Ruiz\r\nPO Box 9"), std::string::npos);

    EXPECT_EQ(ReadTable("clients.dbf"), (std::vector<Address>{
                                            {{"John Smith", "12 Main St"}, "Springfield", "IL", "62701"},
                                            {{"Ann Lee", "Suite 4"}, "Dover", "DE", "19901"},
                                            {{"Jos\xE9 Ruiz", "PO Box 9"}, "Santa Fe", "NM", "87501-1234"},
                                        }));
}

TEST_F(TextTransferTest, EveryLineGivesARecordShortOnesBlank) {
    const std::string text =
        "a,b,c,d,e,f\n"           // six fields: short
        "\n"                      // empty
        "no commas here\n"
        "a,  ,b,\t,City,ST,\n"    // blank name fields skipped, empty ZIP
        ",,,,,,\n"                // seven empty fields
        "1,2,3,4,A very long city name indeed,STATE,1234567890123\n";
    EXPECT_EQ(Import(text, "t.dbf", ImportTarget::NewTable).records, 6u);
    const Address blank{};
    EXPECT_EQ(ReadTable("t.dbf"), (std::vector<Address>{
                                      blank,
                                      blank,
                                      blank,
                                      {{"a", "b"}, "City", "ST", ""},
                                      blank,
                                      {{"1", "2", "3", "4"}, "A very long city nam", "STAT", "1234567890"},
                                  }));
}

TEST_F(TextTransferTest, AppendKeepsTheRecordsAndAddsCleanOnes) {
    // The first record carries a deletion mark and a name: neither may leak
    // into the imported records.
    MakeTable("old.dbf", {{{"Old One"}, "Paris", "TX", "75460"}, {{"Old Two"}, "Rome", "GA", "30161"}},
              {"name,C,30,0", "address,M,10,0", "city,C,35,0", "state,C,2,0", "zip,C,10,0"});
    {
        TTzDbf t;
        OpenTable(t, "old.dbf", {});
        t.SetFieldText("name", "Kept Name");
        t.Post();
        t.SetExclusive(true);
        t.GoTop();
        t.DeleteRec();
    }
    EXPECT_EQ(Import(kThreeLines, "old.dbf", ImportTarget::Append).records, 3u);

    TTzDbf t;
    OpenTable(t, "old.dbf", {});
    ASSERT_EQ(t.RecCount(), 5u);
    t.GoTop();
    EXPECT_TRUE(t.IsDeleted());
    EXPECT_EQ(t.GetFieldText("name"), "Kept Name" + std::string(21, ' '));
    t.Next();
    EXPECT_EQ(t.GetFieldText("city").substr(0, 4), "Rome");
    for (int i = 0; i < 3; ++i) {
        t.Next();
        EXPECT_FALSE(t.IsDeleted());
        EXPECT_EQ(t.GetFieldText("name"), std::string(30, ' '));
    }
    EXPECT_EQ(t.GetFieldText("city").substr(0, 8), "Santa Fe");
    EXPECT_EQ(t.FieldByName("state").Size(), 2);  // the table keeps its own fields: "NM" fits
}

TEST_F(TextTransferTest, OverwriteLeavesOnlyTheImportedRecords) {
    MakeTable("old.dbf", {{{"Old One"}, "Paris", "TX", "75460"}, {{"Old Two"}, "Rome", "GA", "30161"}});
    EXPECT_EQ(Import("x,,,,Ames,IA,50010\n", "old.dbf", ImportTarget::Overwrite).records, 1u);
    EXPECT_EQ(ReadTable("old.dbf"), (std::vector<Address>{{{"x"}, "Ames", "IA", "50010"}}));
    TTzDbf t;
    OpenTable(t, "old.dbf", {});
    EXPECT_EQ(t.FieldByName("city").Size(), 20);  // the import's fields, not the old 35
}

TEST_F(TextTransferTest, TableNameWithoutExtensionIsTheOneTheStoreOpens) {
    EXPECT_EQ(ImportTableFileName(Path("clients")), Path("clients.DBF"));
    MakeTable("other.dbf", {});
    EXPECT_EQ(ImportTableFileName(Path("other")), Path("other.dbf"));
    EXPECT_EQ(Import("a,b,c,d,e,f,g", "clients", ImportTarget::NewTable).records, 1u);
    EXPECT_TRUE(std::filesystem::exists(Path("clients.DBF")));
}

TEST_F(TextTransferTest, Utf8TextIsStoredInTheTablesCodePage) {
    const ImportOutcome r =
        Import("\xEF\xBB\xBF\"Jos\xC3\xA9\",,,,\"\xC5\x81\xC3\xB3\x64\xC5\xBA\",,\n\"Ann\",,,,K\xC3\xB6ln,,\n",
               "u.dbf", ImportTarget::NewTable);
    EXPECT_EQ(r.unmappableLines, 1u);
    EXPECT_EQ(ReadTable("u.dbf"), (std::vector<Address>{{{"Jos\xE9"}, "?\xF3" "d?", "", ""},
                                                        {{"Ann"}, "K\xF6ln", "", ""}}));
}

TEST_F(TextTransferTest, MissingFieldInAnAppendedTableFailsAtTheFirstRecord) {
    MakeTable("nozip.dbf", {{{"Old"}, "Paris", "TX", ""}}, {"address,M,10,0", "city,C,35,0", "state,C,2,0"});
    try {
        Import(kThreeLines, "nozip.dbf", ImportTarget::Append);
        FAIL() << "no error";
    } catch (const DatasetError& e) {
        EXPECT_STREQ(e.what(), "Field 'Zip' not found");
    }
    TTzDbf t;
    OpenTable(t, "nozip.dbf", {});
    EXPECT_EQ(t.RecCount(), 1u);
}

TEST_F(TextTransferTest, AppendLockHeldElsewhereEndsTheImportWithAMessage) {
    MakeTable("busy.dbf", {});
    TTzDbf other;
    OpenTable(other, "busy.dbf", {});
    ASSERT_TRUE(other.ALock());
    ImportTextReader reader = ImportTextReader::FromBytes(kThreeLines);
    try {
        ImportTextIntoTable(reader, Path("busy.dbf"), ImportTarget::Append, {}, std::chrono::milliseconds(60));
        FAIL() << "no error";
    } catch (const TextTransferError& e) {
        EXPECT_EQ(std::string(e.what()),
                  "The table \"" + Path("busy.dbf") + "\" is locked by another user. Please try again later.");
    }
    EXPECT_EQ(lastCode, 0);  // never appended without the lock
    EXPECT_EQ(other.RecCount(), 0u);
}

TEST_F(TextTransferTest, OverwriteThatCannotDeleteTheFileFails) {
    std::filesystem::create_directories(Path("dir.dbf/inside"));
    EXPECT_THROW(Import(kThreeLines, "dir.dbf", ImportTarget::Overwrite), TextTransferError);
}

TEST_F(TextTransferTest, ProgressReportsAndCancelKeepsWhatWasWritten) {
    std::string text;
    for (int i = 0; i < 2500; ++i) text += "n" + std::to_string(i) + ",,,,c,s,z\n";
    std::vector<std::pair<std::uint64_t, std::uint64_t>> calls;
    const ImportOutcome full = Import(text, "all.dbf", ImportTarget::NewTable, [&](auto done, auto total) {
        calls.emplace_back(done, total);
        return true;
    });
    EXPECT_EQ(full.records, 2500u);
    EXPECT_EQ(calls, (decltype(calls){{1000, 2500}, {2000, 2500}, {2500, 2500}}));

    const ImportOutcome cut =
        Import(text, "cut.dbf", ImportTarget::NewTable, [](auto done, auto) { return done < 2000; });
    EXPECT_TRUE(cut.cancelled);
    EXPECT_EQ(cut.records, 2000u);
    const auto records = ReadTable("cut.dbf");
    ASSERT_EQ(records.size(), 2000u);
    EXPECT_EQ(records.back().memo, std::vector<std::string>{"n1999"});
}

// The bytes an import writes, pinned (FNV-1a; the table's date of last
// update left out): a new table, then a second import appended to it, with
// memos from one line to several blocks and blank records between.
TEST_F(TextTransferTest, ImportedTableAndMemoKeepTheirBytes) {
    auto hash = [](std::string bytes, bool isTable) {
        if (isTable && bytes.size() >= 4) bytes[1] = bytes[2] = bytes[3] = 0;
        std::uint64_t h = 14695981039346656037ull;
        for (unsigned char c : bytes) h = (h ^ c) * 1099511628211ull;
        return h;
    };
    std::string text;
    for (int i = 0; i < 300; ++i) {
        const std::string n = std::to_string(i);
        switch (i % 6) {
        case 0: text += "\"Name " + n + "\",\"" + n + " Main St\",\"\",\"\",\"Springfield\",\"IL\",\"62701-" + n + "\"\r\n"; break;
        case 1: text += "Jos\xE9 " + n + ",,Suite " + n + ",,Dover,DE,19901\n"; break;
        case 2: text += "\r\n"; break;
        case 3: text += std::string(static_cast<std::size_t>(400 + i), 'n') + "," + std::string(300, 's') + ",c/o," + std::string(250, 'x') + ",City of a very long name indeed,STATE,1234567890123\n"; break;
        case 4: text += "\"Last, First\",\"\",\"\",\"\",\"Town\",\"NY\",\"10001\",extra,fields\n"; break;
        default: text += std::string(498, 'z') + ",,,,a,b,c\n"; break;
        }
    }
    Import(text, "golden.dbf", ImportTarget::NewTable);
    Import(text.substr(0, text.size() / 3), "golden.dbf", ImportTarget::Append);
    EXPECT_EQ(hash(ReadFile(Path("golden.dbf")), true), 716272166142527515u);
    EXPECT_EQ(hash(ReadFile(Path("golden.dbt")), false), 15905331360580427464u);
}

TEST(ProposedNames, ImportCutsAfterTheFirstDotExportDeletesTheExtension) {
    const std::pair<const char*, const char*> import[] = {
        {"/home/ann/clients.csv", "clients.dbf"}, {"my.list.txt", "my.dbf"},
        {"/data/v1.2/noext", "dbf"},              {"CLIENTS.TXT", "CLIENTS.dbf"},
    };
    for (const auto& [in, out] : import) EXPECT_EQ(ProposedImportTableName(in), out) << in;
    const std::pair<const char*, const char*> exported[] = {
        {"/home/ann/clients.dbf", "clients.txt"}, {"CLIENTS.DBF", "CLIENTS.txt"},
        {"Clients.Dbf", "Clients.Dbf.txt"},       {"a.dbf.bak", "abak.txt"},
        {"/x.dbf/list.DBF", "list.txt"},          {"noext", "noext.txt"},
    };
    for (const auto& [in, out] : exported) EXPECT_EQ(ProposedExportTextName(in), out) << in;
}

// ------------------------------------------------------------------- export

class TextExportTest : public TextTransferTest {
protected:
    ExportOutcome Export(const std::string& table, const std::string& text, const TransferProgress& progress = {}) {
        TTzDbf t("TzDbfExport");
        OpenTableForExport(t, Path(table));
        return ExportTableToText(t, Path(text), progress);
    }
};

TEST_F(TextExportTest, SevenQuotedTrimmedFieldsPerRecordEndedByCrLf) {
    MakeTable("c.dbf",
              {{{"John Smith", "12 Main St"}, "Springfield", "IL", "62701"},
               {{"  One ", "Two", "Three", "Four", "Five"}, "Dover   ", "DE", "19901-0001"},
               {{}, "", "", ""},
               {{"Say \"hi\", Bob"}, "Ames, Town", "IA", "50010"}},
              {"address,M,10,0", "city,C,20,0", "state,C,4,0", "zip,C,10,0"});
    {  // a record marked deleted is exported like the others
        TTzDbf t;
        OpenTable(t, "c.dbf", {}, true);
        t.GoTop();
        t.Next();
        t.DeleteRec();
    }
    const ExportOutcome r = Export("c.dbf", "c.txt");
    EXPECT_EQ(r.records, 4u);
    EXPECT_EQ(ReadFile(Path("c.txt")),
              "\"John Smith\",\"12 Main St\",\"\",\"\",\"Springfield\",\"IL\",\"62701\"\r\n"
              "\"One\",\"Two\",\"Three\",\"Four\",\"Dover\",\"DE\",\"19901-0001\"\r\n"
              "\"\",\"\",\"\",\"\",\"\",\"\",\"\"\r\n"
              "\"Say \"hi\", Bob\",\"\",\"\",\"\",\"Ames, Town\",\"IA\",\"50010\"\r\n");
}

TEST_F(TextExportTest, EmptyTableGivesAnEmptyFile) {
    MakeTable("e.dbf", {});
    WriteFile(Path("e.txt"), "old contents");
    EXPECT_EQ(Export("e.dbf", "e.txt").records, 0u);
    EXPECT_EQ(ReadFile(Path("e.txt")), "");
}

TEST_F(TextExportTest, MissingFieldFailsAndLeavesAnEmptyFile) {
    MakeTable("nocity.dbf", {{{"A"}, "", "ST", "1"}}, {"address,M,10,0", "state,C,2,0", "zip,C,10,0"});
    try {
        Export("nocity.dbf", "n.txt");
        FAIL() << "no error";
    } catch (const DatasetError& e) {
        EXPECT_STREQ(e.what(), "Field 'City' not found");
    }
    EXPECT_EQ(ReadFile(Path("n.txt")), "");
}

TEST_F(TextExportTest, FilesThatCannotBeCreatedOrWrittenAreReported) {
    MakeTable("w.dbf", {{{"A"}, "B", "C", "D"}});
    try {
        Export("w.dbf", "no/such/folder.txt");
        FAIL() << "no error";
    } catch (const TextTransferError& e) {
        EXPECT_EQ(std::string(e.what()),
                  "Cannot create file \"" + Path("no/such/folder.txt") + "\". No such file or directory");
    }
    TTzDbf t;
    OpenTableForExport(t, Path("w.dbf"));
    try {
        ExportTableToText(t, "/dev/full");
        FAIL() << "no error";
    } catch (const TextTransferError& e) {
        EXPECT_STREQ(e.what(), "Cannot write file \"/dev/full\". No space left on device");
    }
}

TEST_F(TextExportTest, CancelKeepsTheLinesWritten) {
    std::vector<Address> many(1500, Address{{"Name"}, "City", "ST", "12345"});
    MakeTable("m.dbf", many);
    const ExportOutcome r = Export("m.dbf", "m.txt", [](auto done, auto total) {
        EXPECT_EQ(total, 1500u);
        return done < 1000;
    });
    EXPECT_TRUE(r.cancelled);
    const std::string text = ReadFile(Path("m.txt"));
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1000);
}

TEST_F(TextExportTest, ExportThenImportGivesTheSameAddresses) {
    const std::vector<Address> records = {
        {{"John Smith", "12 Main St"}, "Springfield", "IL", "62701"},
        {{"Smith, John", "Apt 4, Bldg 2", "c/o M\xFCller", "PO Box 1"}, "K\xF6ln", "NW", "50667"},
        {{}, "", "", ""},
        {{"Only name"}, "A city of twenty ch", "NY", "10001-2345"},
    };
    MakeTable("src.dbf", records);
    Export("src.dbf", "out.txt");
    EXPECT_EQ(Import(ReadFile(Path("out.txt")), "back.dbf", ImportTarget::NewTable).records, records.size());
    EXPECT_EQ(ReadTable("back.dbf"), records);
}

// What a spreadsheet's CSV reader makes of an exported file.
TEST_F(TextExportTest, PythonCsvReadsTheSameFields) {
    if (std::system("python3 -c 'import csv' 2>/dev/null") != 0) GTEST_SKIP() << "python3 not installed";
    MakeTable("p.dbf", {{{"Smith, John", "12 Main St"}, "Springfield", "IL", "62701"},
                        {{"Jos\xE9"}, "Santa Fe", "NM", ""}});
    Export("p.dbf", "p.txt");
    const std::string script =
        "import csv,sys\n"
        "with open(sys.argv[1], newline='', encoding='cp1252') as f:\n"
        "    for row in csv.reader(f): print('|'.join(row))\n";
    WriteFile(Path("read.py"), script);
    FILE* p = popen(("python3 " + Path("read.py") + " " + Path("p.txt")).c_str(), "r");
    ASSERT_NE(p, nullptr);
    std::string out;
    char buf[512];
    while (std::size_t n = fread(buf, 1, sizeof buf, p)) out.append(buf, n);
    ASSERT_EQ(pclose(p), 0);
    EXPECT_EQ(out, "Smith, John|12 Main St|||Springfield|IL|62701\nJos\xC3\xA9||||Santa Fe|NM|\n");
}

}  // namespace
}  // namespace gs
