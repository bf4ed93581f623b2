#include "runs/runcommands.h"

#include "numbering/articlenumber.h"
#include "numbering/impbnumber.h"
#include "numbering/tf_mailer.h"
#include "platform/application.h"
#include "platform/qtext.h"
#include "platform/textutil.h"
#include "platform/userinteraction.h"
#include "piece/piecestart.h"
#include "runs/labelrun.h"
#include "runs/runprogress.h"
#include "runs/tf_printbarcode.h"
#include "settings/addresstext.h"
#include "settings/settings.h"
#include "settings/sharednumbers.h"

namespace gs {

namespace {

const char* const kPreprintQuestion =
    "You have seleceted to pre-print the Bar Code's onto the Mailer's, would you like to continue?";
const char* const kNumbersUnsaved = "The article number could not be saved in the settings file.\n";

// The hourglass steps aside while a dialog waits for the user.
class WaitPause {
public:
    WaitPause() { Ui().EndWait(); }
    ~WaitPause() { Ui().BeginWait(); }
    WaitPause(const WaitPause&) = delete;
    WaitPause& operator=(const WaitPause&) = delete;
};

void Tell(QWidget* parent, const QString& text, QMessageBox::Icon icon) {
    Ui().Message(parent, ApplicationTitle(), text, icon, QMessageBox::Ok);
}

// As Print says it.
QString ImpbRefusalText(const PieceStartAnswer& answer) {
    if (answer.refusal == PieceRefusal::RecipientZip)
        return FromAnsi(answer.detail) + "\r\rPlease complete the ZIP code, and try again.";
    return "The IMpb number cannot be printed. " + FromAnsi(answer.detail) +
           "\r\rPlease correct it under Options > Mailer Number, and try again.";
}

std::string WithoutDashes(const std::string& text) {
    std::string out;
    for (char c : text)
        if (c != '-') out += c;
    return out;
}

QString HowFarTheRunGot(const BarcodeRunOutcome& out, int labels) {
    if (out.printed == 0) return QStringLiteral("No label was printed.");
    return QStringLiteral("%1 of %2 labels were printed; the last serial number printed is %3.")
        .arg(out.printed)
        .arg(labels)
        .arg(FromAnsi(out.lastPrinted));
}

// A run that ended early says how far it got, so the user knows where the
// stack of forms stands.
void ReportRun(const BarcodeRunOutcome& out, const BarcodeRun& run, QWidget* parent) {
    switch (out.stop) {
    case RunStop::Finished: break;
    case RunStop::Cancelled:
        Tell(parent, "Printing the bar codes was cancelled.\n" + HowFarTheRunGot(out, run.labels),
             QMessageBox::Information);
        break;
    case RunStop::PrintFailed: {
        QString text = "Printing the bar codes stopped: " + FromAnsi(out.error) + "\n" + HowFarTheRunGot(out, run.labels);
        if (out.lastUsed != out.lastPrinted)
            text += "\nThe serial number " + FromAnsi(out.lastUsed) +
                    " of the label that failed may have been printed in part; it will not be used again.";
        Tell(parent, text, QMessageBox::Critical);
        break;
    }
    case RunStop::SerialNotNumber:
        Tell(parent,
             "The Identifier Serial Number \"" + FromAnsi(run.startSerial) +
                 "\" is not a whole number, so the first label was printed with the serial number " +
                 FromAnsi(out.lastPrinted) + " and printing stopped there.",
             QMessageBox::Critical);
        break;
    }
    if (!out.numbersSaved) Tell(parent, kNumbersUnsaved + FromAnsi(out.saveError), QMessageBox::Warning);
}

QString RecipientName(const PrintedPiece& piece) {
    for (const std::string& line : piece.recipientLines) {
        const std::string name = Trim(line);
        if (!name.empty()) return FromAnsi(name.substr(0, 40));
    }
    return FromAnsi(Trim(piece.city));
}

void ReportMassPrint(const MassPrintOutcome& out, int pieces, QWidget* parent) {
    const QString howFar = QStringLiteral("%1 of %2 mailers were printed.").arg(out.printed).arg(pieces);
    switch (out.stop) {
    case MassPrintStop::Finished:
    case MassPrintStop::DialogCancelled: break;
    case MassPrintStop::CustomerIdMissing:
        Tell(parent,
             "You can not print a Mailer with \"00-000-0000\" as a Customer ID. (DUNS No.)\r\n"
             "Please enter in a Customer ID (DUNS No.), and try again.",
             QMessageBox::Critical);
        break;
    case MassPrintStop::ZipBarcodeProblem:
        // As Print says it.
        Tell(parent,
             "The Intelligent Mail barcode cannot be printed. " + FromAnsi(out.error) +
                 "\r\rPlease correct it under Options > Mailer Number, and try again.",
             QMessageBox::Critical);
        break;
    case MassPrintStop::Refused:
        Tell(parent, ImpbRefusalText(out.refusal) + "\n" + howFar, QMessageBox::Critical);
        break;
    case MassPrintStop::Cancelled:
        Tell(parent, "Mass printing was cancelled.\n" + howFar, QMessageBox::Information);
        break;
    case MassPrintStop::PrintFailed:
    case MassPrintStop::Failed: Tell(parent, FromAnsi(out.error) + "\n" + howFar, QMessageBox::Critical); break;
    case MassPrintStop::NotLogged: {
        const QString why = out.error.empty() ? "another copy of " + ApplicationTitle() + " kept the log locked"
                                              : FromAnsi(out.error);
        Tell(parent,
             "The piece with the article number " + FromAnsi(out.notLogged.empty() ? "" : out.notLogged.back()) +
                 " was printed, but it could not be entered in the mail log: " + why +
                 ".\nMass printing stopped there; please enter that piece in the log by hand.\n" + howFar,
             QMessageBox::Critical);
        break;
    }
    }
    if (!out.saveError.empty()) Tell(parent, kNumbersUnsaved + FromAnsi(out.saveError), QMessageBox::Warning);
}

}  // namespace

void PrintBarCodesCommand(Settings& settings, SharedNumbers& numbers, const QFont& baseFont, QWidget* parent) {
    if (Ui().Message(parent, ApplicationTitle(), kPreprintQuestion, QMessageBox::Question,
                     QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
        return;

    // Labels are printed before their recipient is known: no ZIP to check.
    if (const PieceStartAnswer answer = MayPieceStart(settings, {}, piece_check::Impb); !answer.MayStart()) {
        Tell(parent, ImpbRefusalText(answer), QMessageBox::Critical);
        return;
    }
    // Another copy may have printed since: the dialog starts from its numbers.
    numbers.Refresh(settings);
    const ArticleNumberUndo undo(settings);
    // IMpb labels are numbered by the IMpb serial.
    const bool impb = ArticleFormatIsImpb(settings);
    std::string& serial = impb ? settings.IMpbSerial : settings.SerialNum;
    const std::string serialBefore = serial;
    // The dialog offers the serial after the last one used, in either mode:
    // the labels are numbered by the serial, never by the pre-printed
    // mailer number, which stays on the last form used.
    serial = impb ? StepImpbSerialText(serial, +1) : StepSerial(serial, +1);

    TF_PrintBarCode dialog(settings, parent);
    if (Ui().RunModal(dialog) != QDialog::Accepted) {
        undo.Restore(settings);
        return;
    }
    // The values entered stay.
    if (const PieceStartAnswer answer = MayPieceStart(settings, {}, piece_check::CustomerId | piece_check::Impb);
        !answer.MayStart()) {
        if (answer.refusal == PieceRefusal::CustomerIdMissing)
            Tell(parent,
                 "You can not print a Mailer with \"00-000-0000\" as a Customer ID. (DUNS No.)\r\r"
                 "Please enter in a Customer ID (DUNS No.), and try again.",
                 QMessageBox::Critical);
        else
            Tell(parent, ImpbRefusalText(answer), QMessageBox::Critical);
        return;
    }

    BarcodeRun run;
    run.labels = dialog.NumLabels();
    run.custIdDigits = WithoutDashes(settings.CustID);
    run.startSerial = settings.SerialNum;
    run.impb = impb;
    run.impbFields = ImpbFieldsOf(settings);
    run.alignLeftRight = std::to_string(settings.LeftRight);
    run.alignUpDown = std::to_string(settings.TopBottom);
    run.baseFont = baseFont;
    BarcodeRunOutcome out;
    {
        WaitCursor wait;
        RunProgressDialog progress(run.labels, parent);
        out = PrintReservedBarcodeRun(settings, numbers, serialBefore, run, CurrentPrintTarget(),
                                      [&](int label, int labels) {
                                          return progress.Step(label, LabelProgressText(label, labels));
                                      });
    }
    ReportRun(out, run, parent);
}

void MassPrintCommand(MassPrintTable& table, Settings& settings, SharedNumbers& numbers, bool& showMailerScreen,
                      const PieceJob& job, QWidget* parent) {
    const std::optional<int> pieces = table.LiveCount();
    if (!pieces) return;
    // A line feed, then a carriage return.
    const QString question =
        QStringLiteral("You are about to print %1 labels.\n\rWould you like to continue?").arg(*pieces);
    if (Ui().Message(parent, ApplicationTitle(), question, QMessageBox::Question,
                     QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
        return;

    MassPrintOutcome out;
    {
        WaitCursor wait;
        RunProgressDialog progress(*pieces, parent);
        MassPrintSteps steps;
        steps.confirmNumber = [&] {
            WaitPause pause;
            TF_Mailer dialog(settings, showMailerScreen, true, parent);
            return Ui().RunModal(dialog) == QDialog::Accepted;
        };
        steps.progress = [&](int piece, int count, const PrintedPiece& p) {
            return progress.Step(piece, MailerProgressText(piece, count, RecipientName(p)));
        };
        out = MassPrint(table, *pieces, settings, numbers, showMailerScreen, job, steps);
    }
    ReportMassPrint(out, *pieces, parent);
}

}  // namespace gs
