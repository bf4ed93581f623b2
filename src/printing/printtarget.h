#pragma once
// Where printed pages go. Every page is its own print job: PrintPage starts
// a job, lets the layout draw on the canvas and ends the job. A failure to
// print reaches the caller as PrintError.
//
// This is the widget-free half: targets for any paged paint device, PDF
// files, and the recording and failing targets of the tests. The system
// printer (QPrinter, the printer dialog) lives in printing/systemprinter.h.
#include "printing/canvas.h"
#include "printing/recordingcanvas.h"

#include <QPageLayout>
#include <QString>
#include <functional>
#include <vector>

class QPagedPaintDevice;

namespace gs {

using PageDrawer = std::function<void(PrintCanvas&)>;

class PrintTarget {
public:
    virtual ~PrintTarget() = default;
    virtual void PrintPage(const QString& jobName, const PageDrawer& draw) = 0;
};

// Paints one page on a paged device that the caller has set up (a QPrinter,
// a QPdfWriter), as it is configured. `where` names the device in the error
// when the page cannot be started.
void PrintPageOn(QPagedPaintDevice& device, const QString& where, const PageDrawer& draw);

// One PDF file per job, the page laid out as given (US Letter portrait with
// no margins unless told otherwise), 600 device pixels per inch. The caller
// names every file: nextFile is asked once per job with the job's name. The
// file is written as PartFileName(file) and takes its own name only when it
// is complete; a file that took the name meanwhile is not replaced (the job
// fails).
class PdfFileTarget : public PrintTarget {
public:
    using FileNamer = std::function<QString(const QString& jobName)>;
    explicit PdfFileTarget(FileNamer nextFile, const QPageLayout& layout = {});
    void PrintPage(const QString& jobName, const PageDrawer& draw) override;
    // The file the last finished job went to.
    const QString& LastFile() const { return lastFile_; }

private:
    FileNamer nextFile_;
    QPageLayout layout_;
    QString lastFile_;
};

// The name a PDF file is written under until it is complete: hidden, in
// the same folder ("dir/.name.pdf.part").
QString PartFileName(const QString& file);

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

// The target the program prints on: the one a test installed, else the
// default target (the window installs the system printer as default; a
// process without one gets PrintError from every job).
PrintTarget& CurrentPrintTarget();
void SetPrintTargetForTesting(PrintTarget* target);  // nullptr puts the default back
void SetDefaultPrintTarget(PrintTarget* target);

// A PDF file name in the folder that does not exist yet, stamped with the
// current time ("2024-05-01_14-03-22-120.pdf", a counter added if needed),
// after the prefix when one is given ("FullDetail_2024-05-01_14-03-22-120.pdf").
QString TimeStampedPdfName(const QString& folder, const QString& prefix = {});

}  // namespace gs
