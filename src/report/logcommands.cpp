#include "report/logcommands.h"

#include "dbase/tzdbf.h"
#include "maillog/logclear.h"
#include "maillog/maillog.h"
#include "platform/application.h"
#include "platform/userinteraction.h"
#include "report/reportproject.h"

#include <QDateTime>
#include <QDir>

namespace gs {

const char* ReportNameOf(LogReport report) {
    switch (report) {
    case LogReport::FullDetail: return "FullDetail";
    case LogReport::ShortDetail: return "ShortDetail";
    case LogReport::FirmMailingBook: return "FirmMailingBook";
    }
    return "";
}

namespace {

QString Title() { return ApplicationTitle(); }

// Closes what a command opened, on every path out of it; a failure to close
// does not hide the error that brought us here.
struct CloseLog {
    TTzDbf& log;
    ~CloseLog() {
        try {
            log.SetExclusive(false);
            log.Close();
        } catch (...) {
        }
    }
};

struct CloseProject {
    TReportProject& project;
    ~CloseProject() { project.Close(); }
};

}  // namespace

void RunLogReport(QWidget* parent, const LogReportSetup& setup, ReportDestination destination, LogReport report) {
    TTzDbf TzDbfReport("TzDbfReport");
    TReportSystem ReportSystem1(parent);
    TReportConnection ReportConnection1{"ReportConnection1", &TzDbfReport, MailLogDisplayText};
    TReportProject ReportProject1;
    ReportProject1.ProjectFile = setup.projectFile;
    ReportProject1.Engine = &ReportSystem1;
    ReportProject1.AddConnection(ReportConnection1);

    ConfigureMailLog(TzDbfReport, setup.logFile);
    CloseLog closeLog{TzDbfReport};
    CloseProject closeProject{ReportProject1};  // closed first, then the log
    {
        WaitCursor wait;
        TzDbfReport.Open();
    }
    if (TzDbfReport.RecCount() == 0) {
        Ui().Message(parent, Title(), "Report is empty.", QMessageBox::Critical, QMessageBox::Ok);
        return;
    }
    {
        WaitCursor wait;
        ApplyLogOrder(TzDbfReport, setup.order);
    }
    ReportSystem1.PreparePrinter = setup.preparePrinter;
    ReportSystem1.DefaultDest = destination;
    ReportSystem1.AllowSetup = destination == ReportDestination::Printer;
    ReportProject1.Open();
    for (const auto& [name, value] : setup.params) ReportProject1.SetParam(name, value);
    ReportProject1.SetParam("MyTime", MyTimeText(QDateTime::currentDateTime()));
    ReportProject1.ExecuteReport(ReportNameOf(report));
}

void ClearLogCommand(QWidget* parent, const std::string& logFile, const QString& saveFolder) {
    TTzDbf TzDbfReport("TzDbfReport");
    ConfigureMailLog(TzDbfReport, logFile);
    CloseLog closeLog{TzDbfReport};
    TzDbfReport.Open();
    if (TzDbfReport.RecCount() == 0) {
        Ui().Message(parent, Title(), "Report is already empty.", QMessageBox::Critical, QMessageBox::Ok);
        return;
    }
    const auto answer = Ui().Message(parent, Title(), "Do you wish to save the data in the report?",
                                     QMessageBox::Question, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    if (answer != QMessageBox::Yes && answer != QMessageBox::No) return;
    if (answer == QMessageBox::Yes) {
        // An existing table is added to, not replaced: the dialog's "replace
        // it?" would say the opposite of what happens.
        // The log itself is not offered: it cannot be saved into itself.
        const QString chosen = Ui().SaveFileName(parent, QObject::tr("Save the Mail Log As"), saveFolder,
                                                 "dBase tables|*.dbf|All files|*", OverwritePrompt::DontAsk,
                                                 QString::fromStdString(TzDbfReport.DbfFileName()));
        // Asked to keep the data and given no place for it: keep the log.
        if (chosen.isEmpty()) return;
        const std::string target = LogCopyTarget(chosen.toStdString());
        // Emptying needs the log to itself. Find that out before the copy:
        // a log that another running copy holds open is then not added to
        // the chosen table now and a second time when the user tries again.
        TzDbfReport.SetExclusive(true);
        TzDbfReport.SetExclusive(false);
        const LogCopyResult copy = CopyLogTo(TzDbfReport.DbfFileName(), target);
        const QString where = QDir::toNativeSeparators(QString::fromStdString(target));
        if (copy.outcome == LogCopyResult::Outcome::TargetLocked) {
            Ui().Message(parent, Title(),
                         "The mail log was not cleared: another copy of " + Title() + " is adding records to \"" +
                             where + "\", so the log could not be saved there. Try again in a moment.",
                         QMessageBox::Warning, QMessageBox::Ok);
            return;
        }
        if (copy.outcome == LogCopyResult::Outcome::Failed) {
            Ui().Message(parent, Title(),
                         "The mail log was not cleared: it could not be saved in \"" + where + "\".\n\n" +
                             QString::fromLocal8Bit(copy.error),
                         QMessageBox::Critical, QMessageBox::Ok);
            return;
        }
    }
    WaitCursor wait;
    EmptyLog(TzDbfReport);
}

}  // namespace gs
