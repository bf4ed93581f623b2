#include "app/window_catalog.h"

#include "addresses/textfilecommands.h"
#include "addresses/transferprogress.h"
#include "app/about.h"
#include "app/tf_main.h"
#include "dbase/tzdbf.h"
#include "dialogs/buttonchoicedialog.h"
#include "maillog/maillog.h"
#include "numbering/tf_mailer.h"
#include "piece/tf_align.h"
#include "piece/tf_preview.h"
#include "platform/datafolders.h"
#include "printing/tf_extralabel.h"
#include "report/projectreader.h"
#include "report/reportpreview.h"
#include "report/reportstatus.h"
#include "report/reportsystem.h"
#include "runs/runprogress.h"
#include "runs/tf_printbarcode.h"
#include "settings/addresstext.h"
#include "settings/tf_logfolder.h"
#include "settings/tf_youraddress.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QImage>
#include <QPrinter>
#include <QProgressDialog>
#include <QPushButton>

namespace gs::test {

CatalogContext::CatalogContext() {
    settings.Company = "Quorvale";
    settings.Line1 = "ACME Corp";
    settings.Line2 = "1 Main St";
    settings.City = "Springfield";
    settings.State = "IL";
    settings.Zip = "62701-1234";
    settings.CustID = "12-345-6789";
    settings.BarCodeApp = false;
    SaveSettingsFile(settings, nullptr);
}

namespace {

using Window = std::unique_ptr<QWidget>;

Window MainWindow(CatalogContext&, bool printed) {
    auto main = std::make_unique<TF_Main>();
    if (printed) main->SetEntryPrinted();
    return main;
}

// In address-database mode on a new table in the program's address folder
// (its path is long enough to be shortened in the box).
Window MainWindowAddressMode(CatalogContext& c, bool printed) {
    auto main = std::make_unique<TF_Main>();
    c.scripted.ui.fileAnswers.push_back(QString::fromStdString(c.dirs.Path() + "program/Addresses/clients.dbf"));
    main->MIReadWriteToDB->trigger();
    if (printed) main->SetEntryPrinted();
    return main;
}

Window AboutBox(CatalogContext& c, const char* company) {
    if (std::string(company) == "Varnholt") {
        QImage logo(197, 153, QImage::Format_RGB32);
        logo.fill(Qt::darkGreen);
        logo.save(QString::fromStdString(c.dirs.Path() + "program/Scr_logo.bmp"));
    }
    auto about = std::make_unique<TF_About>(0, c.dirs.Path() + "program/Scr_logo.bmp", company);
    // An installed copy with long folder names: they wrap between folders.
    DataFolders folders;
    folders.layout = FolderLayout::Installed;
    folders.readDir = "/usr/share/greenslip/";
    folders.writeDir = "/home/margaret.whitfield-henderson/.local/share/greenslip/";
    about->SetFoldersInUse(FoldersInUseLines(folders, "/home/margaret.whitfield-henderson/.config/gslip3.ini",
                                             "/mnt/office-server/accounting/shared/greenslip/mail-log/"));
    return about;
}

Window LogFolder(CatalogContext& c, const char* folder) {
    c.settings.ReportsDir = folder;
    return std::make_unique<TF_LogFolder>(c.settings,
                                          "/home/margaret.whitfield-henderson/.local/share/greenslip/Reports/");
}

Window MailerNumber(CatalogContext& c, bool barcodeMode, bool fromPrint, bool helpOpen, bool imb = false,
                    bool impb = false) {
    c.settings.PrintBarCode = barcodeMode;
    if (impb) {
        c.settings.ArticleFormat = "IMpb";
        c.settings.IMpbServiceType = "071";
        c.settings.IMpbMailerId = "901234567";
        c.settings.IMpbSerial = "0000041";
    }
    if (imb) {
        c.settings.ZipBarCode = "IMB";
        c.settings.IMbServiceType = "040";
        c.settings.IMbMailerId = "123456";
        c.settings.IMbSerial = "000000001";
    }
    auto dialog = std::make_unique<TF_Mailer>(c.settings, c.showMailerScreen, fromPrint);
    if (helpOpen) dialog->btnHelp->click();
    return dialog;
}

Window ExtraLabel(CatalogContext& c, const char* printExtraLabel) {
    c.settings.PrintExtraLabel = printExtraLabel;
    return std::make_unique<TF_ExtraLabel>(c.settings);
}

// The next print of a filled-in piece, on a Letter page at 600 dpi.
PiecePreview SamplePreview(const CatalogContext& c) {
    PrintedPiece piece;
    piece.senderLines = SenderLabels(c.settings);
    piece.recipientLines = {"John Smith", "12 Oak Ave", "", ""};
    piece.city = "Dayton";
    piece.state = "OH";
    piece.zip = "45402-1234";
    piece.re = "Lease";
    piece.postage = "      0.39";
    piece.certifiedFee = "      2.40";
    piece.returnReceiptFee = "      1.85";
    piece.total = "      4.64";
    return PreviewNextPiece(piece, c.settings, DefaultBaseFont());
}

Window PrintBarCode(CatalogContext& c, bool helpOpen) {
    auto dialog = std::make_unique<TF_PrintBarCode>(c.settings);
    if (helpOpen) dialog->btnHelp->click();
    return dialog;
}

// The progress window as a run shows it, half way.
Window RunProgress(const QString& text) {
    auto progress = std::make_unique<RunProgressDialog>(1000);
    progress->setWindowModality(Qt::NonModal);
    progress->setLabelText(text);
    progress->setValue(499);
    return progress;
}

Window Registration(CatalogContext&) {
    return std::make_unique<ButtonChoiceDialog>(kRegistrationTitle, kRegistrationNotice,
                                                QStringList{kNeverPrintCaption, kPrintLaterCaption, kPrintNowCaption});
}

// What the report preview shows: FullDetail of a short log, laid out on
// Letter paper. Built before the window that refers to it.
struct PreviewParts {
    explicit PreviewParts(CatalogContext& c) {
        QDir().mkpath(QString::fromStdString(c.dirs.Path() + "program/Reports"));
        const std::string file = c.dirs.Path() + "program/Reports/report3.dbf";
        for (int i = 0; i < 30; ++i) {
            MailLogEntry e;
            e.sentname = {"Westfield Regional Medical Center", "4410 Harbor View Boulevard", "Suite 1200", ""};
            e.city = "Salt Lake City";
            e.state = "UT";
            e.zip = "84101-1234";
            e.mailernum = "7112 3456 7890 0000 00" + std::to_string(10 + i);
            e.postage = "          0.39";
            e.certified = "          2.40";
            e.returnReceipt = "          1.85";
            e.total = "          4.64";
            AppendLogRecord(file, e);
        }
        ConfigureMailLog(log, file);
        log.Open();
        project = ReadReportProject(GREENSLIP_SOURCE_DIR "/data/Gslip3.rpt");
        job = std::make_unique<ReportJob>(project, *project.FindReport("FullDetail"),
                                          std::make_unique<TableReportData>(log), ReportParams{});
        InitReportPrinter(printer, [](QPrinter& p) { p.setPageSize(QPageSize(QPageSize::Letter)); }, true);
    }
    TTzDbf log{"TzDbfReport"};
    TReportSystem system;
    ReportProjectFile project;
    std::unique_ptr<ReportJob> job;
    QPrinter printer{QPrinter::HighResolution};
};

class CatalogPreview : public PreviewParts, public ReportPreviewWindow {
public:
    explicit CatalogPreview(CatalogContext& c) : PreviewParts(c), ReportPreviewWindow(system, *job, printer, nullptr) {}
};

Window AlignWholeForm(CatalogContext& c) {
    auto align = std::make_unique<TF_Align>(c.settings, nullptr, SamplePreview(c));
    align->cbPreviewArea->setCurrentText("Whole Form");
    return align;
}

Window ReportStatus(const char* pattern) {
    auto status = std::make_unique<ReportStatusWindow>("Report Status", nullptr);
    status->ShowPage(pattern, 12345, 12345);
    return status;
}

}  // namespace

const QList<CatalogWindow>& WindowCatalog() {
    // clang-format off
    static const QList<CatalogWindow> windows = {
        {"Main window, entry editable", "Greenslip", [](CatalogContext& c) { return MainWindow(c, false); }},
        {"Main window, piece printed", "Greenslip", [](CatalogContext& c) { return MainWindow(c, true); }},
        {"Main window, address-database mode", "Greenslip", [](CatalogContext& c) { return MainWindowAddressMode(c, false); }},
        {"Main window, address-database mode, piece printed", "Greenslip", [](CatalogContext& c) { return MainWindowAddressMode(c, true); }},
        {"Splash", "", [](CatalogContext&) { return std::make_unique<TF_About>(1, "", ""); }},
        {"About box", "", [](CatalogContext& c) { return AboutBox(c, "Quorvale"); }},
        {"About box, reseller branding", "", [](CatalogContext& c) { return AboutBox(c, "Varnholt"); }},
        {"Your Name and Address", "Your Name and Address", [](CatalogContext& c) { return std::make_unique<TF_YourAddress>(c.settings); }},
        {"Mailer Number, barcode mode", "Mailer Number", [](CatalogContext& c) { return MailerNumber(c, true, false, false); }},
        {"Mailer Number, barcode mode, help open", "Mailer Number", [](CatalogContext& c) { return MailerNumber(c, true, false, true); }},
        {"Mailer Number, barcode mode from Print, help open", "Mailer Number", [](CatalogContext& c) { return MailerNumber(c, true, true, true); }},
        {"Mailer Number, pre-printed mode", "Mailer Number", [](CatalogContext& c) { return MailerNumber(c, false, false, false); }},
        {"Mailer Number, pre-printed mode, help open", "Mailer Number", [](CatalogContext& c) { return MailerNumber(c, false, false, true); }},
        {"Mailer Number, pre-printed mode from Print, help open", "Mailer Number", [](CatalogContext& c) { return MailerNumber(c, false, true, true); }},
        {"Mailer Number, barcode mode, Intelligent Mail, help open", "Mailer Number", [](CatalogContext& c) { return MailerNumber(c, true, false, true, true); }},
        {"Mailer Number, pre-printed mode from Print, Intelligent Mail, help open", "Mailer Number", [](CatalogContext& c) { return MailerNumber(c, false, true, true, true); }},
        {"Mailer Number, barcode mode, IMpb, help open", "Mailer Number", [](CatalogContext& c) { return MailerNumber(c, true, false, true, false, true); }},
        {"Mailer Number, barcode mode from Print, IMpb and Intelligent Mail, help open", "Mailer Number", [](CatalogContext& c) { return MailerNumber(c, true, true, true, true, true); }},
        {"Bar Code Printing Registration", "Bar Code Printing Registration", Registration},
        {"Printer Alignment", "Printer Alignment", [](CatalogContext& c) { return std::make_unique<TF_Align>(c.settings, nullptr, SamplePreview(c)); }},
        {"Printer Alignment, whole form", "Printer Alignment", [](CatalogContext& c) { return AlignWholeForm(c); }},
        {"Mailer Preview", "Mailer Preview", [](CatalogContext& c) { return std::make_unique<TF_Preview>(SamplePreview(c), LetterPage(600), true); }},
        {"Extra Label, Yes", "Extra Label", [](CatalogContext& c) { return ExtraLabel(c, "Yes"); }},
        {"Extra Label, No", "Extra Label", [](CatalogContext& c) { return ExtraLabel(c, "No"); }},
        {"Import into an existing table", "Greenslip", [](CatalogContext&) -> Window { return std::make_unique<ButtonChoiceDialog>("Greenslip", kImportExistsQuestion, QStringList{kOverwriteCaption, kAppendCaption, kCancelCaption}); }},
        {"Import progress", "Greenslip", [](CatalogContext&) -> Window { return MakeTransferProgressDialog(nullptr, "Importing names and addresses..."); }},
        {"Report Status, generating", "Report Status", [](CatalogContext&) { return ReportStatus("Generating page %p of %P"); }},
        {"Report Status, printing", "Report Status", [](CatalogContext&) { return ReportStatus("Printing page %p of %P"); }},
        {"Report Preview", "Report Preview", [](CatalogContext& c) -> Window { return std::make_unique<CatalogPreview>(c); }},
        {"Print Bar Code's", "Print Bar Code's", [](CatalogContext& c) { return PrintBarCode(c, false); }},
        {"Print Bar Code's, help open", "Print Bar Code's", [](CatalogContext& c) { return PrintBarCode(c, true); }},
        {"Progress of a label run", "Greenslip", [](CatalogContext&) { return RunProgress(LabelProgressText(500, 1000)); }},
        {"Progress of a mass print", "Greenslip", [](CatalogContext&) { return RunProgress(MailerProgressText(500, 1000, "Bartholomew Featherstonehaugh-Smythe Jr")); }},
        {"Mail Log Folder, default", "Mail Log Folder", [](CatalogContext& c) { return LogFolder(c, ""); }},
        {"Mail Log Folder, shared folder", "Mail Log Folder", [](CatalogContext& c) { return LogFolder(c, "/mnt/office-server/accounting/shared/greenslip/mail-log"); }},
    };
    // clang-format on
    return windows;
}

}  // namespace gs::test
