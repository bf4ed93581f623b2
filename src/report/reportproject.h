#pragma once
// The report project as the program uses it: the project file, the data
// connections the reports read, the parameters, and the engine that turns
// an executed report into output.
//
//     TReportConnection ReportConnection1{"ReportConnection1", &log};
//     TReportProject ReportProject1;
//     ReportProject1.ProjectFile = folders.DataFile("Gslip3.rpt");
//     ReportProject1.Engine = &ReportSystem1;      // preview or printer
//     ReportProject1.AddConnection(ReportConnection1);
//     ReportProject1.Open();                       // reads the file now
//     ReportProject1.SetParam("MyTime", "Date Printed: ...");
//     ReportProject1.ExecuteReport("FullDetail");
//     ReportProject1.Close();
//
// The file is read at every Open, so a changed file takes effect at the next
// run. Errors are ReportError.
#include "report/reportdata.h"
#include "report/reportmodel.h"
#include "report/reportrun.h"

#include <memory>
#include <string>
#include <vector>

namespace gs {

class TTzDbf;

// A named data connection: the reports that name it list the records of its
// table, in the table's current order, while the table is open.
struct TReportConnection {
    std::string Name;
    TTzDbf* DataSet = nullptr;
    // How a field's stored text is shown, when the table keeps some field in
    // another form than its readers see (empty: as stored).
    FieldDisplayRule FieldDisplay = {};
};

// One executed report: what the engine lays out, for the page it chooses.
class ReportJob {
public:
    ReportJob(const ReportProjectFile& project, const ReportDefinition& report, std::unique_ptr<ReportData> data,
              ReportParams params);
    const ReportDefinition& Report() const { return report_; }
    bool Landscape() const { return report_.landscape; }
    // A layout of the report on this page. Every layout reads the same
    // records; a new page size (chosen in the print dialog) needs a new one.
    std::unique_ptr<ReportRun> Layout(const PageFrame& frame) const;

private:
    const ReportProjectFile& project_;
    const ReportDefinition& report_;
    std::unique_ptr<ReportData> data_;
    ReportParams params_;
};

// Produces an executed report: shows it, prints it, or (in tests) keeps it.
class TReportEngine {
public:
    virtual ~TReportEngine() = default;
    virtual void Execute(ReportJob& job) = 0;
};

class TReportProject {
public:
    std::string ProjectFile;
    TReportEngine* Engine = nullptr;

    // The connection must outlive the project's use of it.
    void AddConnection(TReportConnection& connection);
    // Reads the project file; ReportError naming its full path when it is
    // missing, and the line when it is damaged.
    void Open();
    void Close();
    bool Active() const { return project_ != nullptr; }
    const ReportProjectFile* Project() const { return project_.get(); }

    void SetParam(const std::string& name, const QString& value);
    // Runs the named report through the engine. A name the project does not
    // hold does nothing and returns false. ReportError when the report names
    // a connection the project does not have, or a field its table lacks.
    bool ExecuteReport(const std::string& name);

private:
    std::vector<TReportConnection*> connections_;
    std::unique_ptr<ReportProjectFile> project_;
    ReportParams params_;
};

}  // namespace gs
