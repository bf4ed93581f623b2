#include "app/tf_main.h"

#include "addresses/addressmode.h"
#include "addresses/textfilecommands.h"
#include "app/about.h"
#include "app/addresspaste.h"
#include "app/buttonchoicedialog.h"
#include "app/entry.h"
#include "dbase/dbferror.h"
#include "maillog/maillog.h"
#include "numbering/articlenumber.h"
#include "numbering/imbtracking.h"
#include "numbering/tf_mailer.h"
#include "platform/addressmemo.h"
#include "platform/application.h"
#include "platform/clipboard.h"
#include "platform/maskedit.h"
#include "platform/paths.h"
#include "platform/qtext.h"
#include "platform/userinteraction.h"
#include "platform/windowplacement.h"
#include "printing/mailer.h"
#include "printing/printedpiece.h"
#include "printing/printcommands.h"
#include "printing/tf_preview.h"
#include "printing/printtarget.h"
#include "printing/registration.h"
#include "printing/runcommands.h"
#include "printing/systemprinter.h"
#include "settings/addresstext.h"
#include "settings/tf_logfolder.h"
#include "settings/tf_youraddress.h"

#include <QActionGroup>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <stdexcept>

namespace gs {

namespace {

const QColor kMoneyGreen(192, 220, 192);
const QColor kPrintedGrey(192, 192, 192);
const char* kTrackAndConfirmUrl = "https://www.usps.com/shipping/trackandconfirm.htm";

QLineEdit* MakeEdit(QWidget* parent, const char* name, QRect geometry, int maxLength = 0) {
    auto* e = new QLineEdit(parent);
    e->setObjectName(name);
    e->setGeometry(geometry);
    if (maxLength > 0) e->setMaxLength(maxLength);
    return e;
}

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, QRect geometry) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    l->setGeometry(geometry);
    return l;
}

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
    SetDbfFatalHandler(std::move(previousFatal_));
    SetDbfMessageHandler(std::move(previousMessage_));
}

void TF_Main::BuildControls() {
    resize(588, 424);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, kMoneyGreen);
    setPalette(pal);
    setAutoFillBackground(true);

    auto* client = new QWidget(this);
    client->setObjectName("client");
    setCentralWidget(client);

    // Left column: product logo, branding logo, fee box.
    Image1 = MakeLabel(client, "Image1", {}, QRect(8, 4, 228, 56));
    Image1->setPixmap(ProductLogo(QSize(228, 56)));
    imageCompany = MakeLabel(client, "imageCompany", {}, QRect(30, 63, 197, 97));
    imageCompany->setPixmap(MakerLogo(QSize(197, 97)));
    imageCompany->setScaledContents(true);

    gbFees = new QGroupBox("Fees", client);
    gbFees->setObjectName("gbFees");
    gbFees->setGeometry(8, 164, 228, 210);
    const int labelX = 8, editX = 128, editW = 90;
    MakeLabel(gbFees, "lblPostage", "Postage", QRect(labelX, 22, 115, 21));
    editPostage = MakeEdit(gbFees, "editPostage", QRect(editX, 22, editW, 21));
    MakeLabel(gbFees, "lblCertFee", "Certified Fee", QRect(labelX, 48, 115, 21));
    editCertFee = MakeEdit(gbFees, "editCertFee", QRect(editX, 48, editW, 21));
    MakeLabel(gbFees, "lblReturn", "Return Receipt", QRect(labelX, 74, 115, 21));
    editReturn = MakeEdit(gbFees, "editReturn", QRect(editX, 74, editW, 21));
    cbRestricted = new QCheckBox(gbFees);
    cbRestricted->setObjectName("cbRestricted");
    cbRestricted->setGeometry(labelX, 100, 18, 21);
    lblRestricted = MakeLabel(gbFees, "lblRestricted", "Restricted Delivery Fee", QRect(labelX + 18, 94, 100, 34));
    lblRestricted->setWordWrap(true);
    editRestricted = MakeEdit(gbFees, "editRestricted", QRect(editX, 100, editW, 21));
    MakeLabel(gbFees, "lblTotal", "Total", QRect(labelX, 134, 115, 21));
    editTotal = MakeEdit(gbFees, "editTotal", QRect(editX, 134, editW, 21));
    editTotal->setReadOnly(true);
    editTotal->setFocusPolicy(Qt::ClickFocus);  // skipped by the Tab key
    btnPrint = new QPushButton("&Print", gbFees);
    btnPrint->setObjectName("btnPrint");
    btnPrint->setGeometry(editX, 170, editW, 28);
    btnPreview = new QPushButton("Pre&view", gbFees);
    btnPreview->setObjectName("btnPreview");
    btnPreview->setGeometry(editX - editW - 6, 170, editW, 28);
    for (QLineEdit* fee : {editPostage, editCertFee, editReturn, editRestricted, editTotal})
        fee->setAlignment(Qt::AlignLeft);
    lblRestricted->setEnabled(false);
    editRestricted->setEnabled(false);

    // Right column: sender box, comment and RE, recipient box.
    gbYour = new QGroupBox("Your Name and Address", client);
    gbYour->setObjectName("gbYour");
    gbYour->setGeometry(248, 4, 330, 112);
    gbYour->setFocusPolicy(Qt::StrongFocus);
    QLabel** senderLabels[] = {&lblYourAddress1, &lblYourAddress2, &lblYourAddress3, &lblYourAddress4,
                               &lblYourAddress5};
    for (int i = 0; i < 5; ++i) {
        const QByteArray name = "lblYourAddress" + QByteArray::number(i + 1);
        *senderLabels[i] = MakeLabel(gbYour, name.constData(), {}, QRect(10, 20 + i * 17, 250, 16));
    }
    btnChangeYourAddress = new QPushButton("Change", gbYour);
    btnChangeYourAddress->setObjectName("btnChangeYourAddress");
    btnChangeYourAddress->setGeometry(264, 14, 58, 24);

    MakeLabel(client, "lblComment", "Comment:", QRect(248, 122, 64, 21));
    editComment = MakeEdit(client, "editComment", QRect(316, 122, 262, 21), 35);
    MakeLabel(client, "lblRe", "RE:", QRect(248, 148, 60, 21));
    editRe = MakeEdit(client, "editRe", QRect(316, 148, 262, 21), 25);

    gbAddressedTo = new QGroupBox("Addressed To", client);
    gbAddressedTo->setObjectName("gbAddressedTo");
    gbAddressedTo->setGeometry(248, 174, 330, 200);
    // Normal entry; address-database mode lays the box out anew (AddressMode).
    btnPaste = new QPushButton("P&aste", gbAddressedTo);
    btnPaste->setObjectName("btnPaste");
    btnPaste->setGeometry(64, 28, 65, 25);
    btnClear = new QPushButton("&Clear", gbAddressedTo);
    btnClear->setObjectName("btnClear");
    btnClear->setGeometry(136, 28, 65, 25);
    memoAddress = new AddressMemo(gbAddressedTo);
    memoAddress->setObjectName("memoAddress");
    memoAddress->setGeometry(8, 60, 275, 89);  // 265 pixels of text, plus the frame
    editCity = MakeEdit(gbAddressedTo, "editCity", QRect(8, 153, 161, 21), 35);
    editCity->setPlaceholderText("City");
    editState = MakeEdit(gbAddressedTo, "editState", QRect(176, 153, 25, 21), 4);
    editZip = MakeEdit(gbAddressedTo, "editZip", QRect(208, 153, 75, 21));
    SetFormMask(*editZip, "99999\\-9999;1;_");
    addressMode = new AddressMode(gbAddressedTo, {memoAddress, editCity, editState, editZip, btnClear, btnPaste,
                                                  MIMassPrint},
                                  this);

    // Tab order in the fee box.
    setTabOrder(editPostage, editCertFee);
    setTabOrder(editCertFee, editReturn);
    setTabOrder(editReturn, cbRestricted);
    setTabOrder(cbRestricted, editRestricted);
    setTabOrder(editRestricted, btnPrint);
    setTabOrder(btnPrint, btnPreview);

    // Handlers.
    for (QLineEdit* e : {editPostage, editCertFee, editReturn, editRestricted}) e->installEventFilter(this);
    cbRestricted->installEventFilter(this);
    connect(cbRestricted, &QCheckBox::clicked, this, &TF_Main::cbRestrictedClick);
    connect(memoAddress, &QTextEdit::textChanged, this, &TF_Main::memoAddressChange);
    connect(memoAddress, &AddressMemo::rewritten, this, &TF_Main::memoAddressChange);
    connect(memoAddress, &AddressMemo::left, this, &TF_Main::memoAddressExit);
    for (QLineEdit* e : {editCity, editState, editZip, editComment, editRe, editPostage, editCertFee,
                         editRestricted, editReturn})
        connect(e, &QLineEdit::textChanged, this, &TF_Main::editPostageChange);
    connect(btnClear, &QPushButton::clicked, this, &TF_Main::btnClearClick);
    connect(btnPaste, &QPushButton::clicked, this, &TF_Main::btnPasteClick);
    connect(addressMode->btnExit, &QPushButton::clicked, this, &TF_Main::btnExitClick);
    connect(addressMode, &AddressMode::entryChanged, this, &TF_Main::SetEntryEditable);
    connect(btnPrint, &QPushButton::clicked, this, &TF_Main::btnPrintClick);
    connect(btnPreview, &QPushButton::clicked, this, &TF_Main::btnPreviewClick);
    connect(btnChangeYourAddress, &QPushButton::clicked, this, &TF_Main::YourNameAddress1Click);

    // Keys are previewed: every child reports its key presses to the window first.
    for (QWidget* w : findChildren<QWidget*>()) w->installEventFilter(this);
}

void TF_Main::BuildMenu() {
    auto item = [this](QMenu* menu, const char* name, const QString& caption, void (TF_Main::*slot)() = nullptr) {
        QAction* a = menu->addAction(caption);
        a->setObjectName(name);
        if (slot) connect(a, &QAction::triggered, this, slot);
        else a->setEnabled(false);  // its command arrives with a later change
        return a;
    };
    QMenuBar* bar = menuBar();

    QMenu* file = bar->addMenu("File");
    file->setObjectName("File1");
    MIReadWriteToDB = item(file, "MIReadWriteToDB", "&Read/Write to a database", &TF_Main::MIReadWriteToDBClick);
    file->addSeparator();
    MIPrint = item(file, "MIPrint", "&Print", &TF_Main::MIPrintClick);
    MIMassPrint = item(file, "MIMassPrint", "&Mass Print", &TF_Main::MIMassPrintClick);
    MIMassPrint->setEnabled(false);  // only while an address table is open
    MIPrintBarCodes = item(file, "MIPrintBarCodes", "Print &Bar Codes", &TF_Main::MIPrintBarCodesClick);
    file->addSeparator();
    MIExit = item(file, "MIExit", "&Exit", &TF_Main::MIExitClick);

    QMenu* options = bar->addMenu("&Options");
    options->setObjectName("Options1");
    MailerNumber1 = item(options, "MailerNumber1", "&Mailer Number", &TF_Main::MailerNumber1Click);
    MIPreviewMailer = item(options, "MIPreviewMailer", "Pre&view Mailer", &TF_Main::MIPreviewMailerClick);
    YourNameAddress1 = item(options, "YourNameAddress1", "&Your Name && Address", &TF_Main::YourNameAddress1Click);
    QMenu* printOptions = options->addMenu("Print &Options");
    printOptions->setObjectName("PrintOptions1");
    MIPrinterSetup = item(printOptions, "MIPrinterSetup", "&Printer Setup", &TF_Main::MIPrinterSetupClick);
    MIPrinterAlignment =
        item(printOptions, "MIPrinterAlignment", "Printer &Alignment", &TF_Main::MIPrinterAlignmentClick);
    MIExtraLabel = item(printOptions, "MIExtraLabel", "&Extra Label", &TF_Main::MIExtraLabelClick);
    QMenu* barcodes = options->addMenu("&BarCode's");
    barcodes->setObjectName("BarCodes1");
    PrintBarCodeMI = item(barcodes, "PrintBarCodeMI", "&Print", &TF_Main::PrintBarCodeMIClick);
    DontPrintBarCodeMI = item(barcodes, "DontPrintBarCodeMI", "&Don't Print", &TF_Main::DontPrintBarCodeMIClick);
    auto* barcodeGroup = new QActionGroup(this);
    for (QAction* a : {PrintBarCodeMI, DontPrintBarCodeMI}) {
        a->setCheckable(true);
        barcodeGroup->addAction(a);
    }
    barcodes->addSeparator();
    QMenu* zipBarcodes = barcodes->addMenu("&ZIP Bar Code");
    zipBarcodes->setObjectName("ZipBarCode1");
    ZipPostnetMI = item(zipBarcodes, "ZipPostnetMI", "&POSTNET", &TF_Main::ZipPostnetMIClick);
    ZipImbMI = item(zipBarcodes, "ZipImbMI", "&Intelligent Mail", &TF_Main::ZipImbMIClick);
    auto* zipGroup = new QActionGroup(this);
    for (QAction* a : {ZipPostnetMI, ZipImbMI}) {
        a->setCheckable(true);
        zipGroup->addAction(a);
    }
    QMenu* postage = options->addMenu("&Default Postage");
    postage->setObjectName("DefaultPostage1");
    SaveValues1 = item(postage, "SaveValues1", "&Save Values", &TF_Main::SaveValues1Click);
    QMenu* textFiles = options->addMenu("&Name && Address Text Files");
    textFiles->setObjectName("NameAddressTextFiles1");
    MIImport = item(textFiles, "MIImport", "&Import", &TF_Main::MIImportClick);
    MIExport = item(textFiles, "MIExport", "&Export", &TF_Main::MIExportClick);
    MILogFolder = item(options, "MILogFolder", "Mail &Log Folder", &TF_Main::MILogFolderClick);

    TrackItem1 = bar->addAction("Track Item");
    TrackItem1->setObjectName("TrackItem1");
    connect(TrackItem1, &QAction::triggered, this, &TF_Main::TrackItem1Click);

    QMenu* report = bar->addMenu("&Report");
    report->setObjectName("Report1");
    QMenu* printReport = report->addMenu("&Print");
    printReport->setObjectName("PrintReport1");
    auto reportItem = [this](QMenu* menu, const char* name, const QString& caption, ReportDestination destination,
                             LogReport which) {
        QAction* a = menu->addAction(caption);
        a->setObjectName(name);
        connect(a, &QAction::triggered, this, [this, destination, which] { RunLogReport(destination, which); });
        return a;
    };
    using D = ReportDestination;
    miPrintFull = reportItem(printReport, "miPrintFull", "Full Detail", D::Printer, LogReport::FullDetail);
    miPrintShort = reportItem(printReport, "miPrintShort", "Short Detail", D::Printer, LogReport::ShortDetail);
    miPrintFirmMailingBook = reportItem(printReport, "miPrintFirmMailingBook", "Firm &Mailing Book", D::Printer,
                                        LogReport::FirmMailingBook);
    QMenu* previewReport = report->addMenu("Pre&view");
    previewReport->setObjectName("PreviewReport1");
    miPreviewFull = reportItem(previewReport, "miPreviewFull", "&Full Detail", D::Preview, LogReport::FullDetail);
    miPreviewShort = reportItem(previewReport, "miPreviewShort", "&Short Detail", D::Preview, LogReport::ShortDetail);
    miPreviewFirmMailingBook = reportItem(previewReport, "miPreviewFirmMailingBook", "Firm &Mailing Book",
                                          D::Preview, LogReport::FirmMailingBook);
    ClearReport1 = item(report, "ClearReport1", "&Clear", &TF_Main::ClearReport1Click);
    QMenu* sort = report->addMenu("&Sort");
    sort->setObjectName("SortRepost1");
    auto* sortGroup = new QActionGroup(this);
    auto sortItem = [&](const char* name, const QString& caption) {
        QAction* a = sort->addAction(caption);
        a->setObjectName(name);
        a->setCheckable(true);
        sortGroup->addAction(a);  // clicking only moves the check mark
        return a;
    };
    MIByMailerNumber = sortItem("MIByMailerNumber", "&By Mailer Number");
    MIByName = sortItem("MIByName", "By &Name");
    MIByDate = sortItem("MIByDate", "By &Date");
    MIByZipCode = sortItem("MIByZipCode", "By &ZipCode");

    QMenu* help = bar->addMenu("&Help");
    help->setObjectName("Help1");
    Content1 = item(help, "Content1", "&Content", &TF_Main::Content1Click);
    help->addSeparator();
    BarCodePrintingRegistration1 = item(help, "BarCodePrintingRegistration1", "&Print Bar Code Printing Registration",
                                        &TF_Main::BarCodePrintingRegistration1Click);
    MIOrderSupplies = item(help, "MIOrderSupplies", "&Order Supplies", &TF_Main::MIAboutClick);
    MITechnicalSupport = item(help, "MITechnicalSupport", "&Technical Support", &TF_Main::MIAboutClick);
    help->addSeparator();
    MIAbout = item(help, "MIAbout", "&About", &TF_Main::MIAboutClick);
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
    // 8-9: the default log folder is created on the way, as is the default
    // folder of the address tables; failures are left to the commands that
    // use the folders.
    MailLogFileName = MailLogPath(settings, Folders);
    Folders.WritableFolder("Addresses");
    FontDialog1 = DefaultBaseFont();
    SystemPrinter().SetPaper(settings.PaperSize);
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
    about.SetFoldersInUse(FoldersInUseLines(Folders, MailLogFolder(settings, Folders)));
    Ui().RunModal(about);
}

void TF_Main::Content1Click() { Ui().ShowHelp(this, QString::fromStdString(Folders.DataFile("Gslip3.hlp"))); }

void TF_Main::TrackItem1Click() { Ui().OpenUrl(kTrackAndConfirmUrl); }

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
    if (ChooseLogFolder(settings, DefaultMailLogFolder(Folders), this))
        MailLogFileName = MailLogPath(settings, Folders);
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
        job.printed = [this, &walk](const PieceOutcome&) {
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

void TF_Main::PrintBarCodeMIClick() {
    PrintBarCodeMI->setChecked(true);
    SelectBarcodeMode(settings);
}

void TF_Main::DontPrintBarCodeMIClick() {
    DontPrintBarCodeMI->setChecked(true);
    SelectPreprintedMode(settings);
}

void TF_Main::MailerNumber1Click() {
    RunCommand([this] {
        // Another copy may have printed since: the dialog starts from its numbers.
        Numbers.Refresh(settings);
        const NumberKeys before = NumberKeysOf(settings);
        MailerNumberCommand(settings, ShowMailerScreen, this);
        // The number the user set is the next one for every copy.
        if (NumberKeysOf(settings) != before) Numbers.Publish(settings, nullptr);
    });
}

void TF_Main::ZipPostnetMIClick() {
    ZipPostnetMI->setChecked(true);
    settings.ZipBarCode = "POSTNET";
}

void TF_Main::ZipImbMIClick() {
    ZipImbMI->setChecked(true);
    settings.ZipBarCode = "IMB";
    // The tracking fields are entered in the mailer-number dialog.
    if (!ZipBarcodeProblem(settings).empty()) {
        Ui().Message(this, windowTitle(),
                     "Please enter the Barcode ID, Service Type ID, Mailer ID and Serial Number of the "
                     "Intelligent Mail barcode in the next window.",
                     QMessageBox::Information, QMessageBox::Ok);
        MailerNumber1Click();
    }
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

// ---- Mailpiece entry ----

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
    const std::string unreachable = UnreachableLogFolder(settings);
    if (unreachable.empty()) return true;
    Ui().Message(this, windowTitle(),
                 "The mail log folder \"" + QString::fromStdString(unreachable) +
                     "\" cannot be reached, so nothing was printed: it could not be logged. Check that the file "
                     "server's share is mounted, or choose another folder in Options > Mail Log Folder.",
                 QMessageBox::Critical, QMessageBox::Ok);
    return false;
}

void TF_Main::btnPrintClick() {
    RunCommand([this] {
        if (!MailLogFolderReachable()) return;
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
        // 4
        if (CustomerIdMissing(settings)) {
            Ui().Message(this, windowTitle(),
                         "You can not print a Mailer with \"00-000-0000\" as a Customer ID.\r\r"
                         "Please enter in a Customer ID, and try again.",
                         QMessageBox::Critical, QMessageBox::Ok);
            GiveBackNumber(settings, Numbers, reservation_);
            return;
        }
        if (const std::string problem = ZipBarcodeProblem(settings); !problem.empty()) {
            Ui().Message(this, windowTitle(),
                         "The Intelligent Mail barcode cannot be printed. " + FromAnsi(problem) +
                             "\r\rPlease correct it under Options > Mailer Number, and try again.",
                         QMessageBox::Critical, QMessageBox::Ok);
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

LogOrder TF_Main::SelectedLogOrder() const {
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
