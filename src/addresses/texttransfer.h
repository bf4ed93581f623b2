#pragma once
// What the text import and the text export share: their error, their
// progress report and the record count between two reports.
#include <cstdint>
#include <functional>
#include <stdexcept>

namespace gs {

// A failure of an import or export that the command shows after
// "Error on import: " or "Error on export: " (files that cannot be opened,
// read, written or deleted, a table that another copy keeps locked). Errors of
// the dataset layer (DatasetError: a missing field, a rejected value) reach
// the command the same way; errors the table store reports by its own means
// (DbfError) do not belong to the command.
class TextTransferError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Called with the records done and the records expected, after every
// kProgressStep records and once at the end. Returning false cancels: the
// work stops there and keeps what it has written.
using TransferProgress = std::function<bool(std::uint64_t done, std::uint64_t total)>;
inline constexpr std::uint64_t kProgressStep = 1000;

}  // namespace gs
