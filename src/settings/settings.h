#pragma once
// The one in-memory settings record, mirrored key by key in "gslip3.ini".
// Texts are Windows-1252 bytes as everywhere in the program's core.
#include <functional>
#include <string>

namespace gs {

class IniFile;

struct Settings {
    // [Type]
    std::string Company;  // "Quorvale" or "Varnholt"; resolved at load when empty
    // [YourAddress]
    std::string Line1, Line2, Line3, Line4, City, State, Zip;
    // [Values]
    std::string Postage = "0.39";
    std::string CertFee = "2.40";
    std::string Return = "1.85";
    std::string Restricted = "3.50";
    bool PrintBarCode = true;
    std::string CustID = "00-000-0000";
    std::string SerialNum = "00000000";
    bool Increment = true;
    std::string MailerNum = "71000000000000000000";
    // The ZIP barcodes of the form: "POSTNET", or "IMB" for the Intelligent
    // Mail barcode (any other text prints POSTNET), and the IMb's tracking
    // fields (digits as typed; checked where they are entered and printed).
    std::string ZipBarCode = "POSTNET";
    std::string IMbBarcodeId = "00";
    std::string IMbServiceType;
    std::string IMbMailerId;
    std::string IMbSerial;
    // The article number barcode mode composes: "20" for the 20-digit
    // number, "IMpb" for the 22-digit Intelligent Mail package barcode
    // (any other text keeps the 20-digit number), and the IMpb's fields
    // (digits as typed; checked where they are entered and printed).
    std::string ArticleFormat = "20";
    std::string IMpbChannel = "92";
    std::string IMpbServiceType;
    std::string IMpbMailerId;
    std::string IMpbSerial;
    // The user ticked "Do not show this again" under the note that, with no
    // printer installed, printed pages become PDF files.
    bool HideNoPrinterNote = false;
    // [Printing]
    std::string PrintExtraLabel = "Yes";
    std::string ExtraLabel = "Addressed To";
    std::string PaperSize = "Letter";  // the paper chosen in the printer setup
    // [Print Align], hundredths of an inch
    long LeftRight = 0;
    long TopBottom = 0;
    // [Type]
    bool BarCodeApp = true;
    // [System Path]
    std::string AddressDir;  // default: the data folder + "/Addresses"
    // The mail log's folder ("Reports"); empty for the default, "Reports/"
    // in the data folder. Kept empty rather than filled in, so that a moved
    // program folder or a user of another layout still gets the default.
    std::string ReportsDir;

    bool operator==(const Settings&) const = default;
};

// Fills the record from the profile, key by key; missing keys and unreadable
// numbers give the defaults. dataDir is the folder the program writes its own
// files into (DataFolders::writeDir), which the default of AddressDir is
// made from. When the stored Company is empty, tryLoadLogo is asked to load
// "Scr_logo.bmp" (it returns whether that worked): "Varnholt" if so, else
// "Quorvale".
void LoadSettings(Settings& settings, const IniFile& ini, const std::string& dataDir,
                  const std::function<bool()>& tryLoadLogo);

// Writes every field into the profile (not yet to disk).
void StoreSettings(const Settings& settings, IniFile& ini);

// Reads "gslip3.ini" from where the platform keeps it.
void LoadSettingsFile(Settings& settings, const std::string& dataDir,
                      const std::function<bool()>& tryLoadLogo);
// Writes every field to "gslip3.ini" atomically. False with a reason on failure.
bool SaveSettingsFile(const Settings& settings, std::string* error);

}  // namespace gs
