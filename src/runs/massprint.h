#pragma once
// Mass printing: one complete mailer, printed and logged, for every record of
// an address table, without any window. The mailer-number dialog is shown
// again from the first piece on (showMailerScreen := true); then, from the
// first record, for each record not marked deleted, in table order:
//
//   progress (may stop the run) -> TakeNextNumber -> confirmNumber while
//   showMailerScreen (the mailer-number dialog; false abandons) -> the
//   customer-ID check -> the ZIP barcode check -> PrintAndLogPiece -> Next
//
// Each piece is its own print job and its own log record; pieces printed
// stay printed, logged and numbered whenever the run ends. An abandoned
// piece gives its number back. The table is left on the last record visited.
//
// The run ends early, reporting why, when the dialog is cancelled, the
// customer ID is "00-000-0000" in barcode mode, the Intelligent Mail barcode
// is chosen but its tracking fields make no code (checked after the dialog,
// where they are entered, so a run that cannot print one stops before its
// first piece instead of failing on it and using up a number), progress says
// stop, the printer refuses a page (that piece is not logged; its number
// counts as used), a move cannot be made, or a number cannot be taken. A
// printed piece whose log record cannot be written (an error of the table
// store, or another copy keeping the log locked) ends it at once, so that
// at most one printed piece is missing from the log, named by its number.
// The caller shows the messages: nothing here talks to the user.
#include "piece/piecestart.h"
#include "piece/printedpiece.h"
#include "settings/settings.h"
#include "settings/sharednumbers.h"

#include <functional>
#include <string>
#include <vector>

namespace gs {

// The records walked, as the window shows them: each move is made as the
// navigator makes it.
class MassPrintRecords {
public:
    virtual ~MassPrintRecords() = default;
    // False when the move could not be made (a pending edit of the record
    // could not be written).
    virtual bool First() = 0;
    virtual bool Next() = 0;
    virtual bool Eof() const = 0;
    virtual bool IsDeleted() const = 0;
    // The piece of the current record: its recipient, with the sender,
    // fees, RE and comment the window shows.
    virtual PrintedPiece CurrentPiece() = 0;
};

struct MassPrintSteps {
    // The mailer-number dialog, shown before each piece while
    // showMailerScreen is true (it may clear the flag). False abandons the run.
    std::function<bool()> confirmNumber;
    // Before each piece that is to print: its position (1-based) among the
    // records that print, their count, and the piece. False stops the run
    // before it.
    std::function<bool(int piece, int pieces, const PrintedPiece&)> progress;
};

enum class MassPrintStop {
    Finished,           // past the last record
    DialogCancelled,    // the mailer-number dialog was not confirmed
    CustomerIdMissing,  // barcode mode with the customer ID "00-000-0000"
    ZipBarcodeProblem,  // the Intelligent Mail barcode cannot be made (error: why)
    Refused,            // the IMpb fields or a recipient's ZIP cannot make an IMpb (refusal: why)
    Cancelled,          // progress said stop
    PrintFailed,        // the printer refused a page (error: its text)
    NotLogged,          // a printed piece could not be logged (notLogged: its number; error: why,
                        // "" when another copy kept the log locked)
    Failed,             // a number, a move or the log failed (error: why)
};

struct MassPrintOutcome {
    MassPrintStop stop = MassPrintStop::Finished;
    std::string error;
    PieceStartAnswer refusal;             // Refused: the answer of MayPieceStart
    int printed = 0;                      // pieces that went to the printer
    std::vector<std::string> notLogged;   // the grouped number of the piece printed but not logged
    std::string saveError;                // the first reason numbers could not be saved ("" when all were)
};

// pieces: the number of records that print (the records not marked
// deleted), for the progress. The job's printed callback runs for every
// piece printed.
MassPrintOutcome MassPrint(MassPrintRecords& records, int pieces, Settings& settings, SharedNumbers& numbers,
                           bool& showMailerScreen, const PieceJob& job, const MassPrintSteps& steps);

}  // namespace gs
