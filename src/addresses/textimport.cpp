#include "addresses/textimport.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <thread>

#include "dbase/tzdbf.h"

namespace gs {

namespace {

// Another copy may be appending to the same table for a moment; the import
// waits for it rather than appending unlocked. Once taken, the lock stays
// until the table is closed, so this only waits before the first record.
void TakeAppendLock(TTzDbf& table, std::chrono::milliseconds lockWait) {
    const auto deadline = std::chrono::steady_clock::now() + lockWait;
    while (!table.ALock()) {
        if (std::chrono::steady_clock::now() >= deadline)
            throw TextTransferError("The table \"" + table.DbfFileName() +
                                    "\" is locked by another user. Please try again later.");
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

}  // namespace

const std::vector<std::string>& ImportTableFieldList() {
    static const std::vector<std::string> fields = {"Address,M,10,0", "City,C,20,0", "State,C,4,0", "Zip,C,10,0"};
    return fields;
}

std::string ProposedImportTableName(const std::string& textPath) {
    const std::size_t slash = textPath.find_last_of('/');
    const std::string name = slash == std::string::npos ? textPath : textPath.substr(slash + 1);
    const std::size_t dot = name.find('.');
    return (dot == std::string::npos ? std::string() : name.substr(0, dot + 1)) + "dbf";
}

std::string ImportTableFileName(const std::string& tablePath) {
    TTzDbf probe;
    probe.SetDbfFileName(tablePath);
    return probe.DbfFileName();
}

ImportOutcome ImportTextIntoTable(ImportTextReader& reader, const std::string& tablePath, ImportTarget target,
                                  const TransferProgress& progress, std::chrono::milliseconds lockWait) {
    const std::string fileName = ImportTableFileName(tablePath);
    if (target == ImportTarget::Overwrite && std::remove(fileName.c_str()) != 0 && errno != ENOENT)
        throw TextTransferError("Cannot delete file \"" + fileName + "\". " + std::strerror(errno));

    TTzDbf table("TzDbfImport");  // its destructor closes the table on every path
    table.DbfFields = ImportTableFieldList();
    table.SetDbfFileName(fileName);
    table.Open();

    ImportOutcome outcome;
    const std::uint64_t total = reader.TotalLines();
    std::string line;
    std::vector<std::string> memo;
    while (reader.ReadLine(line)) {
        TakeAppendLock(table, lockWait);
        ImportFields fields = SplitImportLine(line);
        bool blank = true;
        for (const std::string& f : fields) blank = blank && TrimImportText(f).empty();
        if (blank) ++outcome.blankRecords;
        // A blank buffer, not the current record's: otherwise an appended-to
        // table would copy its first record's other fields and deletion mark
        // into every imported record.
        table.ClearRecord();
        memo.clear();
        for (int i = 0; i < 4; ++i)
            if (!TrimImportText(fields[i]).empty()) memo.push_back(std::move(fields[i]));
        table.SetMField("Address", memo);
        table.SetFieldText("City", fields[4]);
        table.SetFieldText("State", fields[5]);
        table.SetFieldText("Zip", fields[6]);
        table.AppendRec();
        ++outcome.records;
        if (progress && outcome.records % kProgressStep == 0 && !progress(outcome.records, total)) {
            outcome.cancelled = true;
            break;
        }
    }
    outcome.unmappableLines = reader.UnmappableLines();
    outcome.unmappableCharacters = reader.UnmappableCharacters();
    outcome.unmappableLineNumbers = reader.UnmappableLineNumbers();
    table.Close();
    if (progress && !outcome.cancelled) progress(outcome.records, total);
    return outcome;
}

}  // namespace gs
