#pragma once
// greenslip-batch: prints and logs certified mailers for a list of
// recipients, from a script or a scheduled job, with the same settings file,
// article numbers, barcode mode and mail log as the window.
//
//   greenslip-batch print FILE [--printer NAME | --pdf DIR] [--dry-run]
//                   [--postage AMOUNT] [--certified AMOUNT]
//                   [--return-receipt AMOUNT] [--restricted[=AMOUNT]]
//                   [--re TEXT] [--comment TEXT] [--format 20|impb]
//   greenslip-batch --help | --version
//
// FILE is a name-and-address text file as the import reads it: seven
// comma-separated fields per line (four name lines, city, state, ZIP), the
// import's quoting rule, CR LF / LF / lone CR / Ctrl+Z as the import reads
// them, UTF-8 converted to the program's code page. A blank line is
// skipped. A line that does not give a recipient (fewer than seven fields,
// no name line, a ZIP that is not five digits or ZIP+4) is reported on
// stderr with its line number and skipped before anything is printed for
// it.
//
// Every other line is one piece: its number is reserved as the window does
// (shared with every running copy), the mailer printed, the numbers saved,
// the piece logged. Fees come from the settings file; the fee options
// override them for every piece (--restricted ticks restricted delivery,
// with the stored restricted fee or the one given). --re and --comment go
// on every piece (cut to the window's 25 and 35 characters).
//
// --format chooses, for this run only, the 20-digit article number or the
// 22-digit IMpb (whose barcode carries the recipient's ZIP); without it the
// settings file's choice holds.
//
// When the printer fails a piece (its number counts as used, as in the
// window), printing stops there and the lines left are not printed. When a
// printed piece cannot be logged (the log folder went away, another copy
// kept the log locked), printing stops before the next piece, naming the
// piece's number so that it can be entered by hand; a log folder found gone
// before a piece stops the run before it prints.
//
// Output: --pdf DIR writes one PDF per piece, named by its article number (20 or 22 digits);
// --printer NAME hands each page to that CUPS queue; with neither, the CUPS
// default queue, or with no default queue, as the window does with no
// printer, one PDF per piece in "Printed/" among the program's own files
// (said on stderr). --dry-run shows the numbers and recipients it would use
// and changes no file at all.
//
// stdout: one line per piece, "<number>\t<recipient>\t<result>" (UTF-8).
// stderr: bad lines, a summary naming the lines not printed, and progress
// when stderr is a terminal.
// Exit status: 0 every line printed and logged; 1 some line was bad or
// failed to print; 2 bad usage, an unreadable file, or settings that cannot
// print at all (no sender, no customer ID in barcode mode, a stored serial
// that is no number), with nothing printed; 2 also when the run stopped
// because the mail log could not take a piece (printed or about to be).
#include "printing/printtarget.h"

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace gs {

struct BatchOptions {
    bool help = false;
    bool version = false;
    std::string file;
    std::string printer;  // CUPS queue
    std::string pdfDir;
    bool dryRun = false;
    std::optional<std::string> postage, certified, returnReceipt;
    bool restricted = false;
    std::optional<std::string> restrictedFee;
    std::string re, comment;  // Windows-1252
    std::string format;       // "", "20" or "impb"
};

// Parses the arguments after the program name. nullopt with the reason on
// bad usage.
std::optional<BatchOptions> ParseBatchArguments(const std::vector<std::string>& args, std::string* error);

std::string BatchUsage();

// Runs the command with the program folder and settings file of this
// process. `target`, when given, replaces the printer or PDF folder (tests).
int RunBatch(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, bool showProgress,
             PrintTarget* target = nullptr);

}  // namespace gs
