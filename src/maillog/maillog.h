#pragma once
// The mail log: one record per printed piece in "report3.dbf" of the log
// folder ("Reports/" in the program's data folder unless set otherwise).
#include <array>
#include <chrono>
#include <string>
#include <vector>

namespace gs {

class TTzDbf;
struct DataFolders;
struct DbfDate;
struct Settings;

// The log's folder, ending in "/": the "Reports" folder of "System Path" when
// one is set (a shared folder on a file server, say), else "Reports/" in the
// folder the program writes into (beside the executable, or the user's data
// folder when installed), which is created here when missing. A folder that
// is set is never created: when a file server's share is not mounted, the
// log must not quietly move to the local disk beneath it.
std::string MailLogFolder(const Settings& settings, const DataFolders& folders);
// The log's folder when none is set; not created here.
std::string DefaultMailLogFolder(const DataFolders& folders);

// The folder that is set, when it is not there to be written in (a share
// that is not mounted); empty when the log can be reached. Printing checks
// this first, so that no piece is printed that cannot be logged.
std::string UnreachableLogFolder(const Settings& settings);

// The log table, "report3.dbf" in that folder. The window and the batch
// command both ask here, so every copy pointed at one folder shares one log.
std::string MailLogPath(const Settings& settings, const DataFolders& folders);

// The log's fields in file order, as the table store creates them.
const std::vector<std::string>& MailLogFieldList();

// How the log's fields are shown in reports: the article number always
// grouped (an IMpb is kept as its 22 digits, since grouped it would not fit
// the field's 25 characters); every other field as stored.
std::string MailLogDisplayText(const std::string& field, std::string text);

// Points a table component at the log file with the log's settings (shared,
// OEM text, deleted records visible).
void ConfigureMailLog(TTzDbf& table, const std::string& fileName);

// What one printed piece leaves in the log. Texts are Windows-1252, as
// displayed: recipient lines unchanged, fee texts with their leading blanks.
struct MailLogEntry {
    std::array<std::string, 4> sentname;
    std::string city, state, zip;  // zip already cleaned
    std::string mailernum;         // grouped form of a 20-digit number; an IMpb's 22 digits, no spaces
    std::string postage, certified, restricted, returnReceipt, total;
    std::string comments, re;
};

enum class LogOutcome { Logged, LockBusy };

// Appends pieces to a log table that is open (set up by ConfigureMailLog),
// its sixteen fields looked up once, when made, rather than by name for
// every record. A log without one of the fields is refused here, as the
// table store refuses a field it does not have.
class MailLogAppender {
public:
    explicit MailLogAppender(TTzDbf& openLog);

    // Fills one record with the entry, dated `date`, and appends it under
    // the append lock, tried again until lockWait has passed; LockBusy when
    // it never came free (nothing written). Table-store errors propagate.
    LogOutcome Append(const MailLogEntry& entry, const DbfDate& date, std::chrono::milliseconds lockWait);

private:
    TTzDbf& log_;
    std::array<int, 16> field_ {};  // in the order of MailLogFieldList
};

// Opens the log (the table store creates it when missing), fills one record
// and appends it under the append lock, closes the log whatever happens.
// Another running copy may hold the append lock for a moment: the lock is
// tried again until lockWait has passed; LockBusy when it never came free
// (nothing written). Table-store errors propagate.
LogOutcome AppendLogRecord(const std::string& fileName, const MailLogEntry& entry,
                           std::chrono::milliseconds lockWait = std::chrono::milliseconds(2000));

}  // namespace gs
