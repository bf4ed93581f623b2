#include "maillog/logclear.h"

#include "dbase/dbferror.h"
#include "dbase/tzdbf.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <unistd.h>
#include <vector>

namespace gs {

std::string LogCopyTarget(const std::string& chosen) {
    TTzDbf naming;
    naming.SetDbfFileName(chosen);
    return naming.DbfFileName();
}

namespace {

// While it lives, a table-store error is kept as text and thrown as DbfError
// instead of ending the program.
class CaptureDbfErrors {
public:
    CaptureDbfErrors()
        : previous_(SetDbfFatalHandler([this](int code, const std::string&, const std::string& detail) {
              text = DbfErrorReportText(code, detail);
          })) {}
    ~CaptureDbfErrors() { SetDbfFatalHandler(previous_); }
    CaptureDbfErrors(const CaptureDbfErrors&) = delete;
    CaptureDbfErrors& operator=(const CaptureDbfErrors&) = delete;

    std::string text;

private:
    DbfFatalHandler previous_;
};

LogCopyResult Failed(std::string why) { return {LogCopyResult::Outcome::Failed, std::move(why)}; }

// The log's fields that the table lacks, or holds with another type, as
// "NAME (T)"; "" when it has them all.
std::string MissingLogFields(const std::string& logFile, TTzDbf& table) {
    TTzDbf log("TzDbfReport");
    log.TableLanguage = tlOem;
    log.CreateIfNotFound = false;
    log.ReadOnly = true;
    log.SetDbfFileName(logFile);
    log.Open();
    std::string missing;
    for (const DbfFieldDef& field : log.FieldDefs()) {
        const TDbfField* has = table.FindField(field.name);
        if (has && has->Def().type == field.type) continue;
        missing += (missing.empty() ? "" : ", ") + field.name + " (" + field.type + ")";
    }
    log.Close();
    return missing;
}

LogCopyResult AppendToTable(const std::string& logFile, const std::string& target) {
    CaptureDbfErrors capture;
    try {
        TTzDbf copy("TzDbfCopy");
        copy.TableLanguage = tlOem;
        copy.HideDeletedRecs = false;
        copy.CreateIfNotFound = false;
        copy.SetDbfFileName(target);
        copy.Open();
        // Fields are paired by name: a table without the log's fields (an
        // address table, say) would keep only part of every piece, and the
        // log would then be emptied.
        if (const std::string missing = MissingLogFields(logFile, copy); !missing.empty())
            return Failed("That table does not have these fields of the mail log: " + missing +
                          ". Choose a table saved from the mail log, or a new file name.");
        if (!copy.ALock()) return {LogCopyResult::Outcome::TargetLocked, {}};
        copy.AppendFrom(logFile);
        copy.UnLock();
        copy.Close();
    } catch (const DbfError& e) {
        return Failed(capture.text.empty() ? e.what() : capture.text);
    } catch (const std::exception& e) {
        return Failed(e.what());
    }
    return {LogCopyResult::Outcome::Copied, {}};
}

LogCopyResult CopyBytes(const std::string& logFile, const std::string& target) {
    const int in = ::open(logFile.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) return Failed(logFile + ": " + std::strerror(errno));
    const int out = ::open(target.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (out < 0) {
        const int err = errno;
        ::close(in);
        return Failed(target + ": " + std::strerror(err));
    }
    int err = 0;
    std::vector<char> buffer(1 << 16);
    for (;;) {
        const ssize_t got = ::read(in, buffer.data(), buffer.size());
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) {
            err = errno;
            break;
        }
        if (got == 0) break;
        for (ssize_t done = 0; done < got && !err;) {
            const ssize_t put = ::write(out, buffer.data() + done, static_cast<std::size_t>(got - done));
            if (put < 0 && errno == EINTR) continue;
            if (put <= 0) err = put < 0 ? errno : ENOSPC;
            else done += put;
        }
        if (err) break;
    }
    // A full disk may only show when the data is flushed.
    if (!err && ::fsync(out) != 0) err = errno;
    if (::close(out) != 0 && !err) err = errno;
    ::close(in);
    if (err) {
        ::unlink(target.c_str());
        return Failed(target + ": " + std::strerror(err));
    }
    return {LogCopyResult::Outcome::Copied, {}};
}

}  // namespace

LogCopyResult CopyLogTo(const std::string& logFile, const std::string& target) {
    std::error_code ec;
    if (std::filesystem::exists(target, ec)) return AppendToTable(logFile, target);
    return CopyBytes(logFile, target);
}

void EmptyLog(TTzDbf& log) {
    log.SetExclusive(true);
    log.GoTop();
    const std::uint32_t n = log.RecCount();
    for (std::uint32_t i = 0; i < n; ++i) {
        log.DeleteRec();
        log.Next();
    }
    log.Pack();
}

}  // namespace gs
