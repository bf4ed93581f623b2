#pragma once
// A run of barcode labels: the barcode block of the mailer (two Code 128
// barcodes and six printed copies of the article number, at the mailer's own
// positions and alignment offsets) printed alone onto blank forms, one page
// and one print job per label, each label with the next serial number. The
// forms are filled in later with barcode printing off, using the numbers they
// carry.
//
//   PrintBarcodeRun          prints the labels from a starting serial and
//                            reports how far it got. Widget-free; the caller
//                            sees each label coming (progress) and may stop
//                            the run between two labels.
//   PrintReservedBarcodeRun  the same with the article numbers of every
//                            running copy: the serials of the whole run are
//                            taken in the settings file before the first
//                            label (so no other copy prints one of them),
//                            and afterwards the serial setting holds the last
//                            serial printed and the file holds it too.
//
// Serials advance by the serial arithmetic of the article number: 99999999
// is followed by 00000001. A starting serial that is no whole number prints
// its first label with the serial 00000000 (as every composed number does)
// and stops the run there, since there is no next serial.
#include "numbering/impbnumber.h"
#include "printing/printtarget.h"
#include "settings/settings.h"
#include "settings/sharednumbers.h"

#include <QFont>
#include <functional>
#include <string>

namespace gs {

struct BarcodeRun {
    int labels = 0;               // nothing is printed when 0 or less
    std::string custIdDigits;     // the customer ID with every "-" removed
    std::string startSerial;      // as entered
    std::string alignLeftRight = "0", alignUpDown = "0";  // decimal text
    QFont baseFont;               // the printing base font
    // IMpb labels: the 22-digit number of these fields, their serial taking
    // the place of startSerial and stepping within its digits (9999999 is
    // followed by 0000000); the symbols carry the number alone, no ZIP.
    bool impb = false;
    ImpbFields impbFields;
};

enum class RunStop {
    Finished,         // every label printed
    Cancelled,        // the progress callback said stop
    PrintFailed,      // the printer refused a label (error: its text)
    SerialNotNumber,  // the serial could not be advanced (error: why)
};

struct BarcodeRunOutcome {
    int printed = 0;          // labels that went to the printer
    std::string lastPrinted;  // the serial the last of them carries ("" when none)
    // The last serial the run used up: lastPrinted, or the serial of a label
    // whose print failed (its job may have started, so it counts as used);
    // "" when the run used none.
    std::string lastUsed;
    RunStop stop = RunStop::Finished;
    std::string error;
    // PrintReservedBarcodeRun only: whether the settings file took the numbers.
    bool numbersSaved = true;
    std::string saveError;
};

// Called before each label with its position (1-based) and the run's length;
// false stops the run before that label.
using LabelProgress = std::function<bool(int label, int labels)>;

BarcodeRunOutcome PrintBarcodeRun(PrintTarget& target, const BarcodeRun& run, const LabelProgress& progress = {});

// The serial of the last label of a run of `labels` from `start` (start
// itself for one label). Throws ArticleNumberError when start is no number.
std::string LastSerialOfRun(const std::string& start, int labels, bool impb = false);

// The run with the shared article numbers. settings holds what the user
// confirmed: SerialNum (IMpbSerial for IMpb labels) the starting serial,
// CustID the customer ID; run is
// built from them. serialBefore is the serial setting as it was before the
// command (the last serial any piece used): it comes back when the run used
// no serial of its own (nothing printed, or a starting serial that is no
// number). Serials reserved but not printed are given back to the file
// only when no other copy has stepped past them meanwhile, so a gap may
// remain, never a duplicate. Throws SettingsBusyError, printing nothing,
// when the settings lock never came free.
BarcodeRunOutcome PrintReservedBarcodeRun(Settings& settings, SharedNumbers& numbers, const std::string& serialBefore,
                                          const BarcodeRun& run, PrintTarget& target,
                                          const LabelProgress& progress = {});

}  // namespace gs
