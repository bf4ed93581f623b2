#include "runs/massprint.h"

#include "numbering/articlenumber.h"

#include <utility>

namespace gs {

namespace {

// One record's piece. Returns false when the run ends here.
bool PrintOne(MassPrintRecords& records, int position, int pieces, Settings& settings, SharedNumbers& numbers,
              bool& showMailerScreen, const PieceJob& job, const MassPrintSteps& steps, MassPrintOutcome& out) {
    const PrintedPiece piece = records.CurrentPiece();
    if (steps.progress && !steps.progress(position, pieces, piece)) {
        out.stop = MassPrintStop::Cancelled;
        return false;
    }
    // The IMpb fields and the record's ZIP before a number is taken; the
    // customer ID and the tracking fields after the dialog, which may set them.
    using namespace piece_check;
    if (PieceStartAnswer answer = MayPieceStart(settings, piece.zip, Impb | RecipientZip); !answer.MayStart()) {
        out.stop = MassPrintStop::Refused;
        out.refusal = std::move(answer);
        return false;
    }
    const NumberReservation reservation = TakeNextNumber(settings, numbers);
    if (showMailerScreen && steps.confirmNumber && !steps.confirmNumber()) {
        GiveBackNumber(settings, numbers, reservation);
        out.stop = MassPrintStop::DialogCancelled;
        return false;
    }
    if (PieceStartAnswer answer = MayPieceStart(settings, piece.zip, CustomerId | ZipBarcode | Impb);
        !answer.MayStart()) {
        GiveBackNumber(settings, numbers, reservation);
        if (answer.refusal == PieceRefusal::CustomerIdMissing) {
            out.stop = MassPrintStop::CustomerIdMissing;
        } else if (answer.refusal == PieceRefusal::ZipBarcodeFields) {
            out.stop = MassPrintStop::ZipBarcodeProblem;
            out.error = std::move(answer.detail);
        } else {
            out.stop = MassPrintStop::Refused;
            out.refusal = std::move(answer);
        }
        return false;
    }
    const int printedBefore = out.printed;
    PieceOutcome pieceOutcome;
    try {
        pieceOutcome = PrintAndLogPiece(piece, settings, numbers, reservation, job);
    } catch (const std::exception& e) {
        if (out.printed == printedBefore) throw;
        // The page went to the printer and its log record was not written.
        out.stop = MassPrintStop::NotLogged;
        out.error = e.what();
        out.notLogged.push_back(FormatArticleNumber(PlainNumberOf(settings)));
        return false;
    }
    if (!pieceOutcome.numbersSaved && out.saveError.empty()) out.saveError = pieceOutcome.saveError;
    if (pieceOutcome.result == PieceResult::PrintFailed) {
        out.stop = MassPrintStop::PrintFailed;
        out.error = pieceOutcome.error;
        return false;
    }
    if (pieceOutcome.result == PieceResult::LogLockBusy) {
        // A piece the log misses is entered by hand; no further piece is
        // printed that the log might miss too.
        out.stop = MassPrintStop::NotLogged;
        out.notLogged.push_back(pieceOutcome.number);
        return false;
    }
    return true;
}

}  // namespace

MassPrintOutcome MassPrint(MassPrintRecords& records, int pieces, Settings& settings, SharedNumbers& numbers,
                           bool& showMailerScreen, const PieceJob& job, const MassPrintSteps& steps) {
    MassPrintOutcome out;
    // Counted as the page goes to the printer, so that a piece whose log
    // record then fails is counted too.
    PieceJob counted = job;
    counted.printed = [&](const PieceOutcome& piece) {
        ++out.printed;
        if (job.printed) job.printed(piece);
    };
    showMailerScreen = true;
    try {
        if (!records.First()) {
            out.stop = MassPrintStop::Failed;
            out.error = "The first record could not be reached.";
            return out;
        }
        int position = 0;
        while (!records.Eof()) {
            if (!records.IsDeleted() &&
                !PrintOne(records, ++position, pieces, settings, numbers, showMailerScreen, counted, steps, out))
                return out;
            if (!records.Next()) {
                out.stop = MassPrintStop::Failed;
                out.error = "The next record could not be reached.";
                return out;
            }
        }
    } catch (const std::exception& e) {
        out.stop = MassPrintStop::Failed;
        out.error = e.what();
    }
    return out;
}

}  // namespace gs
