#include "addresses/textexport.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

#include "addresses/importtext.h"
#include "dbase/tzdbf.h"

namespace gs {

namespace {

// The text file, written a block at a time. Whatever was handed to it before
// an error or a cancel reaches the file when it is closed.
class TextOut {
public:
    explicit TextOut(const std::string& path) : path_(path) {
        fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
        if (fd_ < 0) throw TextTransferError("Cannot create file \"" + path + "\". " + std::strerror(errno));
        buffer_.reserve(kBlock + 4096);
    }
    ~TextOut() {
        if (fd_ < 0) return;
        try {
            Flush();
        } catch (...) {
        }
        ::close(fd_);
    }
    std::string& Buffer() { return buffer_; }
    void FlushIfFull() {
        if (buffer_.size() >= kBlock) Flush();
    }
    // Writes what is left and closes the file; errors are reported.
    void Close() {
        Flush();
        const int fd = fd_;
        fd_ = -1;
        if (::close(fd) != 0) Fail();
    }

private:
    static constexpr std::size_t kBlock = 64 * 1024;
    void Flush() {
        std::size_t done = 0;
        while (done < buffer_.size()) {
            const ssize_t n = ::write(fd_, buffer_.data() + done, buffer_.size() - done);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) {
                buffer_.erase(0, done);
                Fail();
            }
            done += static_cast<std::size_t>(n);
        }
        buffer_.clear();
    }
    [[noreturn]] void Fail() {
        const int err = errno ? errno : EIO;
        throw TextTransferError("Cannot write file \"" + path_ + "\". " + std::strerror(err));
    }

    std::string path_;
    int fd_ = -1;
    std::string buffer_;
};

void PutQuoted(std::string& out, std::string_view value) {
    out += '"';
    out += TrimImportText(value);
    out += '"';
}

}  // namespace

std::string ProposedExportTextName(const std::string& tablePath) {
    const std::size_t slash = tablePath.find_last_of('/');
    std::string name = slash == std::string::npos ? tablePath : tablePath.substr(slash + 1);
    std::size_t at = name.find(".dbf");
    if (at == std::string::npos) at = name.find(".DBF");
    if (at != std::string::npos) name.erase(at, 5);
    return name + ".txt";
}

void OpenTableForExport(TTzDbf& table, const std::string& tablePath) {
    table.ReadOnly = true;
    table.CreateIfNotFound = false;
    table.TableLanguage = tlOem;
    table.HideDeletedRecs = false;
    table.SetDbfFileName(tablePath);
    table.Open();
}

ExportOutcome ExportTableToText(TTzDbf& table, const std::string& textPath, const TransferProgress& progress) {
    TextOut out(textPath);
    ExportOutcome outcome;
    const std::uint64_t total = table.RecCount();
    std::vector<std::string> memo;
    std::string line;
    table.GoTop();
    while (!table.Eof()) {
        // The line is built whole first, so an error halfway leaves no part of it.
        table.GetMField("Address", memo);
        line.clear();
        for (std::size_t i = 0; i < 4; ++i) {
            PutQuoted(line, i < memo.size() ? std::string_view(memo[i]) : std::string_view());
            line += ',';
        }
        PutQuoted(line, table.GetFieldText("City"));
        line += ',';
        PutQuoted(line, table.GetFieldText("State"));
        line += ',';
        PutQuoted(line, table.GetFieldText("Zip"));
        line += "\r\n";
        out.Buffer() += line;
        out.FlushIfFull();
        ++outcome.records;
        table.Next();
        if (progress && outcome.records % kProgressStep == 0 && !progress(outcome.records, total)) {
            outcome.cancelled = true;
            break;
        }
    }
    out.Close();
    if (progress && !outcome.cancelled) progress(outcome.records, total);
    return outcome;
}

}  // namespace gs
