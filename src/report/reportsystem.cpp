#include "report/reportsystem.h"

#include "platform/application.h"
#include "platform/datafolders.h"
#include "platform/userinteraction.h"
#include "printing/paintercanvas.h"
#include "printing/printtarget.h"
#include "report/reportpreview.h"
#include "report/reportstatus.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

#include <algorithm>

namespace gs {

void InitReportPrinter(QPrinter& printer, const std::function<void(QPrinter&)>& prepare, bool landscape) {
    if (prepare) prepare(printer);
    // The program's printer keeps the file name of its last job.
    if (printer.outputFormat() == QPrinter::PdfFormat) printer.setOutputFileName({});
    printer.setPageOrientation(landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
}

PageFrame FrameOfPrinter(const QPrinter& printer) {
    PageFrame f;
    f.resolutionX = printer.logicalDpiX();
    f.resolutionY = printer.logicalDpiY();
    const QPageLayout layout = printer.pageLayout();
    const QRect full = layout.fullRectPixels(printer.resolution());
    const QRect paint = layout.paintRectPixels(printer.resolution());
    f.sheetWidth = full.width();
    f.sheetHeight = full.height();
    f.printableLeft = paint.left() - full.left();
    f.printableTop = paint.top() - full.top();
    f.printableWidth = paint.width();
    f.printableHeight = paint.height();
    return f;
}

void TReportSystem::Execute(ReportJob& job) {
    QPrinter printer(QPrinter::HighResolution);
    InitReportPrinter(printer, PreparePrinter, job.Landscape());
    if (DefaultDest == ReportDestination::Preview) {
        ReportPreviewWindow preview(*this, job, printer, Parent);
        Ui().RunModal(preview);
    } else {
        Print(job, printer, AllowSetup);
    }
}

namespace {

// Whether the pages would go nowhere: no printer, or PDF output without a file.
bool NeedsPdfFile(const QPrinter& printer) {
    const bool noPrinter = printer.outputFormat() == QPrinter::NativeFormat &&
                           (printer.printerName().isEmpty() || QPrinterInfo::availablePrinters().isEmpty());
    const bool pdfWithoutFile = printer.outputFormat() == QPrinter::PdfFormat && printer.outputFileName().isEmpty();
    return noPrinter || pdfWithoutFile;
}

// A new PDF file in the "Printed/" folder among the program's own files,
// named after the report and the time, as the mailers' files are.
QString NewReportPdf(const ReportJob& job) {
    const QString folder = QString::fromStdString(ProgramDataFolders().writeDir) + "Printed";
    if (!QDir().mkpath(folder))
        throw PrintError(("No printer is installed, and the folder \"" + folder +
                          "\" for printed pages could not be created.").toStdString());
    return TimeStampedPdfName(folder, QString::fromStdString(job.Report().name));
}

// Where the pages go when there is no printer to take them: a new PDF file.
// Empty when the printer, or a file the user chose, takes them.
QString FallbackPdf(QPrinter& printer, const ReportJob& job) {
    if (!NeedsPdfFile(printer)) return {};
    const QString file = NewReportPdf(job);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(file);
    return file;
}

}  // namespace

bool TReportSystem::Print(const ReportJob& job, QPrinter& printer, bool askFirst, QWidget* owner) {
    if (!owner) owner = Parent;
    std::unique_ptr<ReportRun> run = job.Layout(FrameOfPrinter(printer));
    QString fallback;
    if (askFirst) {
        printer.setPrintRange(QPrinter::AllPages);
        // A range the user switches to starts as the whole report, not "1 to 1".
        printer.setFromTo(1, run->PageCount());
        // With nowhere else to print, the dialog proposes a new file of its
        // own rather than one an earlier report went to.
        const QString proposed = NeedsPdfFile(printer) ? NewReportPdf(job) : QString();
        if (!proposed.isEmpty()) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(proposed);
        }
        if (!Ui().PrintDialog(owner, printer, SetupTitle, run->PageCount())) {
            if (!proposed.isEmpty()) printer.setOutputFileName({});
            return false;
        }
        const QString chosen = printer.outputFormat() == QPrinter::PdfFormat ? printer.outputFileName() : QString();
        if (!chosen.isEmpty() && chosen == proposed) {
            fallback = chosen;
        } else if (!chosen.isEmpty() && QFileInfo::exists(chosen) && !Ui().PrintDialogAsksBeforeReplacing() &&
                   Ui().Message(owner, ApplicationTitle(),
                                "The file \"" + QDir::toNativeSeparators(chosen) +
                                    "\" already exists.\nDo you want to replace it?",
                                QMessageBox::Question, QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes) {
            return false;
        }
        // The dialog may have chosen other paper.
        run = job.Layout(FrameOfPrinter(printer));
    }
    const bool hadPrinter = !QPrinterInfo::availablePrinters().isEmpty();
    if (fallback.isEmpty()) fallback = FallbackPdf(printer, job);
    printer.setDocName(JobTitle);

    int from = 1, to = run->PageCount();
    if (printer.printRange() == QPrinter::PageRange) {
        if (printer.fromPage() > 0) from = std::max(from, printer.fromPage());
        if (printer.toPage() > 0) to = std::min(to, printer.toPage());
    }
    // Copies the device does not make itself are printed here.
    const int copies = printer.supportsMultipleCopies() ? 1 : std::max(1, printer.copyCount());
    std::vector<int> sequence;
    if (printer.collateCopies()) {
        for (int c = 0; c < copies; ++c)
            for (int p = from; p <= to; ++p) sequence.push_back(p);
    } else {
        for (int p = from; p <= to; ++p) sequence.insert(sequence.end(), static_cast<std::size_t>(copies), p);
    }
    if (printer.pageOrder() == QPrinter::LastPageFirst) std::reverse(sequence.begin(), sequence.end());

    ReportStatusWindow status(StatusTitle, owner);
    status.show();
    QPainter painter;
    if (!painter.begin(&printer)) {
        const QString where =
            printer.outputFormat() == QPrinter::PdfFormat ? printer.outputFileName() : printer.printerName();
        if (!fallback.isEmpty()) printer.setOutputFileName({});
        throw PrintError(("Printer error: the print job could not be started on \"" + where + "\".").toStdString());
    }
    try {
        bool first = true;
        for (int page : sequence) {
            status.ShowPage(StatusPrinting, page, run->PageCount());
            QCoreApplication::processEvents();
            // Cancel stops before the next page; a job has at least one.
            if (!first && status.Cancelled()) break;
            if (!first && !printer.newPage()) throw PrintError("Printer error: the next page could not be started.");
            first = false;
            PainterCanvas canvas(painter, MetricsOfPagedDevice(printer));
            run->DrawPage(page, canvas);
        }
    } catch (...) {
        printer.abort();
        painter.end();
        if (!fallback.isEmpty()) printer.setOutputFileName({});
        throw;
    }
    const bool ended = painter.end() && printer.printerState() != QPrinter::Error;
    if (!fallback.isEmpty()) printer.setOutputFileName({});  // the next print gets a file of its own
    if (!ended) throw PrintError("Printer error: the print job could not be finished.");
    // A file the program named is announced; one the user typed is known.
    if (!fallback.isEmpty())
        Ui().Message(owner, ApplicationTitle(),
                     (hadPrinter ? QString() : QString("No printer is installed. ")) +
                         "The report was saved as the PDF file \"" + QDir::toNativeSeparators(fallback) + "\".",
                     QMessageBox::Information, QMessageBox::Ok);
    return true;
}

}  // namespace gs
