#pragma once
// The mail log: one record per printed piece in "Reports/report3.dbf".
#include <array>
#include <chrono>
#include <string>
#include <vector>

namespace gs {

class TTzDbf;
struct Settings;

// Where the mail log lives: "Reports/report3.dbf" in the program folder
// (programDir ends in "/"). The window and the batch command both ask here.
std::string MailLogPath(const Settings& settings, const std::string& programDir);

// The log's fields in file order, as the table store creates them.
const std::vector<std::string>& MailLogFieldList();

// Points a table component at the log file with the log's settings (shared,
// OEM text, deleted records visible).
void ConfigureMailLog(TTzDbf& table, const std::string& fileName);

// What one printed piece leaves in the log. Texts are Windows-1252, as
// displayed: recipient lines unchanged, fee texts with their leading blanks.
struct MailLogEntry {
    std::array<std::string, 4> sentname;
    std::string city, state, zip;  // zip already cleaned
    std::string mailernum;         // grouped form, five groups of four digits
    std::string postage, certified, restricted, returnReceipt, total;
    std::string comments, re;
};

enum class LogOutcome { Logged, LockBusy };

// Opens the log (the table store creates it when missing), fills one record
// and appends it under the append lock, closes the log whatever happens.
// Another running copy may hold the append lock for a moment: the lock is
// tried again until lockWait has passed; LockBusy when it never came free
// (nothing written). Table-store errors propagate.
LogOutcome AppendLogRecord(const std::string& fileName, const MailLogEntry& entry,
                           std::chrono::milliseconds lockWait = std::chrono::milliseconds(2000));

}  // namespace gs
