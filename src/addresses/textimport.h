#pragma once
// The text import without windows: one address record per line of a
// name-and-address text file (see importtext.h for lines and fields).
//
//     ImportTextReader reader(textPath);               // step one: the text opens
//     ImportOutcome r = ImportTextIntoTable(reader, tablePath, ImportTarget::Append);
//
// The command (textfilecommands.h) asks the questions around it.
#include <chrono>
#include <string>
#include <vector>

#include "addresses/importtext.h"
#include "addresses/texttransfer.h"

namespace gs {

// The fields of a table that the import creates (a new or overwritten file):
// "Address,M,10,0", "City,C,20,0", "State,C,4,0", "Zip,C,10,0".
const std::vector<std::string>& ImportTableFieldList();

// The table name proposed for a text file: the file's name without its
// folder, cut after its first "." and followed by "dbf" (clients.csv gives
// clients.dbf, my.list.txt gives my.dbf, a name without "." just "dbf").
std::string ProposedImportTableName(const std::string& textPath);

// The name under which the table store will open tablePath (".DBF" added to
// a name without extension, an existing "name.dbf" found too): the name to
// test for an existing table.
std::string ImportTableFileName(const std::string& tablePath);

enum class ImportTarget {
    NewTable,   // the file does not exist: created with ImportTableFieldList()
    Overwrite,  // the existing file is deleted first, then created as above
    Append,     // the existing table keeps its records and fields
};

struct ImportOutcome {
    std::uint64_t records = 0;          // records appended
    std::uint64_t blankRecords = 0;     // of them, from lines without an address (all seven fields blank)
    std::uint64_t unmappableLines = 0;  // Unicode lines in which a character became "?"
    std::uint64_t unmappableCharacters = 0;       // the "?" put in
    std::vector<std::uint64_t> unmappableLineNumbers;  // the first of those lines (ImportTextReader)
    bool cancelled = false;             // progress returned false
};

// Opens the table shared with OEM text (created from ImportTableFieldList()
// when missing) and, for every line the reader has left, in file order:
// takes the append lock, splits the line, blanks the record buffer, writes
// the non-blank name fields 1 to 4 as the lines of the memo "Address" (none:
// no memo), sets "City", "State" and "Zip" (cut to their lengths) and appends
// the record. Every line gives one record, a short or empty one a blank
// record. The append lock is held from the first record until the table is
// closed at the end.
//
// The append lock is tried again until lockWait has passed while another
// copy holds it; then TextTransferError. A file that cannot be deleted for
// Overwrite: TextTransferError; a text that cannot be read: ImportFileError.
// A missing
// "City", "State" or "Zip" field or a rejected value: DatasetError at the
// first record. The table is closed on every path; records appended before an
// error or a cancel stay.
ImportOutcome ImportTextIntoTable(ImportTextReader& reader, const std::string& tablePath, ImportTarget target,
                                  const TransferProgress& progress = {},
                                  std::chrono::milliseconds lockWait = std::chrono::milliseconds(2000));

}  // namespace gs
