#include "runs/labelrun.h"

#include "numbering/articlenumber.h"
#include "numbering/impbnumber.h"
#include "printing/geometry.h"
#include "printing/mailer.h"

namespace gs {

namespace {

// One label: the mailer's barcode block on a page of its own.
void PrintLabel(PrintTarget& target, const BarcodeRun& run, const std::string& plainNumber) {
    target.PrintPage(QStringLiteral("Bar Code Label"), [&](PrintCanvas& canvas) {
        PrintMetrics metrics;
        metrics.alignLeftRight = run.alignLeftRight;
        metrics.alignUpDown = run.alignUpDown;
        PreparePrintMetrics(metrics, canvas, run.baseFont);
        if (run.impb)
            DrawImpbBarcodeBlock(canvas, metrics, plainNumber, "");
        else
            DrawBarcodeBlock(canvas, metrics, plainNumber);
        RestoreBaseFont(canvas, metrics);
    });
}

// The serial as the label carries it (between "71" with the customer ID and
// the check digit): a serial that is no number is composed as zeros.
std::string PrintedSerial(const BarcodeRun& run, const std::string& plainNumber) {
    if (run.impb) {
        const std::size_t digits = static_cast<std::size_t>(ImpbSerialDigits(run.impbFields.channel));
        return plainNumber.substr(plainNumber.size() - 1 - digits, digits);
    }
    return plainNumber.substr(11, plainNumber.size() - 12);
}

std::string LabelNumber(const BarcodeRun& run, const std::string& serial) {
    if (!run.impb) return ComposeArticleNumber(run.custIdDigits, serial);
    ImpbFields fields = run.impbFields;
    fields.serial = serial;
    return ComposeImpbNumber(fields);
}

}  // namespace

BarcodeRunOutcome PrintBarcodeRun(PrintTarget& target, const BarcodeRun& run, const LabelProgress& progress) {
    BarcodeRunOutcome out;
    std::string serial = run.impb ? run.impbFields.serial : run.startSerial;
    for (int label = 1; label <= run.labels; ++label) {
        if (progress && !progress(label, run.labels)) {
            out.stop = RunStop::Cancelled;
            return out;
        }
        const std::string plain = LabelNumber(run, serial);
        try {
            PrintLabel(target, run, plain);
        } catch (const std::exception& e) {
            out.stop = RunStop::PrintFailed;
            out.error = e.what();
            out.lastUsed = PrintedSerial(run, plain);
            return out;
        }
        ++out.printed;
        out.lastPrinted = out.lastUsed = PrintedSerial(run, plain);
        // Advanced after every label, the last one too: a serial that is no
        // number is found out even on a run of one.
        try {
            serial = run.impb ? StepImpbSerialText(serial, +1) : StepSerial(serial, +1);
        } catch (const ArticleNumberError& e) {
            out.stop = RunStop::SerialNotNumber;
            out.error = e.what();
            return out;
        }
    }
    return out;
}

std::string LastSerialOfRun(const std::string& start, int labels, bool impb) {
    auto step = [impb](const std::string& s, int delta) { return impb ? StepImpbSerialText(s, delta) : StepSerial(s, delta); };
    std::string serial = step(start, 0);  // throws when start is no number
    for (int i = 1; i < labels; ++i) serial = step(serial, +1);
    return serial;
}

BarcodeRunOutcome PrintReservedBarcodeRun(Settings& settings, SharedNumbers& numbers, const std::string& serialBefore,
                                          const BarcodeRun& run, PrintTarget& target,
                                          const LabelProgress& progress) {
    // The serial setting the run numbers by: the IMpb serial, or SerialNum.
    std::string Settings::*serialKey = run.impb ? &Settings::IMpbSerial : &Settings::SerialNum;
    std::string NumberKeys::*fileKey = run.impb ? &NumberKeys::IMpbSerial : &NumberKeys::SerialNum;
    std::string last;
    try {
        if (run.labels > 0) last = LastSerialOfRun(settings.*serialKey, run.labels, run.impb);
    } catch (const ArticleNumberError&) {
        // No range to take: the one label the run prints carries zeros.
    }
    if (last.empty()) {
        BarcodeRunOutcome out = PrintBarcodeRun(target, run, progress);
        settings.*serialKey = serialBefore;
        return out;
    }

    // The whole run is taken before its first label, with the customer ID
    // it prints: another copy's next piece steps past the last label.
    const std::string custId = settings.CustID;
    const NumberReservation whole = numbers.Reserve(settings, [&](Settings& s) {
        s.*serialKey = last;
        s.CustID = custId;
    });

    BarcodeRunOutcome out = PrintBarcodeRun(target, run, progress);
    NumberReservation settled = whole;
    if (out.lastUsed != last) {
        // Stopped early: the serial goes back to the last one used, and so
        // does the file unless another copy has taken numbers after the run's.
        NumberReservation unused = whole;
        unused.before.*fileKey = out.lastUsed.empty() ? serialBefore : out.lastUsed;
        unused.before.CustID = whole.reserved.CustID;
        unused.before.MailerNum = whole.reserved.MailerNum;
        numbers.GiveBack(settings, unused);
        settled = {unused.before, unused.before};
    }
    // Makes sure the file holds the numbers (a write that failed before is
    // tried again and reported); numbers another copy took meanwhile stay.
    out.numbersSaved = numbers.Commit(settings, settled, &out.saveError);
    return out;
}

}  // namespace gs
