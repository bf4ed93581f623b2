#include "piece/printedpiece.h"

#include "maillog/maillog.h"
#include "numbering/articlenumber.h"
#include "numbering/imbtracking.h"
#include "numbering/impbnumber.h"
#include "platform/textutil.h"
#include "settings/addresstext.h"

namespace gs {

NumberReservation TakeNextNumber(Settings& settings, SharedNumbers& numbers) {
    return numbers.Reserve(settings, [](Settings& s) { StepArticleNumber(s); });
}

void GiveBackNumber(Settings& settings, SharedNumbers& numbers, const NumberReservation& reservation) {
    numbers.GiveBack(settings, reservation);
}

bool CustomerIdMissing(const Settings& settings) {
    return settings.PrintBarCode && !ArticleFormatIsImpb(settings) && settings.CustID == "00-000-0000";
}

std::string ZipBarcodeProblem(const Settings& settings) {
    if (!ZipBarcodeIsImb(settings)) return {};
    return ImbTrackingProblem(ImbTrackingOf(settings));
}

std::string PlainNumberOf(const Settings& settings) {
    if (!settings.PrintBarCode) return settings.MailerNum;
    if (ArticleFormatIsImpb(settings)) return ComposeImpbNumber(ImpbFieldsOf(settings));
    std::string custId;
    for (char c : settings.CustID)
        if (c != '-') custId += c;
    return ComposeArticleNumber(custId, settings.SerialNum);
}

MailerPrintRequest MailerRequestOf(const PrintedPiece& piece, const Settings& settings) {
    MailerPrintRequest r;
    r.senderLines = piece.senderLines;
    r.senderZip = settings.Zip;
    r.recipientLines = RecipientLinesWithCity(piece.recipientLines, piece.city, piece.state, piece.zip);
    r.recipientZip = piece.zip;
    r.re = piece.re.substr(0, 25);
    r.comment = piece.comment;
    r.restricted.assign(1, piece.restricted ? 'Y' : 'N');
    if (settings.PrintBarCode) {
        for (char c : settings.CustID)
            if (c != '-') r.numberSource += c;
        r.serial = settings.SerialNum;
        if (ArticleFormatIsImpb(settings)) r.impbNumber = ComposeImpbNumber(ImpbFieldsOf(settings));
    } else {
        r.numberSource = settings.MailerNum;
    }
    r.postage = piece.postage;
    r.certifiedFee = piece.certifiedFee;
    r.returnReceiptFee = piece.returnReceiptFee;
    r.restrictedFee = piece.restrictedFee;
    r.total = piece.total;
    r.alignLeftRight = std::to_string(settings.LeftRight);
    r.alignUpDown = std::to_string(settings.TopBottom);
    r.extraLabelOn = settings.PrintExtraLabel;
    r.extraLabelAddress = settings.ExtraLabel;
    r.imbZipBarcode = ZipBarcodeIsImb(settings);
    r.imbTracking = ImbTrackingOf(settings);
    return r;
}

MailLogEntry LogEntryOf(const PrintedPiece& piece, const std::string& groupedNumber) {
    MailLogEntry e;
    e.sentname = piece.recipientLines;
    e.city = piece.city;
    e.state = piece.state;
    e.zip = piece.zip;
    e.mailernum = LoggedMailerNumber(groupedNumber);
    e.postage = piece.postage;
    e.certified = piece.certifiedFee;
    e.restricted = piece.restrictedFee;
    e.returnReceipt = piece.returnReceiptFee;
    e.total = piece.total;
    e.comments = piece.comment;
    e.re = piece.re;
    return e;
}

std::string LoggedMailerNumber(const std::string& groupedNumber) {
    std::string digits;
    for (char c : groupedNumber)
        if (c != ' ') digits += c;
    return digits.size() == 22 ? digits : groupedNumber;
}

PieceOutcome PrintAndLogPiece(const PrintedPiece& piece, const Settings& settings, SharedNumbers& numbers,
                              const NumberReservation& reservation, const PieceJob& job) {
    PieceOutcome out;
    PrintTarget& target = job.target ? *job.target : CurrentPrintTarget();
    bool printed = false;
    try {
        out.number = PrintMailer(target, MailerRequestOf(piece, settings), settings.PrintBarCode, job.baseFont);
        printed = true;
    } catch (const std::exception& e) {
        out.error = e.what();
        out.number = FormatArticleNumber(PlainNumberOf(settings));
    }
    // The numbers reach the settings file at once, so a crash or a halt
    // never hands the same article number out twice.
    out.numbersSaved = numbers.Commit(settings, reservation, &out.saveError);
    if (!printed) return out;
    out.result = PieceResult::Logged;
    if (job.printed) job.printed(out);
    // The log's folder is not made here: the default one was made when its
    // path was asked for, and a folder that was set must not be made on the
    // local disk when the share it lies on has gone.
    if (AppendLogRecord(job.mailLogPath, LogEntryOf(piece, out.number), job.logLockWait) == LogOutcome::LockBusy)
        out.result = PieceResult::LogLockBusy;
    return out;
}

}  // namespace gs
