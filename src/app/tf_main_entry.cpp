// The main window's mailpiece entry (fees, recipient box, paste, the
// editable and printed states) and its Print command.
#include "app/tf_main.h"
#include "platform/textutil.h"

#include "addresses/addressmode.h"
#include "app/addresspaste.h"
#include "app/entry.h"
#include "maillog/maillog.h"
#include "numbering/tf_mailer.h"
#include "piece/printedpiece.h"
#include "platform/addressmemo.h"
#include "platform/clipboard.h"
#include "platform/maskedit.h"
#include "platform/qtext.h"
#include "platform/userinteraction.h"
#include "printing/printtarget.h"
#include "settings/addresstext.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace gs {

namespace {

const QColor kPrintedGrey(192, 192, 192);

}  // namespace

void TF_Main::FeeExit(QLineEdit* edit) {
    const FeeFieldTexts fields{ToAnsi(editPostage->text()), ToAnsi(editCertFee->text()),
                               ToAnsi(editRestricted->text()), ToAnsi(editReturn->text())};
    const NormalizedFee r = NormalizeFeeText(ToAnsi(edit->text()), fields);
    editTotal->setText(FromAnsi(r.totalText));
    edit->setText(FromAnsi(r.fieldText));
}

void TF_Main::editPostageExit() { FeeExit(editPostage); }
void TF_Main::editCertFeeExit() { FeeExit(editCertFee); }
void TF_Main::editReturnExit() { FeeExit(editReturn); }
void TF_Main::editRestrictedExit() { FeeExit(editRestricted); }

void TF_Main::cbRestrictedClick() {
    const bool on = cbRestricted->isChecked();
    lblRestricted->setEnabled(on);
    editRestricted->setEnabled(on);
    editRestricted->setText(on ? FromAnsi(settings.Restricted) : QString());
    editRestrictedExit();
}

void TF_Main::memoAddressChange() {
    memoAddress->CutToFourLines();
    SetEntryEditable();
}

void TF_Main::memoAddressExit() { memoAddress->RewriteLines(); }

void TF_Main::editPostageChange() { SetEntryEditable(); }

void TF_Main::btnClearClick() {
    memoAddress->setPlainText(" ");
    editCity->clear();
    editState->clear();
    editZip->clear();
}

void TF_Main::btnPasteClick() {
    // The plain fields are cleared in both modes; the bound ones only take
    // what the clipboard brings.
    btnClearClick();
    const std::optional<PastedAddress> pasted = ParsePastedAddress(ClipboardText());
    if (!pasted) return;
    const bool bound = addressMode->Active();
    (bound ? addressMode->tzeditCity : editCity)->setText(FromAnsi(pasted->city));
    (bound ? addressMode->tzeditState : editState)->setText(FromAnsi(pasted->state));
    (bound ? addressMode->tzeditZip : editZip)->setText(FromAnsi(pasted->zip));
    // The name lines replace the box's lines, the bound box's too: lines of
    // the record's old address must not stay below a pasted one.
    if (!pasted->nameLines.empty())
        (bound ? addressMode->tzmemoAddress : memoAddress)->setPlainText(FromAnsi(PastedBoxText(pasted->nameLines)));
}

void TF_Main::MIReadWriteToDBClick() {
    RunCommand([this] { addressMode->EnterAddressMode(this, settings.AddressDir); });
}

void TF_Main::btnExitClick() {
    RunCommand([this] {
        if (addressMode->LeaveAddressMode()) editPostageExit();
    });
}

void TF_Main::SaveValues1Click() {
    settings.Postage = Trim(ToAnsi(editPostage->text()));
    settings.CertFee = Trim(ToAnsi(editCertFee->text()));
    settings.Return = Trim(ToAnsi(editReturn->text()));
    const std::string restricted = Trim(ToAnsi(editRestricted->text()));
    if (!restricted.empty()) settings.Restricted = restricted;
}

QList<QWidget*> TF_Main::EntryControls() const {
    return {editPostage,
            editCertFee,
            editRestricted,
            editReturn,
            editTotal,
            editRe,
            editComment,
            memoAddress,
            editCity,
            editState,
            editZip,
            addressMode->tzmemoAddress,
            addressMode->tzeditCity,
            addressMode->tzeditState,
            addressMode->tzeditZip};
}

void TF_Main::Recolour(const QColor& colour) {
    for (QWidget* w : EntryControls()) {
        QPalette p = w->palette();
        p.setColor(QPalette::Base, colour);
        w->setPalette(p);
    }
}

void TF_Main::SetEntryEditable() {
    entryPrinted_ = false;
    Recolour(Qt::white);
    btnPrint->setEnabled(true);
}

void TF_Main::SetEntryPrinted() {
    entryPrinted_ = true;
    Recolour(kPrintedGrey);
    btnPrint->setEnabled(false);
}

// ---- Print command ----

void TF_Main::MIPrintClick() { btnPrintClick(); }

bool TF_Main::MailLogFolderReachable() {
    const PieceStartAnswer answer = MayPieceStart(settings, {}, piece_check::LogFolder);
    if (answer.MayStart()) return true;
    ShowPieceRefusal(answer);
    return false;
}

void TF_Main::ShowPieceRefusal(const PieceStartAnswer& answer) {
    QString text;
    switch (answer.refusal) {
    case PieceRefusal::None: return;
    case PieceRefusal::LogFolderUnreachable:
        text = "The mail log folder \"" + QString::fromStdString(answer.detail) +
               "\" cannot be reached, so nothing was printed: it could not be logged. Check that the file "
               "server's share is mounted, or choose another folder in Options > Mail Log Folder.";
        break;
    case PieceRefusal::CustomerIdMissing:
        text = "You can not print a Mailer with \"00-000-0000\" as a Customer ID.\r\r"
               "Please enter in a Customer ID, and try again.";
        break;
    case PieceRefusal::ZipBarcodeFields:
        text = "The Intelligent Mail barcode cannot be printed. " + FromAnsi(answer.detail) +
               "\r\rPlease correct it under Options > Mailer Number, and try again.";
        break;
    case PieceRefusal::ImpbFields:
        text = "The IMpb number cannot be printed. " + FromAnsi(answer.detail) +
               "\r\rPlease correct it under Options > Mailer Number, and try again.";
        break;
    case PieceRefusal::RecipientZip:
        text = FromAnsi(answer.detail) + "\r\rPlease complete the ZIP code, and try again.";
        break;
    }
    Ui().Message(this, windowTitle(), text, QMessageBox::Critical, QMessageBox::Ok);
}

void TF_Main::btnPrintClick() {
    RunCommand([this] {
        using namespace piece_check;
        // Nothing that cannot be logged, and no IMpb without its fields or
        // the recipient's ZIP: refused before a number is taken.
        const PrintedPiece piece = CurrentPiece();
        if (const PieceStartAnswer answer = MayPieceStart(settings, piece.zip, LogFolder | Impb | RecipientZip);
            !answer.MayStart()) {
            ShowPieceRefusal(answer);
            return;
        }
        // 1-2: the next number, reserved so that no other copy prints it too;
        // a serial that is no number stops the command here, nothing changed.
        reservation_ = TakeNextNumber(settings, Numbers);
        // 3
        if (ShowMailerScreen) {
            TF_Mailer dialog(settings, ShowMailerScreen, true, this);
            if (Ui().RunModal(dialog) != QDialog::Accepted) {
                GiveBackNumber(settings, Numbers, reservation_);
                return;
            }
        }
        // 4: what the dialog may have set
        if (const PieceStartAnswer answer = MayPieceStart(settings, piece.zip, CustomerId | ZipBarcode | Impb);
            !answer.MayStart()) {
            ShowPieceRefusal(answer);
            GiveBackNumber(settings, Numbers, reservation_);
            return;
        }
        // 5
        PrintAndLogPiece();
    });
}

PrintedPiece TF_Main::CurrentPiece() const {
    PrintedPiece p;
    QLabel* sender[] = {lblYourAddress1, lblYourAddress2, lblYourAddress3, lblYourAddress4, lblYourAddress5};
    for (int i = 0; i < 5; ++i) p.senderLines[i] = ToAnsi(sender[i]->text());
    if (addressMode->Active()) {
        // The current record as the bound controls show it, an edit not
        // yet posted included.
        const AddressMode::BoundRecipient bound = addressMode->Recipient();
        for (int i = 0; i < 4; ++i) p.recipientLines[i] = bound.lines[i];
        p.city = bound.city;
        p.state = bound.state;
        p.zip = NormalizeZip(bound.zip);
    } else {
        for (int i = 0; i < 4; ++i) p.recipientLines[i] = ToAnsi(memoAddress->Line(i));
        p.city = ToAnsi(editCity->text());
        p.state = ToAnsi(editState->text());
        p.zip = NormalizeZip(ToAnsi(MaskedText(*editZip)));
    }
    p.re = ToAnsi(editRe->text());
    p.comment = ToAnsi(editComment->text());
    p.restricted = cbRestricted->isChecked();
    p.postage = ToAnsi(editPostage->text());
    p.certifiedFee = ToAnsi(editCertFee->text());
    p.returnReceiptFee = ToAnsi(editReturn->text());
    p.restrictedFee = ToAnsi(editRestricted->text());
    p.total = ToAnsi(editTotal->text());
    return p;
}

void TF_Main::PrintAndLogPiece() {
    WaitCursor wait;
    PieceJob job;
    job.mailLogPath = MailLogFileName;
    job.logLockWait = LogLockWait;
    job.baseFont = FontDialog1;
    job.printed = [this](const PieceOutcome& outcome) {
        lastPrintedNumber_ = outcome.number;
        WarnIfNumbersUnsaved(outcome);
        SetEntryPrinted();
    };
    const PieceOutcome outcome = gs::PrintAndLogPiece(CurrentPiece(), settings, Numbers, reservation_, job);
    reservation_ = {};
    if (outcome.result == PieceResult::PrintFailed) {
        WarnIfNumbersUnsaved(outcome);
        throw PrintError(outcome.error);
    }
    if (outcome.result == PieceResult::LogLockBusy)
        Ui().Message(this, windowTitle(),
                     "The piece with the article number " + FromAnsi(outcome.number) +
                         " was printed, but it could not be entered in the mail log: another copy of " +
                         windowTitle() + " kept the log locked.",
                     QMessageBox::Warning, QMessageBox::Ok);
}

void TF_Main::WarnIfNumbersUnsaved(const PieceOutcome& outcome) {
    if (!outcome.numbersSaved)
        Ui().Message(this, windowTitle(),
                     "The article number could not be saved in the settings file.\n" + FromAnsi(outcome.saveError),
                     QMessageBox::Warning, QMessageBox::Ok);
}


}  // namespace gs
