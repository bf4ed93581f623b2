#include "printing/printtarget.h"

#include "printing/paintercanvas.h"
#include "platform/paths.h"
#include "platform/userinteraction.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

namespace gs {

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
    if (!printer_) printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *printer_;
}

bool SystemPrintTarget::Setup(QWidget* parent) {
    QPrinter& printer = Printer();
    const bool accepted = Ui().PrinterSetup(parent, printer);
    if (accepted && printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty()) {
        chosenFile_ = printer.outputFileName();
        chosenFileJobs_ = 0;
    } else if (accepted) {
        chosenFile_.clear();
    }
    return accepted;
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
        const QString folder = QString::fromStdString(ExecutableDir()) + "Printed";
        if (!QDir().mkpath(folder))
            throw PrintError(("No printer is installed, and the folder \"" + folder +
                              "\" for printed pages could not be created.").toStdString());
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setResolution(600);
        printer.setOutputFileName(TimeStampedPdfName(folder));
        if (!toldAboutFolder_) {
            toldAboutFolder_ = true;
            Ui().Message(nullptr, "Printing",
                         "No printer is installed. Every printed page is saved as a PDF file in the folder \"" +
                             QDir::toNativeSeparators(folder) + "\".",
                         QMessageBox::Information, QMessageBox::Ok);
        }
    }
    PrinterTarget(printer).PrintPage(jobName, draw);
}

void RecordingPrintTarget::PrintPage(const QString& jobName, const PageDrawer& draw) {
    RecordingCanvas canvas(setup);
    draw(canvas);
    pages.push_back({jobName, std::move(canvas.items)});
}

void FailingPrintTarget::PrintPage(const QString&, const PageDrawer&) {
    throw PrintError(message_.toStdString());
}

namespace {
PrintTarget*& Override() {
    static PrintTarget* target = nullptr;
    return target;
}
}  // namespace

SystemPrintTarget& SystemPrinter() {
    static SystemPrintTarget system;
    return system;
}

PrintTarget& CurrentPrintTarget() { return Override() ? *Override() : SystemPrinter(); }

void SetPrintTargetForTesting(PrintTarget* target) { Override() = target; }

void PrinterSetupCommand(QWidget* parent) { SystemPrinter().Setup(parent); }

QString TimeStampedPdfName(const QString& folder) {
    const QString stamp = QDateTime::currentDateTime().toString("yyyy-MM-dd_HH-mm-ss-zzz");
    QString name = folder + "/" + stamp + ".pdf";
    for (int n = 2; QFileInfo::exists(name); ++n) name = folder + "/" + stamp + "-" + QString::number(n) + ".pdf";
    return name;
}

}  // namespace gs
