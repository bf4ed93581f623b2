#pragma once
// The main window: the mailpiece being entered, the sender labels, the menu,
// and the program's start and close.
#include "piece/piecepreview.h"
#include "piece/piecestart.h"
#include "piece/printedpiece.h"
#include "platform/datafolders.h"
#include "platform/paths.h"
#include "report/logcommands.h"
#include "settings/settings.h"
#include "settings/sharednumbers.h"

#include <QFont>
#include <QMainWindow>
#include <array>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <string>

class QAction;
class QActionGroup;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;

namespace gs {

class AddressMemo;
class AddressMode;
class TF_About;

class TF_Main : public QMainWindow {
    Q_OBJECT
public:
    // splash: the start-up splash, closed when the window is first shown (may be null).
    explicit TF_Main(TF_About* splash = nullptr, QWidget* parent = nullptr);
    ~TF_Main() override;

    // The program-wide values beside the settings record.
    Settings settings;
    // The settings file, and the article numbers this copy shares with
    // every other copy that uses it.
    SharedNumbers Numbers{SettingsFilePath()};
    std::string ProgramDir;
    // Where the data files are read from and the program's own files go.
    DataFolders Folders;
    bool ShowMailerScreen = true;
    std::string MailLogFileName;  // the mail log table, opened only when used
    QFont FontDialog1;            // the printing base font
    // How long a print waits for another copy's append lock on the log.
    std::chrono::milliseconds LogLockWait{2000};
    // Ends the process after a table-store error was reported (tests replace it).
    std::function<void(int code)> HaltProcess = [](int code) { std::exit(code); };

    // Left column.
    QLabel* Image1;
    QLabel* imageCompany;
    QGroupBox* gbFees;
    QLineEdit* editPostage;
    QLineEdit* editCertFee;
    QLineEdit* editReturn;
    QCheckBox* cbRestricted;
    QLabel* lblRestricted;
    QLineEdit* editRestricted;
    QLineEdit* editTotal;
    QPushButton* btnPrint;
    QPushButton* btnPreview;
    // Right column.
    QGroupBox* gbYour;
    QLabel* lblYourAddress1;
    QLabel* lblYourAddress2;
    QLabel* lblYourAddress3;
    QLabel* lblYourAddress4;
    QLabel* lblYourAddress5;
    QPushButton* btnChangeYourAddress;
    QLineEdit* editComment;
    QLineEdit* editRe;
    QGroupBox* gbAddressedTo;
    AddressMemo* memoAddress;
    QLineEdit* editCity;
    QLineEdit* editState;
    QLineEdit* editZip;
    QPushButton* btnPaste;
    QPushButton* btnClear;
    // Address-database mode of the box: the bound controls, the navigator
    // and the address table TzDbfAddress.
    AddressMode* addressMode;

    // Menu items.
    QAction* MIReadWriteToDB;
    QAction* MIPrint;
    QAction* MIMassPrint;
    QAction* MIPrintBarCodes;
    QAction* MIExit;
    QAction* MailerNumber1;
    QAction* MIPreviewMailer;
    QAction* YourNameAddress1;
    QAction* MIPrinterSetup;
    QAction* MIPrinterAlignment;
    QAction* MIExtraLabel;
    QAction* PrintBarCodeMI;
    QAction* DontPrintBarCodeMI;
    QAction* Article20MI;
    QAction* ArticleImpbMI;
    QAction* ZipPostnetMI;
    QAction* ZipImbMI;
    QAction* SaveValues1;
    QAction* MIImport;
    QAction* MIExport;
    QAction* MILogFolder;
    QAction* TrackItem1;
    QAction* miPrintFull;
    QAction* miPrintShort;
    QAction* miPrintFirmMailingBook;
    QAction* miPreviewFull;
    QAction* miPreviewShort;
    QAction* miPreviewFirmMailingBook;
    QAction* ClearReport1;
    QAction* MIRecordOrder;
    QAction* MIByMailerNumber;
    QAction* MIByName;
    QAction* MIByDate;
    QAction* MIByZipCode;
    QAction* Content1;
    QAction* BarCodePrintingRegistration1;
    QAction* MIOrderSupplies;
    QAction* MITechnicalSupport;
    QAction* MIAbout;

    // Whether the entry is in the printed state (grey, Print disabled).
    bool EntryPrinted() const { return entryPrinted_; }
    // The controls that the two entry states recolour, in their order.
    QList<QWidget*> EntryControls() const;

public slots:
    void FormCreate();
    void FormShow();
    void MIExitClick();
    void MIAboutClick();
    void Content1Click();
    void TrackItem1Click();
    void MIImportClick();
    void MIExportClick();
    void MILogFolderClick();
    void MIPrinterSetupClick();
    void MIPrinterAlignmentClick();
    void MIExtraLabelClick();
    void BarCodePrintingRegistration1Click();
    void MIPrintBarCodesClick();
    void MIMassPrintClick();
    void YourNameAddress1Click();
    void ShowSenderLabels();
    void PrintBarCodeMIClick();
    void DontPrintBarCodeMIClick();
    void MailerNumber1Click();
    void Article20MIClick();
    void ArticleImpbMIClick();
    void ZipPostnetMIClick();
    void ZipImbMIClick();
    void MIPreviewMailerClick();
    void btnPreviewClick();
    // Mailpiece entry.
    void editPostageExit();
    void editCertFeeExit();
    void editReturnExit();
    void editRestrictedExit();
    void cbRestrictedClick();
    void memoAddressChange();
    void memoAddressExit();
    void editPostageChange();
    void btnClearClick();
    void SaveValues1Click();
    void SetEntryEditable();
    void SetEntryPrinted();
    void btnPasteClick();
    // Address-database mode.
    void MIReadWriteToDBClick();
    void btnExitClick();
    // Print command.
    void btnPrintClick();
    void MIPrintClick();
    void PrintAndLogPiece();
    // Report menu.
    void ClearReport1Click();

public:
    // The piece as the window shows it: sender labels, the recipient (the
    // plain entry fields, or in address-database mode the bound controls,
    // an edit of the record not yet posted included), RE, comment and the
    // fee texts as displayed.
    PrintedPiece CurrentPiece() const;
    // The Report menu's print and preview items.
    void RunLogReport(ReportDestination destination, LogReport report);
    // The order of the checked Sort item; printing order for "&Record Order".
    LogOrder SelectedLogOrder() const;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildMenu();
    void BuildControls();
    bool LoadCompanyLogo();
    // False, after telling the user, when the log folder that is set cannot
    // be reached (a share that is not mounted): the print commands then
    // print nothing, since nothing they print could be logged.
    bool MailLogFolderReachable();
    // Says why a piece may not start (nothing when it may).
    void ShowPieceRefusal(const PieceStartAnswer& answer);
    void FeeExit(QLineEdit* edit);
    void Recolour(const QColor& colour);
    // Runs a command; an error it throws is shown as the application's error report.
    void RunCommand(const std::function<void()>& command);
    void WarnIfNumbersUnsaved(const PieceOutcome& outcome);
    // The current piece as the next print would put it on the form; the
    // numbers are refreshed from the settings file first, none is taken.
    PiecePreview NextPiecePreview();
    void InstallTableStoreHandlers();

    TF_About* splash_;
    bool shownOnce_ = false;
    bool entryPrinted_ = false;
    NumberReservation reservation_;  // the number the piece being printed took
    std::string lastPrintedNumber_;  // of the piece printed last in this run, for Track Item
    std::function<void(int, const std::string&, const std::string&)> previousFatal_;
    std::function<void(const std::string&)> previousMessage_;
};

}  // namespace gs
