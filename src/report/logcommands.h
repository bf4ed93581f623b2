#pragma once
// The Report menu's commands: the mail log's reports to the printer or the
// preview, and Clear. Every question goes through the user-interaction
// interface; table-store errors are reported by the table store.
#include "maillog/logorder.h"
#include "report/reportrun.h"
#include "report/reportsystem.h"

#include <QString>

#include <functional>

#include <string>

class QPrinter;
class QWidget;

namespace gs {

enum class LogReport { FullDetail, ShortDetail, FirmMailingBook };

// "FullDetail", "ShortDetail", "FirmMailingBook": the names in the project.
const char* ReportNameOf(LogReport report);

struct LogReportSetup {
    std::string logFile;      // the mail log (see MailLogPath)
    std::string projectFile;  // "Gslip3.rpt" among the program's data files
    LogOrder order = LogOrder::PrintingOrder;
    ReportParams params;      // set beside "MyTime"
    // Starts a report's printer from the program's printer and paper.
    std::function<void(QPrinter&)> preparePrinter;
};

// Opens the log; an empty log is "Report is empty." and nothing else. Else
// orders it, reads the project file afresh, sets "MyTime" to the date and
// time of now and runs the report: the preview window opens at once, the
// printer gets the Output Options window first. The project and the log are
// closed whatever happens; a missing or damaged project file, or a report
// that cannot be laid out, is ReportError. A report name the project does
// not hold gives no output and no message.
void RunLogReport(QWidget* parent, const LogReportSetup& setup, ReportDestination destination, LogReport report);

// Report > Clear. An empty log is "Report is already empty.". Otherwise asks
// "Do you wish to save the data in the report?": Cancel (or closing the box)
// changes nothing; Yes asks for a file in the save dialog (starting in
// saveFolder) and saves the log there, appended to an existing table or as a
// new copy; No saves nothing. Then the log is emptied. A cancelled save
// dialog, or a copy that failed (the user is told what failed), leaves the
// log as it was. A log that another running copy holds open is reported by
// the table store before anything is copied or deleted. The log is closed
// (and shared again) whatever happens.
void ClearLogCommand(QWidget* parent, const std::string& logFile, const QString& saveFolder);

}  // namespace gs
