#include "settings/settings.h"

#include "platform/inifile.h"

#include <gtest/gtest.h>

namespace gs {
namespace {

const std::string kProgramDir = "/opt/greenslip/";

TEST(Settings, EmptyProfileGivesDefaultsAndMakerBranding) {
    IniFile ini;
    Settings s;
    s.Postage = "changed";
    LoadSettings(s, ini, kProgramDir, [] { return false; });
    Settings expected;
    expected.Company = "Quorvale";
    expected.AddressDir = "/opt/greenslip//Addresses";  // the doubled separator is harmless
    EXPECT_EQ(s, expected);
}

TEST(Settings, LoadableLogoChoosesResellerOnlyWhenCompanyIsEmpty) {
    Settings s;
    int asked = 0;
    IniFile empty;
    LoadSettings(s, empty, kProgramDir, [&] { ++asked; return true; });
    EXPECT_EQ(s.Company, "Varnholt");
    IniFile stored;
    stored.LoadFromText("[Type]\nCompany=Quorvale\n");
    LoadSettings(s, stored, kProgramDir, [&] { ++asked; return true; });
    EXPECT_EQ(s.Company, "Quorvale");
    EXPECT_EQ(asked, 1);
}

TEST(Settings, ReadsOddValuesAsTheProfileServiceDoes) {
    IniFile ini;
    ini.LoadFromText(
        "garbage line\r\n[values]\r\nprintbarcode=yes\r\nIncrement=0\r\nPostage= 1.00\r\nSerialNum=12ab\r\n"
        "[PRINT ALIGN]\r\nLeftRight=0x10\r\nTopBottom=-7\r\n[type]\r\nbarcodeapp=0\r\n"
        "[system path]\r\nreports=/mnt/office/greenslip\r\n");
    Settings s;
    LoadSettings(s, ini, kProgramDir, {});
    EXPECT_TRUE(s.PrintBarCode);  // "yes" is no number: the default
    EXPECT_FALSE(s.Increment);
    EXPECT_EQ(s.Postage, " 1.00");  // taken as it stands
    EXPECT_EQ(s.SerialNum, "12ab");
    EXPECT_EQ(s.LeftRight, 16);
    EXPECT_EQ(s.TopBottom, -7);
    EXPECT_FALSE(s.BarCodeApp);
    EXPECT_EQ(s.ReportsDir, "/mnt/office/greenslip");
    EXPECT_EQ(s.AddressDir, "/opt/greenslip//Addresses");

    IniFile zero;
    zero.LoadFromText("[Values]\nPrintBarCode=0\n");
    LoadSettings(s, zero, kProgramDir, {});
    EXPECT_FALSE(s.PrintBarCode);
}

TEST(Settings, FileWrittenFromScratchHasTheFixedLayout) {
    Settings s;
    s.Company = "Quorvale";
    s.Line1 = "ACME Corp";
    s.Zip = "62701";
    s.AddressDir = "/opt/greenslip//Addresses";
    IniFile ini;
    StoreSettings(s, ini);
    EXPECT_EQ(ini.Text(),
              "[Type]\nCompany=Quorvale\nBarCodeApp=1\n"
              "[YourAddress]\nLine1=ACME Corp\nLine2=\nLine3=\nLine4=\nCity=\nState=\nZip=62701\n"
              "[Values]\nPostage=0.39\nCertFee=2.40\nReturn=1.85\nRestricted=3.50\nPrintBarCode=1\n"
              "CustID=00-000-0000\nSerialNum=00000000\nIncrement=1\nMailerNum=71000000000000000000\n"
              "ZipBarCode=POSTNET\nIMbBarcodeId=00\nIMbServiceType=\nIMbMailerId=\nIMbSerial=\n"
              "ArticleFormat=20\nIMpbChannel=92\nIMpbServiceType=\nIMpbMailerId=\nIMpbSerial=\nHideNoPrinterNote=0\n"
              "[Printing]\nPrintExtraLabel=Yes\nExtraLabel=Addressed To\nPaperSize=Letter\n"
              "[Print Align]\nLeftRight=0\nTopBottom=0\n"
              "[System Path]\ndefault=/opt/greenslip//Addresses\nReports=\n");
}

TEST(Settings, StoreAndLoadRoundTripKeepsForeignLines) {
    IniFile ini;
    ini.LoadFromText("; my notes\n[Values]\nOther=keep\n");
    Settings s;
    s.Company = "Varnholt";
    s.Line1 = "M\xFCller GmbH";  // Windows-1252 text
    s.PrintBarCode = false;
    s.LeftRight = -12;
    s.SerialNum = "00000042";
    s.ZipBarCode = "IMB";
    s.IMbServiceType = "040";
    s.IMbMailerId = "123456";
    s.IMbSerial = "000000001";
    s.HideNoPrinterNote = true;
    s.ReportsDir = "/mnt/office/greenslip";
    StoreSettings(s, ini);
    Settings back;
    LoadSettings(back, ini, kProgramDir, {});
    EXPECT_EQ(back, s);
    EXPECT_EQ(ini.Text().rfind("; my notes\n[Values]\nOther=keep\nPostage=", 0), 0u);
}

}  // namespace
}  // namespace gs
