#pragma once
// The program's printer: the system's default CUPS printer, or whatever the
// printer setup chose, through QPrinter. This half of printing needs Qt
// Print Support and widgets (the printer dialog); the window uses it, the
// core and the batch command do not.
#include "printing/paintercanvas.h"
#include "printing/printtarget.h"

#include <QString>
#include <memory>
#include <string>

class QPrinter;
class QWidget;

namespace gs {

struct Settings;

// Resolution, offsets and printable size of a printer in device pixels.
DeviceMetrics MetricsOfPrinter(const QPrinter& printer);

// Prints on a QPrinter as it is configured (a printer or a PDF file).
class PrinterTarget : public PrintTarget {
public:
    explicit PrinterTarget(QPrinter& printer) : printer_(printer) {}
    void PrintPage(const QString& jobName, const PageDrawer& draw) override;

private:
    QPrinter& printer_;
};

// The system printer service. Every job asks for the program's paper (US
// Letter unless the printer setup chose another), portrait. With no
// printer installed every job becomes a PDF file in the "Printed/" folder
// of the folder the program writes into (see platform/datafolders.h), and
// the user is told once, with "Do not show this again" under the note.
class SystemPrintTarget : public PrintTarget {
public:
    SystemPrintTarget();
    ~SystemPrintTarget() override;
    void PrintPage(const QString& jobName, const PageDrawer& draw) override;
    QPrinter& Printer();
    // The paper setting jobs ask for ("Letter", "A4", ...; see printing/paper.h).
    void SetPaper(const std::string& paperSetting);
    const std::string& Paper() const { return paper_; }
    // The page the next job will get (paper, margins, resolution), without
    // starting one: what the on-screen preview draws on.
    PageGeometry NextPageGeometry();
    // Where the user's "Do not show this again" for the note on PDF files is
    // kept (the settings record); the note is not shown while it is true,
    // and ticking the box sets it. nullptr: the note shows once per run.
    void SetNoPrinterNoteChoice(bool* hidden) { noteHidden_ = hidden; }
    // Runs the printer dialog on the program's printer; when accepted, the
    // paper chosen there becomes the program's paper.
    bool Setup(QWidget* parent);

private:
    std::unique_ptr<QPrinter> printer_;
    std::string paper_ = "Letter";
    QString chosenFile_;   // a PDF file picked in the printer setup
    int chosenFileJobs_ = 0;
    bool toldAboutFolder_ = false;
    bool* noteHidden_ = nullptr;
};

// The system printer service; the first call makes it the default target
// of CurrentPrintTarget().
SystemPrintTarget& SystemPrinter();

// Starts another job's printer (a report's, for instance) from the program's
// printer: the same printer or PDF output, the program's paper, portrait.
void ApplyProgramPageSetup(QPrinter& printer);

// Options > Print Options > "&Printer Setup": the printer dialog on the
// program's printer. The paper chosen there is kept in the settings; the
// rest of the result is not examined.
void PrinterSetupCommand(Settings& settings, QWidget* parent);

}  // namespace gs
