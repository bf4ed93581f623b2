#include "platform/inifile.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace gs {
namespace {

TEST(IniFile, ReadsSectionsAndKeysWithoutRegardToCase) {
    IniFile ini;
    ini.LoadFromText("; comment\r\n[type]\r\ncompany=Quorvale\r\nBARCODEAPP = 0\r\n[Values]\r\nPostage= 0.39 \r\n");
    EXPECT_EQ(ini.ReadString("Type", "Company", "x"), "Quorvale");
    EXPECT_FALSE(ini.ReadBool("TYPE", "BarCodeApp", true));
    EXPECT_EQ(ini.ReadString("values", "postage", ""), " 0.39 ");  // raw text after "="
    EXPECT_EQ(ini.ReadString("Values", "Missing", "dflt"), "dflt");
    EXPECT_EQ(ini.ReadString("Nowhere", "Postage", "dflt"), "dflt");
}

TEST(IniFile, IntegersAndFlags) {
    struct Case { const char* text; long expected; } cases[] = {
        {"16", 16}, {"0x10", 16}, {"0X1f", 31}, {"-5", -5}, {" 7", 7},
        {"yes", 99}, {"", 99}, {"12abc", 99}, {"0x", 99}, {"1e2", 99},
    };
    for (const auto& c : cases) {
        IniFile ini;
        ini.LoadFromText(std::string("[S]\nK=") + c.text + "\n");
        EXPECT_EQ(ini.ReadInteger("S", "K", 99), c.expected) << c.text;
    }
    IniFile ini;
    ini.LoadFromText("[S]\nA=yes\nB=0\nC=2\nnovalue\n");
    EXPECT_TRUE(ini.ReadBool("S", "A", true));   // not a number: default
    EXPECT_FALSE(ini.ReadBool("S", "A", false));
    EXPECT_FALSE(ini.ReadBool("S", "B", true));
    EXPECT_TRUE(ini.ReadBool("S", "C", false));
    EXPECT_EQ(ini.ReadString("S", "novalue", "d"), "d");  // a line with no "=" is no key
}

TEST(IniFile, WritesInPlaceAtSectionEndAndFileEnd) {
    IniFile ini;
    ini.LoadFromText("; keep me\n[Type]\nCompany=Old\n\n[Values]\nPostage=1\nunknown=kept\n");
    ini.WriteString("type", "company", "New");        // replaced where it stands, spelling kept
    ini.WriteString("Type", "BarCodeApp", "1");       // new key at the end of its section
    ini.WriteString("Print Align", "LeftRight", "0"); // new section at the end
    ini.WriteString("Values", "CertFee", "");         // empty value still written
    EXPECT_EQ(ini.Text(),
              "; keep me\n[Type]\nCompany=New\nBarCodeApp=1\n\n[Values]\nPostage=1\nunknown=kept\nCertFee=\n"
              "[Print Align]\nLeftRight=0\n");
}

TEST(IniFile, KeepsCrLfLineEnds) {
    IniFile ini;
    ini.LoadFromText("[A]\r\nx=1\r\n");
    ini.WriteString("A", "y", "2");
    EXPECT_EQ(ini.Text(), "[A]\r\nx=1\r\ny=2\r\n");
}

TEST(IniFile, SaveIsAtomicAndReportsFailure) {
    char dirTemplate[] = "/tmp/gs-ini-XXXXXX";
    ASSERT_NE(mkdtemp(dirTemplate), nullptr);
    const std::string dir = dirTemplate;
    IniFile ini(dir + "/sub/gslip3.ini");
    ASSERT_TRUE(ini.Load());  // missing file: empty profile
    ini.WriteString("Type", "Company", "Quorvale");
    std::string error;
    ASSERT_TRUE(ini.Save(&error)) << error;
    IniFile again(dir + "/sub/gslip3.ini");
    ASSERT_TRUE(again.Load());
    EXPECT_EQ(again.ReadString("Type", "Company", ""), "Quorvale");

    // A folder that cannot be written: the save fails with a reason and the old file stays.
    if (geteuid() != 0) {
        chmod((dir + "/sub").c_str(), 0555);
        again.WriteString("Type", "Company", "Other");
        EXPECT_FALSE(again.Save(&error));
        EXPECT_FALSE(error.empty());
        chmod((dir + "/sub").c_str(), 0755);
    }
    // A target that is a folder cannot be replaced.
    IniFile onDir(dir + "/sub");
    onDir.WriteString("A", "b", "c");
    EXPECT_FALSE(onDir.Save(&error));
    EXPECT_NE(error.find("sub"), std::string::npos);
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
}

}  // namespace
}  // namespace gs
