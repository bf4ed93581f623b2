#include "printing/systemprinter.h"

#include "platform/datafolders.h"
#include "platform/userinteraction.h"
#include "printing/paintercanvas.h"
#include "printing/paper.h"
#include "settings/settings.h"

#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

namespace gs {

namespace {

// Letter (or the chosen paper), portrait, keeping the margins the printer
// says it cannot print on.
void AskForProgramPaper(QPrinter& printer, const std::string& paper) {
    printer.setPageOrientation(QPageLayout::Portrait);
    printer.setPageSize(PaperFromSetting(paper));
}

}  // namespace

DeviceMetrics MetricsOfPrinter(const QPrinter& printer) { return MetricsOfPagedDevice(printer); }

void PrinterTarget::PrintPage(const QString& jobName, const PageDrawer& draw) {
    printer_.setDocName(jobName);
    QPainter painter;
    if (!painter.begin(&printer_)) {
        const QString where = printer_.outputFormat() == QPrinter::PdfFormat
                                  ? printer_.outputFileName()
                                  : printer_.printerName();
        throw PrintError(("Printer error: the print job could not be started on \"" + where + "\".")
                             .toStdString());
    }
    try {
        PainterCanvas canvas(painter, MetricsOfPrinter(printer_));
        draw(canvas);
    } catch (...) {
        printer_.abort();
        painter.end();
        throw;
    }
    if (!painter.end() || printer_.printerState() == QPrinter::Error)
        throw PrintError("Printer error: the print job could not be finished.");
}

SystemPrintTarget::SystemPrintTarget() = default;
SystemPrintTarget::~SystemPrintTarget() = default;

QPrinter& SystemPrintTarget::Printer() {
    if (!printer_) {
        printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
        AskForProgramPaper(*printer_, paper_);
    }
    return *printer_;
}

void SystemPrintTarget::SetPaper(const std::string& paperSetting) {
    paper_ = PaperSetting(PaperFromSetting(paperSetting));
    if (printer_) AskForProgramPaper(*printer_, paper_);
}

bool SystemPrintTarget::Setup(QWidget* parent) {
    QPrinter& printer = Printer();
    const bool accepted = Ui().PrinterSetup(parent, printer);
    if (accepted) paper_ = PaperSetting(printer.pageLayout().pageSize());
    if (accepted && printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty()) {
        chosenFile_ = printer.outputFileName();
        chosenFileJobs_ = 0;
    } else if (accepted) {
        chosenFile_.clear();
    }
    return accepted;
}

PageGeometry SystemPrintTarget::NextPageGeometry() {
    QPrinter& printer = Printer();
    AskForProgramPaper(printer, paper_);
    // As PrintPage sets the job up: a file chosen in the printer setup keeps
    // the printer's resolution, the PDF folder gets 600 dots per inch.
    const bool pdf = printer.outputFormat() == QPrinter::PdfFormat;
    const bool toFolder = pdf ? chosenFile_.isEmpty() : QPrinterInfo::availablePrinters().isEmpty();
    return GeometryOfLayout(printer.pageLayout(), toFolder ? 600 : printer.resolution());
}

void SystemPrintTarget::PrintPage(const QString& jobName, const PageDrawer& draw) {
    QPrinter& printer = Printer();
    if (printer.outputFormat() == QPrinter::PdfFormat && !chosenFile_.isEmpty()) {
        // Every page is its own job; later jobs to a chosen file get numbered
        // names beside it instead of overwriting the earlier pages.
        ++chosenFileJobs_;
        if (chosenFileJobs_ == 1) {
            printer.setOutputFileName(chosenFile_);
        } else {
            const QFileInfo info(chosenFile_);
            printer.setOutputFileName(info.path() + "/" + info.completeBaseName() + "-" +
                                      QString::number(chosenFileJobs_) + ".pdf");
        }
    } else if (printer.outputFormat() == QPrinter::PdfFormat || QPrinterInfo::availablePrinters().isEmpty()) {
        // Qt falls back to PDF output when the system has no printer at all.
        const QString folder = QString::fromStdString(ProgramDataFolders().writeDir) + "Printed";
        if (!QDir().mkpath(folder))
            throw PrintError(("No printer is installed, and the folder \"" + folder +
                              "\" for printed pages could not be created.").toStdString());
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setResolution(600);
        printer.setOutputFileName(TimeStampedPdfName(folder));
        if (!toldAboutFolder_ && !(noteHidden_ && *noteHidden_)) {
            toldAboutFolder_ = true;
            const bool dontShowAgain = Ui().NoteWithDontShowAgain(
                nullptr, "Printing",
                "No printer is installed. Every printed page is saved as a PDF file in the folder \"" +
                    QDir::toNativeSeparators(folder) + "\".");
            if (dontShowAgain && noteHidden_) *noteHidden_ = true;
        }
    }
    // Each job asks again: a page size the printer dialog left behind for
    // another job must not reach the forms.
    AskForProgramPaper(printer, paper_);
    PrinterTarget(printer).PrintPage(jobName, draw);
}

SystemPrintTarget& SystemPrinter() {
    static SystemPrintTarget system;
    static const bool installed = (SetDefaultPrintTarget(&system), true);
    (void)installed;
    return system;
}

void ApplyProgramPageSetup(QPrinter& printer) {
    QPrinter& program = SystemPrinter().Printer();
    if (program.outputFormat() == QPrinter::PdfFormat) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        if (!program.outputFileName().isEmpty()) printer.setOutputFileName(program.outputFileName());
    } else {
        printer.setPrinterName(program.printerName());
    }
    AskForProgramPaper(printer, SystemPrinter().Paper());
}

void PrinterSetupCommand(Settings& settings, QWidget* parent) {
    SystemPrintTarget& system = SystemPrinter();
    system.SetPaper(settings.PaperSize);
    if (system.Setup(parent)) settings.PaperSize = system.Paper();
}

}  // namespace gs
