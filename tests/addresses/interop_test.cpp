// Address tables and other xBase software: what the mode writes reads in
// dbfread and ogrinfo, and a dBase III table with memos written by the
// python dbf package serves the mode.
#include "addresses/addresstable.h"

#include "dbase/dbftestutil.h"

#include <cstdio>

namespace gs::test {
namespace {

std::string Shell(const std::string& cmd, int* status) {
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

// Debian's python3 with python3-dbfread and python3-dbf, or empty.
std::string Python() {
    int st = 0;
    Shell("/usr/bin/python3 -c 'import dbfread, dbf' 2>/dev/null", &st);
    return st == 0 ? "/usr/bin/python3" : "";
}

const std::string kScript = std::string(GREENSLIP_DBASE_TESTS_DIR) + "/interop.py";

using AddressInteropTest = DbfTest;

TEST_F(AddressInteropTest, TableWrittenByTheModeReadsElsewhereWithItsMemoLines) {
    const std::string python = Python();
    if (python.empty()) GTEST_SKIP() << "python3-dbfread and python3-dbf not installed";
    {
        AddressTable a;
        a.Open(Path("clients.dbf"));
        a.Change(AddressField::Address, "Jos\xe9 M\xfcller\n12 Oak Ave\nSuite 4\nAttn: Billing");
        a.Change(AddressField::City, "Springfield");
        a.Change(AddressField::Zip, "62701-1234");
        ASSERT_TRUE(a.Insert());
        a.Change(AddressField::Address, "Ann Lee");
        a.Change(AddressField::State, "DE");
        ASSERT_TRUE(a.PackAndClose());
    }
    int st = 0;
    std::string out = Shell(python + " " + kScript + " read " + Path("clients.dbf") + " 2>&1", &st);
    ASSERT_EQ(st, 0) << out;
    // dbfread reads dBase IV memos 8 bytes past their text: the text comes first.
    for (const char* line : {"COUNT=2\n", "ADDRESS=Jos\xc3\xa9 M\xc3\xbcller\\r\\n12 Oak Ave\\r\\nSuite 4\\r\\nAttn: Billing",
                             "CITY=Springfield\n", "ZIP=62701-1234\n", "ADDRESS=Ann Lee", "STATE=DE\n"})
        EXPECT_NE(out.find(line), std::string::npos) << line << " in\n" << out;

    Shell("ogrinfo --version >/dev/null 2>&1", &st);
    if (st != 0) GTEST_SKIP() << "ogrinfo not installed (gdal-bin)";
    out = Shell("ogrinfo -ro -al " + Path("clients.dbf") + " 2>&1", &st);
    ASSERT_EQ(st, 0) << out;
    for (const char* line : {"Feature Count: 2", "CITY (String) = Springfield", "STATE (String) = DE"})
        EXPECT_NE(out.find(line), std::string::npos) << line << " in\n" << out;
}

TEST_F(AddressInteropTest, DbaseThreeTableWithMemosOfAnotherProgramServesTheMode) {
    const std::string python = Python();
    if (python.empty()) GTEST_SKIP() << "python3-dbfread and python3-dbf not installed";
    int st = 0;
    std::string out = Shell(python + " " + kScript + " write3address " + dir_ + " 2>&1", &st);
    ASSERT_EQ(st, 0) << out;

    AddressTable a;
    a.Open(Path("address3.dbf"));
    EXPECT_EQ(a.PositionText(), "1/2");
    EXPECT_EQ(a.Current().addressLines, (std::vector<std::string>{"Ann Lee", "1 Elm St", "Apt 2"}));
    EXPECT_EQ(a.Current().city, "Dover");
    a.Change(AddressField::Address, "Ann Lee\n1 Elm Street\nApt 2");
    ASSERT_TRUE(a.Next());
    EXPECT_EQ(a.Current().addressLines, std::vector<std::string>{"J\xfcrgen Roe"});
    EXPECT_EQ(a.Current().zip, "50010-1234");
    ASSERT_TRUE(a.PackAndClose());

    out = Shell(python + " " + kScript + " read " + Path("address3.dbf") + " 2>&1", &st);
    ASSERT_EQ(st, 0) << out;
    EXPECT_NE(out.find("ADDRESS=Ann Lee\\r\\n1 Elm Street\\r\\nApt 2\n"), std::string::npos) << out;
    EXPECT_NE(out.find("ADDRESS=J\xc3\xbcrgen Roe\n"), std::string::npos) << out;
}

}  // namespace
}  // namespace gs::test
