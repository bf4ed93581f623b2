#include "settings/settings.h"

#include "platform/inifile.h"
#include "platform/paths.h"

namespace gs {

void LoadSettings(Settings& s, const IniFile& ini, const std::string& dataDir,
                  const std::function<bool()>& tryLoadLogo) {
    const Settings d;  // defaults
    s.Company = ini.ReadString("Type", "Company", d.Company);
    if (s.Company.empty()) {
        if (tryLoadLogo && tryLoadLogo()) s.Company = "Varnholt";
        if (s.Company.empty()) s.Company = "Quorvale";
    }
    s.Line1 = ini.ReadString("YourAddress", "Line1", d.Line1);
    s.Line2 = ini.ReadString("YourAddress", "Line2", d.Line2);
    s.Line3 = ini.ReadString("YourAddress", "Line3", d.Line3);
    s.Line4 = ini.ReadString("YourAddress", "Line4", d.Line4);
    s.City = ini.ReadString("YourAddress", "City", d.City);
    s.State = ini.ReadString("YourAddress", "State", d.State);
    s.Zip = ini.ReadString("YourAddress", "Zip", d.Zip);
    s.Postage = ini.ReadString("Values", "Postage", d.Postage);
    s.CertFee = ini.ReadString("Values", "CertFee", d.CertFee);
    s.Return = ini.ReadString("Values", "Return", d.Return);
    s.Restricted = ini.ReadString("Values", "Restricted", d.Restricted);
    s.PrintBarCode = ini.ReadBool("Values", "PrintBarCode", d.PrintBarCode);
    s.CustID = ini.ReadString("Values", "CustID", d.CustID);
    s.SerialNum = ini.ReadString("Values", "SerialNum", d.SerialNum);
    s.Increment = ini.ReadBool("Values", "Increment", d.Increment);
    s.MailerNum = ini.ReadString("Values", "MailerNum", d.MailerNum);
    s.ZipBarCode = ini.ReadString("Values", "ZipBarCode", d.ZipBarCode);
    s.IMbBarcodeId = ini.ReadString("Values", "IMbBarcodeId", d.IMbBarcodeId);
    s.IMbServiceType = ini.ReadString("Values", "IMbServiceType", d.IMbServiceType);
    s.IMbMailerId = ini.ReadString("Values", "IMbMailerId", d.IMbMailerId);
    s.IMbSerial = ini.ReadString("Values", "IMbSerial", d.IMbSerial);
    s.ArticleFormat = ini.ReadString("Values", "ArticleFormat", d.ArticleFormat);
    s.IMpbChannel = ini.ReadString("Values", "IMpbChannel", d.IMpbChannel);
    s.IMpbServiceType = ini.ReadString("Values", "IMpbServiceType", d.IMpbServiceType);
    s.IMpbMailerId = ini.ReadString("Values", "IMpbMailerId", d.IMpbMailerId);
    s.IMpbSerial = ini.ReadString("Values", "IMpbSerial", d.IMpbSerial);
    s.HideNoPrinterNote = ini.ReadBool("Values", "HideNoPrinterNote", d.HideNoPrinterNote);
    s.PrintExtraLabel = ini.ReadString("Printing", "PrintExtraLabel", d.PrintExtraLabel);
    s.ExtraLabel = ini.ReadString("Printing", "ExtraLabel", d.ExtraLabel);
    s.PaperSize = ini.ReadString("Printing", "PaperSize", d.PaperSize);
    s.LeftRight = ini.ReadInteger("Print Align", "LeftRight", d.LeftRight);
    s.TopBottom = ini.ReadInteger("Print Align", "TopBottom", d.TopBottom);
    s.BarCodeApp = ini.ReadBool("Type", "BarCodeApp", d.BarCodeApp);
    s.AddressDir = ini.ReadString("System Path", "Default", dataDir + "/Addresses");
    s.ReportsDir = ini.ReadString("System Path", "Reports", d.ReportsDir);
}

void StoreSettings(const Settings& s, IniFile& ini) {
    ini.WriteString("Type", "Company", s.Company);
    ini.WriteString("YourAddress", "Line1", s.Line1);
    ini.WriteString("YourAddress", "Line2", s.Line2);
    ini.WriteString("YourAddress", "Line3", s.Line3);
    ini.WriteString("YourAddress", "Line4", s.Line4);
    ini.WriteString("YourAddress", "City", s.City);
    ini.WriteString("YourAddress", "State", s.State);
    ini.WriteString("YourAddress", "Zip", s.Zip);
    ini.WriteString("Values", "Postage", s.Postage);
    ini.WriteString("Values", "CertFee", s.CertFee);
    ini.WriteString("Values", "Return", s.Return);
    ini.WriteString("Values", "Restricted", s.Restricted);
    ini.WriteBool("Values", "PrintBarCode", s.PrintBarCode);
    ini.WriteString("Values", "CustID", s.CustID);
    ini.WriteString("Values", "SerialNum", s.SerialNum);
    ini.WriteBool("Values", "Increment", s.Increment);
    ini.WriteString("Values", "MailerNum", s.MailerNum);
    ini.WriteString("Values", "ZipBarCode", s.ZipBarCode);
    ini.WriteString("Values", "IMbBarcodeId", s.IMbBarcodeId);
    ini.WriteString("Values", "IMbServiceType", s.IMbServiceType);
    ini.WriteString("Values", "IMbMailerId", s.IMbMailerId);
    ini.WriteString("Values", "IMbSerial", s.IMbSerial);
    ini.WriteString("Values", "ArticleFormat", s.ArticleFormat);
    ini.WriteString("Values", "IMpbChannel", s.IMpbChannel);
    ini.WriteString("Values", "IMpbServiceType", s.IMpbServiceType);
    ini.WriteString("Values", "IMpbMailerId", s.IMpbMailerId);
    ini.WriteString("Values", "IMpbSerial", s.IMpbSerial);
    ini.WriteBool("Values", "HideNoPrinterNote", s.HideNoPrinterNote);
    ini.WriteString("Printing", "PrintExtraLabel", s.PrintExtraLabel);
    ini.WriteString("Printing", "ExtraLabel", s.ExtraLabel);
    ini.WriteString("Printing", "PaperSize", s.PaperSize);
    ini.WriteInteger("Print Align", "LeftRight", s.LeftRight);
    ini.WriteInteger("Print Align", "TopBottom", s.TopBottom);
    ini.WriteBool("type", "BarCodeApp", s.BarCodeApp);
    ini.WriteString("System Path", "default", s.AddressDir);
    ini.WriteString("System Path", "Reports", s.ReportsDir);
}

void LoadSettingsFile(Settings& settings, const std::string& dataDir,
                      const std::function<bool()>& tryLoadLogo) {
    IniFile ini(SettingsFilePath());
    ini.Load();  // an unreadable file reads as empty: every default
    LoadSettings(settings, ini, dataDir, tryLoadLogo);
}

bool SaveSettingsFile(const Settings& settings, std::string* error) {
    IniFile ini(SettingsFilePath());
    if (!ini.Load()) {
        if (error) *error = "Cannot read \"" + ini.Path() + "\"";
        return false;
    }
    StoreSettings(settings, ini);
    return ini.Save(error);
}

}  // namespace gs
