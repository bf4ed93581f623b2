#pragma once
// Error reporting of the table store.
//
// Every engine error is a code and a detail text. It goes to one fatal-error
// handler. The default handler writes the "Program halted." report to stderr
// and ends the process with the code as exit status. The main window installs
// a handler that shows the report box and saves the settings first; tests
// install one that records the error and returns. When a handler returns, the
// engine throws DbfError from the failing operation, leaving the table in a
// safe state (closed when opening failed, otherwise unchanged by the failed
// step).
//
// Plain messages after which the operation goes on or is abandoned
// ("Lock failed [Post]", "Could not create ...") go to the message handler.
//
// Errors of the dataset layer (an unknown field name, a text that is not a
// number or date) are ordinary exceptions: DatasetError.
#include <functional>
#include <stdexcept>
#include <string>

namespace gs {

namespace dbferr {
inline constexpr int kFileNotFound = 2;
inline constexpr int kPathNotFound = 3;
inline constexpr int kAccessDenied = 5;
inline constexpr int kSharingViolation = 32;
inline constexpr int kLockViolation = 33;
inline constexpr int kReadError = 100;
inline constexpr int kWriteError = 101;
inline constexpr int kNotDbase = 210;
inline constexpr int kBadFieldType = 211;
inline constexpr int kFileInUse = 214;
inline constexpr int kNoMemory = 217;
inline constexpr int kInvalidParameter = 220;
inline constexpr int kIndexNotOpen = 221;
inline constexpr int kCorruptIndex = 222;
inline constexpr int kExclusiveRequired = 225;
inline constexpr int kWrongParserType = 254;
inline constexpr int kInvalidSize = 266;
inline constexpr int kExpressionTooLong = 300;
inline constexpr int kInvalidMemoAddress = 1003;
inline constexpr int kDiskFull = 1004;
inline constexpr int kMemoWriteError = 1005;
inline constexpr int kNoSpaceToPackMemo = 1012;
inline constexpr int kCannotLockMemo = 1017;
inline constexpr int kCannotUnlockMemo = 1018;
inline constexpr int kInvalidOperation = 1103;
inline constexpr int kRecordNotLocked = 1200;
inline constexpr int kFileNotLocked = 1201;
}  // namespace dbferr

// The description shown for a code ("Undefined error" for unknown codes).
std::string DbfErrorDescription(int code);

// "Error # 210 (Not a dBASE data file)\n<detail>": the text of the report box
// titled "Program halted.".
std::string DbfErrorReportText(int code, const std::string& detail);

inline constexpr const char* kProgramHaltedCaption = "Program halted.";

class DbfError : public std::runtime_error {
public:
    DbfError(int code, std::string detail);
    int Code() const { return code_; }
    const std::string& Description() const { return description_; }
    const std::string& Detail() const { return detail_; }

private:
    int code_;
    std::string description_;
    std::string detail_;
};

// Ordinary failures of the dataset layer (unknown field, bad value).
class DatasetError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

using DbfFatalHandler = std::function<void(int code, const std::string& description,
                                           const std::string& detail)>;
using DbfMessageHandler = std::function<void(const std::string& text)>;

// Install a handler; an empty function restores the default. Returns the
// previous handler (empty when it was the default).
DbfFatalHandler SetDbfFatalHandler(DbfFatalHandler handler);
DbfMessageHandler SetDbfMessageHandler(DbfMessageHandler handler);

// Reports a fatal engine error. If the handler returns, throws DbfError.
[[noreturn]] void RaiseDbfError(int code, const std::string& detail);

// Shows a plain message (Lock failed, Could not create ...).
void ShowDbfMessage(const std::string& text);

}  // namespace gs
