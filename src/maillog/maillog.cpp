#include "maillog/maillog.h"

#include "dbase/dbfdate.h"
#include "dbase/dbferror.h"
#include "dbase/tzdbf.h"
#include "numbering/articlenumber.h"
#include "platform/datafolders.h"
#include "platform/textutil.h"
#include "settings/settings.h"

#include <filesystem>
#include <system_error>
#include <thread>

namespace gs {

std::string MailLogFolder(const Settings& settings, const DataFolders& folders) {
    if (settings.ReportsDir.empty()) return folders.WritableFolder("Reports");
    std::string folder = settings.ReportsDir;
    if (folder.back() != '/') folder += '/';
    return folder;
}

std::string UnreachableLogFolder(const Settings& settings) {
    std::error_code ec;
    if (settings.ReportsDir.empty() || std::filesystem::is_directory(settings.ReportsDir, ec)) return {};
    return settings.ReportsDir;
}

std::string DefaultMailLogFolder(const DataFolders& folders) { return folders.writeDir + "Reports/"; }

std::string MailLogPath(const Settings& settings, const DataFolders& folders) {
    return MailLogFolder(settings, folders) + "report3.dbf";
}

const std::vector<std::string>& MailLogFieldList() {
    static const std::vector<std::string> fields = {
        "sentname0,C,30,0", "sentname1,C,30,0", "sentname2,C,30,0", "sentname3,C,30,0",
        "city,C,35,0",      "state,C,4,0",      "zip,C,10,0",       "rdate,D,10,0",
        "mailernum,C,25,0", "postage,C,15,0",   "certified,C,15,0", "restricted,C,15,0",
        "return,C,15,0",    "total,C,15,0",     "comments,C,35,0",  "re,C,25,0",
    };
    return fields;
}

std::string MailLogDisplayText(const std::string& field, std::string text) {
    std::string name = field;
    for (char& c : name)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (name != "mailernum") return text;
    if (text.size() != 22 || text.find_first_not_of("0123456789") != std::string::npos) return text;
    return FormatArticleNumber(text);
}

void ConfigureMailLog(TTzDbf& table, const std::string& fileName) {
    table.Close();
    table.DbfFields = MailLogFieldList();
    table.TableLanguage = tlOem;
    table.HideDeletedRecs = false;
    table.CreateIndex = ciNotFound;
    table.ReadOnly = false;
    table.CreateIfNotFound = true;
    table.SetExclusive(false);
    table.SetDbfFileName(fileName);
}

namespace {

// Closes the table on every path out of the append.
struct CloseOnExit {
    TTzDbf& table;
    ~CloseOnExit() {
        try {
            table.Close();
        } catch (...) {
            // The error that brought us here is the one worth reporting.
        }
    }
};

}  // namespace

// The fields in the order of MailLogFieldList.
enum MailLogField {
    kSentname0, kSentname1, kSentname2, kSentname3, kCity, kState, kZip, kRdate,
    kMailernum, kPostage, kCertified, kRestricted, kReturn, kTotal, kComments, kRe,
};

MailLogAppender::MailLogAppender(TTzDbf& openLog) : log_(openLog) {
    const std::vector<std::string>& fields = MailLogFieldList();
    for (std::size_t f = 0; f < field_.size(); ++f) {
        const std::string name = fields[f].substr(0, fields[f].find(','));
        field_[f] = log_.FieldNo(name);
        if (field_[f] < 0) throw DatasetError("Field '" + name + "' not found");
    }
}

LogOutcome MailLogAppender::Append(const MailLogEntry& e, const DbfDate& date,
                                   std::chrono::milliseconds lockWait) {
    log_.ClearRecord();
    log_.SetFieldText(field_[kSentname0], e.sentname[0]);
    log_.SetFieldText(field_[kSentname1], e.sentname[1]);
    log_.SetFieldText(field_[kSentname2], e.sentname[2]);
    log_.SetFieldText(field_[kSentname3], e.sentname[3]);
    log_.SetFieldText(field_[kCity], Trim(e.city));
    log_.SetFieldText(field_[kState], Trim(e.state));
    log_.SetFieldText(field_[kZip], e.zip);
    log_.SetFieldText(field_[kMailernum], e.mailernum);
    log_.SetFieldText(field_[kPostage], e.postage);
    log_.SetFieldText(field_[kCertified], e.certified);
    log_.SetFieldText(field_[kRestricted], e.restricted);
    log_.SetFieldText(field_[kReturn], e.returnReceipt);
    log_.SetFieldText(field_[kTotal], e.total);
    log_.SetFieldText(field_[kComments], e.comments);
    log_.SetFieldText(field_[kRe], e.re);
    // The date as a date: no text to write and read back.
    log_.Fields(field_[kRdate]).SetAsDate(date);

    // A printed piece must not drop out of the log just because another copy
    // is appending at this moment: try the lock again for a short while (the
    // clock is read only once the lock was found taken).
    if (!log_.ALock()) {
        const auto deadline = std::chrono::steady_clock::now() + lockWait;
        do {
            if (std::chrono::steady_clock::now() >= deadline) return LogOutcome::LockBusy;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        } while (!log_.ALock());
    }
    log_.AppendRec();
    log_.UnLock();
    return LogOutcome::Logged;
}

LogOutcome AppendLogRecord(const std::string& fileName, const MailLogEntry& e,
                           std::chrono::milliseconds lockWait) {
    TTzDbf log("TzDbfReport");
    ConfigureMailLog(log, fileName);
    CloseOnExit closer{log};
    log.Open();
    return MailLogAppender(log).Append(e, TodayDate(), lockWait);
}

}  // namespace gs
