#pragma once
// The text export without windows: one line per record of an address table,
// in the format the import reads.
//
//     TTzDbf table("TzDbfExport");
//     OpenTableForExport(table, tablePath);           // table-store errors are its own
//     ExportOutcome r = ExportTableToText(table, textPath);
#include <cstdint>
#include <string>

#include "addresses/texttransfer.h"

namespace gs {

class TTzDbf;

// The text name proposed for a table file: its name without its folder; the
// first ".dbf" in it, or else the first ".DBF", is deleted together with the
// character after it (if any); then ".txt" is appended. clients.dbf gives
// clients.txt, CLIENTS.DBF gives CLIENTS.txt, Clients.Dbf gives
// Clients.Dbf.txt.
std::string ProposedExportTextName(const std::string& tablePath);

// Opens an existing table for reading only (shared, OEM text, deleted records
// visible). A missing or broken file is the table store's own error.
void OpenTableForExport(TTzDbf& table, const std::string& tablePath);

struct ExportOutcome {
    std::uint64_t records = 0;  // lines written
    bool cancelled = false;
};

// Creates (or empties) textPath and writes every record of the open table
// from the first, deleted ones too, as one line ended by CR LF: seven fields,
// each between double quotes, separated by commas - memo lines 1 to 4 of
// "Address" (missing lines empty, later lines left out), then "City",
// "State" and "Zip" - every value trimmed of blanks and control characters
// and otherwise written as it is (quotes and commas inside are not doubled).
// Text is Windows-1252. A file that cannot be created or written:
// TextTransferError; a missing "City", "State" or "Zip" field: DatasetError.
// Lines written before an error or a cancel stay in the file; the file is
// closed on every path. The table stays open (its owner closes it).
ExportOutcome ExportTableToText(TTzDbf& table, const std::string& textPath, const TransferProgress& progress = {});

}  // namespace gs
