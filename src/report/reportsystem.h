#pragma once
// The report engine's output: the "Output Options" print dialog, the
// modeless "Report Status" window, the "Report Preview" window, and the
// printing of a report as one job of many pages.
//
// Pages are drawn when they are needed (the preview draws the page it
// shows, printing draws one page after the other), so a report of thousands
// of pages never holds more than one of them.
#include "report/reportproject.h"

#include <QString>

#include <functional>

class QPrinter;
class QWidget;

namespace gs {

enum class ReportDestination { Preview, Printer };

class TReportSystem : public TReportEngine {
public:
    explicit TReportSystem(QWidget* parent = nullptr) : Parent(parent) {}

    QWidget* Parent;
    QString SetupTitle = "Output Options";
    QString StatusTitle = "Report Status";
    QString PreviewTitle = "Report Preview";
    // %p stands for the page number, %P for the number of pages.
    QString StatusGenerating = "Generating page %p of %P";
    QString StatusPrinting = "Printing page %p of %P";
    bool PreviewMaximized = true;
    int PreviewZoom = 100;  // per cent
    QString JobTitle = "Greenslip Report";
    ReportDestination DefaultDest = ReportDestination::Preview;
    // Whether printing shows the Output Options window first.
    bool AllowSetup = false;
    // Sets up a report's printer before the report turns it to its own
    // orientation: the program's printer and paper. Empty: Qt's default
    // printer and paper.
    std::function<void(QPrinter&)> PreparePrinter;

    // Shows the report in the preview window (modal, until the user closes
    // it) or prints it, as DefaultDest says.
    void Execute(ReportJob& job) override;

    // Prints the report as one job: the Output Options window first when
    // askFirst (false when the user cancels it), then every page or the
    // chosen range, in the copies asked for, with the status window; its
    // Cancel stops before the next page. With no printer installed, or PDF
    // output without a file name, the job becomes a PDF file in the
    // "Printed/" folder among the program's own files (see
    // platform/datafolders.h) and the user is told its name. A printer
    // failure is PrintError. The windows belong to owner (Parent when null).
    bool Print(const ReportJob& job, QPrinter& printer, bool askFirst, QWidget* owner = nullptr);
};

// Sets up a report's printer: prepared as the engine says, in the report's
// orientation, with no output file of its own yet (the Output Options window
// or the "Printed/" folder gives it one), so a report never writes over the
// file of an earlier job.
void InitReportPrinter(QPrinter& printer, const std::function<void(QPrinter&)>& prepare, bool landscape);

// The sheet and the printable area of a printer, in device pixels.
PageFrame FrameOfPrinter(const QPrinter& printer);

}  // namespace gs
