#pragma once
// The road of one printed piece, without any window: take the next article
// number, print the mailer, save the numbers, append the log record. The
// main window, mass printing and the batch command all go through here;
// what they show of it is their own business.
//
//   1. TakeNextNumber       reserves the number the piece will carry (under
//                           the settings lock, see settings/sharednumbers.h)
//                           and puts it into the settings record. Throws
//                           ArticleNumberError when the stored serial is no
//                           number (nothing changed), SettingsBusyError when
//                           another copy keeps the settings locked.
//   -- the caller may now show the mailer-number dialog and check the
//      customer ID (CustomerIdMissing) and the ZIP barcode
//      (ZipBarcodeProblem); to abandon the piece it calls
//      GiveBackNumber, which returns the number only when nobody has
//      stepped past it meanwhile.
//   2. PrintAndLogPiece     prints one mailer on job.target from the piece
//                           and the record's numbers, then commits the
//                           numbers to the settings file (also when the
//                           printer failed: the job may have started, so
//                           the number counts as used), calls job.printed,
//                           and appends the log record to job.mailLogPath
//                           (its folder is made when missing),
//                           waiting up to job.logLockWait for another copy's
//                           append lock.
//
// PrintAndLogPiece returns what happened instead of showing it: the grouped
// number, Logged / LogLockBusy (printed, not logged) / PrintFailed (with the
// printer's text; nothing logged), and the reason when the numbers could
// not be saved. Table-store errors while logging propagate as the table
// store raises them (after the numbers are saved); the piece is printed.
//
// The piece is plain data. The recipient is whatever the caller supplies:
// the entry fields of the window, or one record of an address table or of
// an import file.
#include "printing/mailer.h"
#include "printing/printtarget.h"
#include "settings/settings.h"
#include "settings/sharednumbers.h"

#include <QFont>
#include <array>
#include <chrono>
#include <functional>
#include <string>

namespace gs {

struct MailLogEntry;

// Texts are Windows-1252, exactly as the window displays them.
struct PrintedPiece {
    std::array<std::string, 5> senderLines;     // the sender labels (SenderLabels of the settings)
    std::array<std::string, 4> recipientLines;  // the first four lines of the recipient address, unchanged
    std::string city, state;                    // as entered; trimmed where printed and logged
    std::string zip;                            // cleaned by NormalizeZip
    std::string re;                             // the RE field; the form prints its first 25 characters
    std::string comment;
    bool restricted = false;
    // The fee fields and the total as displayed (FormatAmount's right-aligned
    // texts; a restricted fee of " " or "" when restricted delivery is off).
    std::string postage, certifiedFee, returnReceiptFee, restrictedFee, total;
};

enum class PieceResult { Logged, LogLockBusy, PrintFailed };

struct PieceOutcome {
    PieceResult result = PieceResult::PrintFailed;
    std::string number;     // grouped form of the number the piece carries
    std::string error;      // PrintFailed: the printer's text
    bool numbersSaved = true;
    std::string saveError;  // why the numbers could not be saved
};

struct PieceJob {
    PrintTarget* target = nullptr;  // nullptr: CurrentPrintTarget()
    std::string mailLogPath;
    std::chrono::milliseconds logLockWait{2000};
    QFont baseFont = DefaultBaseFont();
    // Called once the page went to the printer and the numbers are saved,
    // before the log is opened (the window turns its entry grey here).
    std::function<void(const PieceOutcome&)> printed;
};

NumberReservation TakeNextNumber(Settings& settings, SharedNumbers& numbers);
void GiveBackNumber(Settings& settings, SharedNumbers& numbers, const NumberReservation& reservation);

// Barcode mode with the 20-digit number and the customer ID "00-000-0000":
// no mailer may be printed. (The IMpb number carries no customer ID.)
bool CustomerIdMissing(const Settings& settings);
// With the Intelligent Mail barcode chosen: what keeps its tracking fields
// from making a tracking code ("" when nothing does, and always with
// POSTNET). A mailer printed anyway fails with PrintError.
std::string ZipBarcodeProblem(const Settings& settings);

PieceOutcome PrintAndLogPiece(const PrintedPiece& piece, const Settings& settings, SharedNumbers& numbers,
                              const NumberReservation& reservation, const PieceJob& job);

// The print request and the log record the piece gives.
MailerPrintRequest MailerRequestOf(const PrintedPiece& piece, const Settings& settings);
MailLogEntry LogEntryOf(const PrintedPiece& piece, const std::string& groupedNumber);
// The log's mailernum field holds 25 characters: a 20-digit number in its
// grouped form (24), a 22-digit IMpb number as its digits without spaces.
std::string LoggedMailerNumber(const std::string& groupedNumber);

// The number the piece prints, plain (20 digits, or the 22 of an IMpb):
// composed in barcode mode, the stored pre-printed number otherwise.
std::string PlainNumberOf(const Settings& settings);

}  // namespace gs
