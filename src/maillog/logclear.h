#pragma once
// The work behind Report > Clear, without its questions: saving a copy of
// the mail log, and emptying the log.
#include <string>

namespace gs {

class TTzDbf;

// The table file a chosen name stands for: ".dbf" added when the name has no
// extension, as the table store would open it.
std::string LogCopyTarget(const std::string& chosen);

struct LogCopyResult {
    enum class Outcome { Copied, TargetLocked, Failed };
    Outcome outcome = Outcome::Failed;
    std::string error;  // Failed: what went wrong, as the table store or the system says it
};

// Saves the log in the target file. An existing file is opened (shared) as a
// table of its own and every log record is appended to it under its append
// lock, fields paired by name; a new file becomes a byte-for-byte copy of the
// log's table file (its index files are not copied). When it fails nothing
// has changed: TargetLocked when another running copy holds the existing
// table's append lock (one attempt); Failed when the existing table lacks a
// field of the log (by name and type; the error names them), when the table
// store refuses the table or the append (the log itself as the target, a
// file that is no table, a full disk) or the byte copy fails (a half-written
// file is removed). Table-store errors here are results, never the end of the program.
LogCopyResult CopyLogTo(const std::string& logFile, const std::string& target);

// Empties the open log: reopens it exclusively, marks every record deleted
// and packs. When another running copy has the log open the exclusive reopen
// fails with the table store's error and nothing is deleted. The log stays
// open, exclusive.
void EmptyLog(TTzDbf& log);

}  // namespace gs
