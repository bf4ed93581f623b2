// The main window's controls and menu, built in code at their designed
// pixel positions; the window's behaviour lives in tf_main.cpp and
// tf_main_entry.cpp.
#include "app/tf_main.h"

#include "addresses/addressmode.h"
#include "app/about.h"
#include "platform/addressmemo.h"
#include "platform/maskedit.h"
#include "platform/qtext.h"

#include <QActionGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>

namespace gs {

namespace {

const QColor kMoneyGreen(192, 220, 192);

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

}  // namespace

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
    QMenu* articleFormat = barcodes->addMenu("Article &Number");
    articleFormat->setObjectName("ArticleNumber1");
    Article20MI = item(articleFormat, "Article20MI", "&20-digit", &TF_Main::Article20MIClick);
    ArticleImpbMI = item(articleFormat, "ArticleImpbMI", "&IMpb (22-digit)", &TF_Main::ArticleImpbMIClick);
    auto* formatGroup = new QActionGroup(this);
    for (QAction* a : {Article20MI, ArticleImpbMI}) {
        a->setCheckable(true);
        formatGroup->addAction(a);
    }
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
    MIRecordOrder = sortItem("MIRecordOrder", "&Record Order");  // the order the pieces were logged in
    MIRecordOrder->setChecked(true);
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

}  // namespace gs
