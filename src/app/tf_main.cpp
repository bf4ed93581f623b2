#include "app/tf_main.h"

#include "addresses/addressmode.h"
#include "addresses/textfilecommands.h"
#include "app/about.h"
#include "dbase/dbferror.h"
#include "dialogs/buttonchoicedialog.h"
#include "maillog/maillog.h"
#include "numbering/articlenumber.h"
#include "numbering/imbtracking.h"
#include "numbering/tf_mailer.h"
#include "piece/printedpiece.h"
#include "piece/tf_align.h"
#include "piece/tf_preview.h"
#include "platform/application.h"
#include "platform/paths.h"
#include "platform/qtext.h"
#include "platform/userinteraction.h"
#include "platform/windowplacement.h"
#include "printing/printcommands.h"
#include "printing/registration.h"
#include "printing/systemprinter.h"
#include "runs/runcommands.h"
#include "settings/addresstext.h"
#include "settings/tf_logfolder.h"
#include "settings/tf_youraddress.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace gs {

namespace {

const char* kTrackAndConfirmUrl = "https://www.usps.com/shipping/trackandconfirm.htm";
// The tracking page of one number: the digits follow "tLabels=".
const char* kTrackNumberUrl = "https://tools.usps.com/go/TrackConfirmAction?tLabels=";

// The import closes an open address table for its work and reopens it after.
class AddressModeHost : public AddressTableHost {
public:
    explicit AddressModeHost(AddressMode& mode) : mode_(mode) {}
    bool AddressModeActive() const override { return mode_.Active(); }
    // Throws, keeping the table open, when a pending edit cannot be posted.
    void CloseAddressTable() override { mode_.CloseIfActive(); }
    void ReopenAddressTable() override { mode_.ReopenAndFocus(); }

private:
    AddressMode& mode_;
};

// Mass printing walks the open address table through the navigator, taking
// each recipient from the bound controls and the rest from the window.
class AddressTableWalk : public MassPrintTable {
public:
    AddressTableWalk(TF_Main& main, AddressMode& mode) : main_(main), mode_(mode) {}
    std::optional<int> LiveCount() override {
        if (!mode_.PostPendingEdit()) return std::nullopt;
        return static_cast<int>(mode_.LiveRecordCount());
    }
    // A move that had to post an edit and could not stands still, the edit kept.
    bool First() override {
        mode_.First();
        return !mode_.Table().Modified();
    }
    bool Next() override {
        mode_.Next();
        // Past the last record the table shows that record again; printed,
        // it stays grey as after Print, so it is not printed twice by mistake.
        if (mode_.Eof() && currentPrinted) main_.SetEntryPrinted();
        currentPrinted = false;
        return !mode_.Table().Modified();
    }
    bool Eof() const override { return mode_.Eof(); }
    bool IsDeleted() const override { return mode_.IsDeleted(); }
    PrintedPiece CurrentPiece() override { return main_.CurrentPiece(); }

    bool currentPrinted = false;  // the current record's piece went to the printer

private:
    TF_Main& main_;
    AddressMode& mode_;
};

}  // namespace

TF_Main::TF_Main(TF_About* splash, QWidget* parent) : QMainWindow(parent), splash_(splash) {
    setObjectName("TF_Main");
    BuildMenu();
    BuildControls();
    InstallTableStoreHandlers();
    FormCreate();
}

TF_Main::~TF_Main() {
    // Children lose the focus while they are torn down; their handlers must
    // not reach a window that is half gone.
    for (QWidget* w : findChildren<QWidget*>()) {
        w->removeEventFilter(this);
        w->disconnect(this);
        w->disconnect(addressMode);
    }
    addressMode->disconnect(this);
    SystemPrinter().SetNoPrinterNoteChoice(nullptr);
    SetDbfFatalHandler(std::move(previousFatal_));
    SetDbfMessageHandler(std::move(previousMessage_));
}


bool TF_Main::LoadCompanyLogo() {
    QPixmap logo;
    if (!logo.load(QString::fromStdString(Folders.LogoFile()))) return false;
    imageCompany->setPixmap(logo);
    imageCompany->setGeometry(30, 63, 197, 97);
    return true;
}

void TF_Main::FormCreate() {
    // 1-2: the program folder, and where the help file, the report project
    // and the program's own files are.
    ProgramDir = ExecutableDir();
    Folders = ProgramDataFolders();
    // 3: settings; an empty branding is decided by whether the logo loads.
    Numbers.Load(settings, Folders.writeDir, [this] { return LoadCompanyLogo(); });
    // 4
    setWindowTitle(ApplicationTitle());
    // 5
    if (settings.Company == "Varnholt") LoadCompanyLogo();
    // 6: fee fields from the defaults, then the total of what they hold.
    editPostage->setText(FromAnsi(settings.Postage));
    editPostageExit();
    editCertFee->setText(FromAnsi(settings.CertFee));
    editCertFeeExit();
    editReturn->setText(FromAnsi(settings.Return));
    editReturnExit();
    editPostageExit();
    // 7
    (settings.PrintBarCode ? PrintBarCodeMI : DontPrintBarCodeMI)->setChecked(true);
    (ZipBarcodeIsImb(settings) ? ZipImbMI : ZipPostnetMI)->setChecked(true);
    (settings.ArticleFormat == "IMpb" ? ArticleImpbMI : Article20MI)->setChecked(true);
    // 8-9: the default log folder is created on the way, as is the default
    // folder of the address tables; failures are left to the commands that
    // use the folders.
    MailLogFileName = MailLogPath(settings, Folders);
    Folders.WritableFolder("Addresses");
    FontDialog1 = DefaultBaseFont();
    SystemPrinter().SetPaper(settings.PaperSize);
    SystemPrinter().SetNoPrinterNoteChoice(&settings.HideNoPrinterNote);
    // 10
    ShowMailerScreen = true;
    // 11: the splash stays up at least until its timer has run once.
    while (splash_ && splash_->Timer1.isActive())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    SetEntryEditable();
    CentreOnScreen(*this);
}

void TF_Main::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!shownOnce_) {
        shownOnce_ = true;
        gbFees->setFocus();
        editPostage->setFocus();
        QMetaObject::invokeMethod(this, &TF_Main::FormShow, Qt::QueuedConnection);
    }
}

void TF_Main::FormShow() {
    // 1
    if (splash_) {
        splash_->close();
        delete splash_;
        splash_ = nullptr;
    }
    // 2: first run
    if (settings.Line1.empty() && settings.City.empty() && settings.State.empty() && settings.Zip.empty())
        EditSenderAddress(settings, this);
    // 3
    ShowSenderLabels();
    // 4
    if (settings.PrintBarCode && settings.CustID == "00-000-0000") {
        Ui().Message(this, windowTitle(),
                     "If you have labels without any Bar Code's, you must select a \"Customer ID\" number.",
                     QMessageBox::Information, QMessageBox::Ok);
        const NumberKeys before = NumberKeysOf(settings);
        TF_Mailer dialog(settings, ShowMailerScreen, false, this);
        Ui().RunModal(dialog);
        // The customer ID entered here is every copy's from now on.
        if (NumberKeysOf(settings) != before) Numbers.Publish(settings, nullptr);
    }
    // 5
    if (settings.BarCodeApp) {
        const int answer = AskButtonChoice(this, kRegistrationTitle, kRegistrationNotice,
                                           {kNeverPrintCaption, kPrintLaterCaption, kPrintNowCaption});
        if (answer == 3) {
            settings.BarCodeApp = false;
            BarCodePrintingRegistration1Click();
        } else if (answer == 1) {
            settings.BarCodeApp = false;
        }
    }
}

void TF_Main::closeEvent(QCloseEvent* event) {
    // What was typed into an address record is posted, as leaving the mode
    // would; when another copy holds the record the close stops here.
    if (addressMode->Active() && !addressMode->PostPendingEdit()) {
        event->ignore();
        return;
    }
    std::string error;
    if (!Numbers.SaveAll(settings, &error)) {
        // The close stops here: the window and the tables stay open.
        Ui().Message(this, windowTitle(), "The settings could not be saved.\n" + FromAnsi(error),
                     QMessageBox::Critical, QMessageBox::Ok);
        event->ignore();
        return;
    }
    // The mail log is open only for the length of one command. The address
    // table closes without the pack: its deletion marks stay in the file.
    addressMode->CloseForShutdown();
    event->accept();
    QCoreApplication::quit();
}

bool TF_Main::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        auto* w = qobject_cast<QWidget*>(watched);
        if (w && w->window() == this) {
            close();
            return true;
        }
    }
    if (event->type() == QEvent::FocusOut) {
        if (watched == editPostage) editPostageExit();
        else if (watched == editCertFee) editCertFeeExit();
        else if (watched == editReturn) editReturnExit();
        else if (watched == editRestricted) editRestrictedExit();
        else if (watched == cbRestricted) SetEntryEditable();
    }
    return QMainWindow::eventFilter(watched, event);
}

void TF_Main::RunCommand(const std::function<void()>& command) {
    try {
        command();
    } catch (const std::exception& e) {
        Ui().Message(this, ApplicationTitle(), FromAnsi(e.what()), QMessageBox::Critical,
                     QMessageBox::Ok);
    }
}

void TF_Main::MIExitClick() { close(); }

void TF_Main::MIAboutClick() {
    TF_About about(0, Folders.LogoFile(), settings.Company, this);
    about.SetFoldersInUse(FoldersInUseLines(Folders, Numbers.SettingsPath(), MailLogFolder(settings, Folders)));
    Ui().RunModal(about);
}

void TF_Main::Content1Click() { Ui().ShowHelp(this, QString::fromStdString(Folders.DataFile("Gslip3.hlp"))); }

void TF_Main::TrackItem1Click() {
    QString digits = FromAnsi(lastPrintedNumber_);
    digits.remove(' ');
    Ui().OpenUrl(digits.isEmpty() ? QString(kTrackAndConfirmUrl) : kTrackNumberUrl + digits);
}

void TF_Main::MIImportClick() {
    RunCommand([this] {
        AddressModeHost host(*addressMode);
        ImportAddressText(this, settings.AddressDir, &host);
    });
}

void TF_Main::MIExportClick() {
    RunCommand([this] { ExportAddressText(this, settings.AddressDir); });
}

void TF_Main::MILogFolderClick() {
    // The next print, report or Clear uses the new folder at once.
    if (ChooseLogFolder(settings, DefaultMailLogFolder(Folders), this)) {
        MailLogFileName = MailLogPath(settings, Folders);
        // Copies that log into a folder share the numbers kept beside the log.
        Numbers.Refresh(settings);
    }
}

void TF_Main::MIPrinterSetupClick() { PrinterSetupCommand(settings, this); }

void TF_Main::MIPrinterAlignmentClick() {
    RunCommand([this] { AlignmentCommand(settings, NextPiecePreview(), this); });
}

void TF_Main::MIExtraLabelClick() { ExtraLabelCommand(settings, this); }

void TF_Main::BarCodePrintingRegistration1Click() { PrintRegistrationForm(); }

void TF_Main::MIPrintBarCodesClick() {
    RunCommand([this] { PrintBarCodesCommand(settings, Numbers, FontDialog1, this); });
}

void TF_Main::MIMassPrintClick() {
    if (!addressMode->Active()) return;
    RunCommand([this] {
        if (!MailLogFolderReachable()) return;
        PieceJob job;
        job.mailLogPath = MailLogFileName;
        job.logLockWait = LogLockWait;
        job.baseFont = FontDialog1;
        AddressTableWalk walk(*this, *addressMode);
        job.printed = [this, &walk](const PieceOutcome& outcome) {
            lastPrintedNumber_ = outcome.number;
            SetEntryPrinted();
            walk.currentPrinted = true;
        };
        MassPrintCommand(walk, settings, Numbers, ShowMailerScreen, job, this);
    });
}

void TF_Main::YourNameAddress1Click() {
    if (EditSenderAddress(settings, this)) ShowSenderLabels();
    gbYour->setFocus();
}

void TF_Main::ShowSenderLabels() {
    const auto labels = SenderLabels(settings);
    QLabel* targets[] = {lblYourAddress1, lblYourAddress2, lblYourAddress3, lblYourAddress4, lblYourAddress5};
    for (int i = 0; i < 5; ++i) targets[i]->setText(FromAnsi(labels[i]));
}

PiecePreview TF_Main::NextPiecePreview() {
    // Another copy may have printed since: the preview starts from its numbers.
    Numbers.Refresh(settings);
    return PreviewNextPiece(CurrentPiece(), settings, FontDialog1);
}

void TF_Main::MIPreviewMailerClick() {
    RunCommand([this] {
        if (PreviewMailerCommand(NextPiecePreview(), btnPrint->isEnabled(), this)) btnPrintClick();
    });
}

void TF_Main::btnPreviewClick() { MIPreviewMailerClick(); }

LogOrder TF_Main::SelectedLogOrder() const {
    if (MIRecordOrder->isChecked()) return LogOrder::PrintingOrder;
    if (MIByMailerNumber->isChecked()) return LogOrder::MailerNumber;
    if (MIByName->isChecked()) return LogOrder::Name;
    if (MIByDate->isChecked()) return LogOrder::Date;
    if (MIByZipCode->isChecked()) return LogOrder::ZipCode;
    return LogOrder::PrintingOrder;
}

void TF_Main::RunLogReport(ReportDestination destination, LogReport report) {
    RunCommand([&] {
        LogReportSetup setup;
        setup.logFile = MailLogFileName;
        setup.projectFile = Folders.DataFile("Gslip3.rpt");
        setup.order = SelectedLogOrder();
        const auto sender = SenderLabels(settings);
        for (std::size_t i = 0; i < sender.size(); ++i)
            setup.params["Sender" + std::to_string(i + 1)] = FromAnsi(sender[i]);
        setup.preparePrinter = ApplyProgramPageSetup;
        gs::RunLogReport(this, setup, destination, report);
    });
}

void TF_Main::ClearReport1Click() {
    RunCommand([this] {
        const std::string folder = MailLogFileName.substr(0, MailLogFileName.find_last_of('/') + 1);
        ClearLogCommand(this, MailLogFileName, QString::fromStdString(folder));
    });
}

void TF_Main::InstallTableStoreHandlers() {
    previousFatal_ = SetDbfFatalHandler([this](int code, const std::string& description, const std::string& detail) {
        (void)description;
        // The numbers used so far must survive the halt.
        std::string error;
        Numbers.SaveAll(settings, &error);
        Ui().Message(this, kProgramHaltedCaption, FromAnsi(DbfErrorReportText(code, detail)), QMessageBox::Critical,
                     QMessageBox::Ok);
        HaltProcess(code);
    });
    previousMessage_ = SetDbfMessageHandler([this](const std::string& text) {
        Ui().Message(this, windowTitle(), FromAnsi(text), QMessageBox::Information, QMessageBox::Ok);
    });
}

}  // namespace gs
