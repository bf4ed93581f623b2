#pragma once
// Options > "&Name && Address Text Files" > "&Import" and "&Export": the
// dialogs and messages around the import of textimport.h and the export of
// textexport.h. Every question goes through Ui(), so tests answer them.
//
// Import: the text file (open dialog in the address folder), the table file
// (save dialog proposing ProposedImportTableName), for an existing table the
// question Overwrite / Append / Cancel, then the import; "Import Done." with
// the records added and the lines that gave blank records (then, when
// characters became "?", how many and on which lines), or "Error on
// import: " with the error's text. Cancelling any dialog ends the
// command without a message and without changing a file.
// Export: the table (open dialog), the text file (save dialog proposing
// ProposedExportTextName), then the export; "Export Done." or
// "Error on export: " with the error's text.
//
// Errors the table store reports by its own means (DbfError, after its
// "Program halted." report) are not the commands' business: they pass on,
// after the import has reopened the address table.
#include <cstdint>
#include <string>

class QWidget;

namespace gs {

// The main window's address-database mode as the import needs it. While the
// mode shows a table, the import closes it before it reads the text file and
// reopens it at the end, whatever happened in between.
class AddressTableHost {
public:
    virtual ~AddressTableHost() = default;
    // Whether address-database mode is on (its Exit button is visible).
    virtual bool AddressModeActive() const = 0;
    virtual void CloseAddressTable() = 0;
    // Reopens the table, shows the record position and puts the focus into
    // the bound address box.
    virtual void ReopenAddressTable() = 0;
};

inline constexpr char kImportExistsQuestion[] =
    "A database of the same name has been found in this location.  Would you like to overwrite this "
    "database, or append to this database?";
inline constexpr char kOverwriteCaption[] = "&Overwrite";  // result 1
inline constexpr char kAppendCaption[] = "&Append";        // result 2
inline constexpr char kCancelCaption[] = "&Cancel";        // result 3

// An import of more lines, or an export of more records, than this shows a
// progress dialog (object name "TransferProgress") with Cancel; cancelling
// keeps what was written and says how much.
inline constexpr std::uint64_t kProgressDialogMinimum = 5000;

// addressDir: the folder the dialogs open in (read, never changed).
// host: the address-database mode, or null when the window has none.
void ImportAddressText(QWidget* parent, const std::string& addressDir, AddressTableHost* host);
void ExportAddressText(QWidget* parent, const std::string& addressDir);

}  // namespace gs
