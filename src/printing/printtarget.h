#pragma once
// Where printed pages go. Every page is its own print job: PrintPage starts
// a job, lets the layout draw on the canvas and ends the job. A failure to
// print reaches the caller as PrintError.
#include "printing/canvas.h"
#include "printing/recordingcanvas.h"

#include <QString>
#include <functional>
#include <memory>
#include <vector>

class QPrinter;
class QWidget;

namespace gs {

using PageDrawer = std::function<void(PrintCanvas&)>;

class PrintTarget {
public:
    virtual ~PrintTarget() = default;
    virtual void PrintPage(const QString& jobName, const PageDrawer& draw) = 0;
};

// Prints on a QPrinter as it is configured (a printer or a PDF file).
class PrinterTarget : public PrintTarget {
public:
    explicit PrinterTarget(QPrinter& printer) : printer_(printer) {}
    void PrintPage(const QString& jobName, const PageDrawer& draw) override;

private:
    QPrinter& printer_;
};

// The program's printer: the system's default printer, or whatever the
// printer setup chose. With no printer installed every job becomes a PDF
// file in the program folder's "Printed/" folder, and the user is told once.
class SystemPrintTarget : public PrintTarget {
public:
    SystemPrintTarget();
    ~SystemPrintTarget() override;
    void PrintPage(const QString& jobName, const PageDrawer& draw) override;
    QPrinter& Printer();
    // Runs the printer dialog on the program's printer.
    bool Setup(QWidget* parent);

private:
    std::unique_ptr<QPrinter> printer_;
    QString chosenFile_;   // a PDF file picked in the printer setup
    int chosenFileJobs_ = 0;
    bool toldAboutFolder_ = false;
};

// Keeps every page's items instead of printing.
class RecordingPrintTarget : public PrintTarget {
public:
    explicit RecordingPrintTarget(const RecordingCanvasSetup& setup = {}) : setup(setup) {}
    void PrintPage(const QString& jobName, const PageDrawer& draw) override;

    struct Page {
        QString jobName;
        std::vector<RecordedItem> items;
    };
    RecordingCanvasSetup setup;
    std::vector<Page> pages;  // only pages whose drawing finished
};

// Fails every job, as a printer that is switched off would.
class FailingPrintTarget : public PrintTarget {
public:
    explicit FailingPrintTarget(QString message = "The printer is not available.") : message_(std::move(message)) {}
    void PrintPage(const QString& jobName, const PageDrawer& draw) override;

private:
    QString message_;
};

// The target the program prints on; tests may install their own
// (nullptr puts the system printer back).
PrintTarget& CurrentPrintTarget();
void SetPrintTargetForTesting(PrintTarget* target);
// The system printer service behind CurrentPrintTarget().
SystemPrintTarget& SystemPrinter();

// Options > Print Options > "&Printer Setup": the printer dialog on the
// program's printer; its result is not examined.
void PrinterSetupCommand(QWidget* parent);

// A PDF file name in the folder that does not exist yet, stamped with the
// current time ("2024-05-01_14-03-22-120.pdf", a counter added if needed).
QString TimeStampedPdfName(const QString& folder);

}  // namespace gs
