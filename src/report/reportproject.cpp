#include "report/reportproject.h"

#include "report/projectreader.h"

namespace gs {

ReportJob::ReportJob(const ReportProjectFile& project, const ReportDefinition& report,
                     std::unique_ptr<ReportData> data, ReportParams params)
    : project_(project), report_(report), data_(std::move(data)), params_(std::move(params)) {}

std::unique_ptr<ReportRun> ReportJob::Layout(const PageFrame& frame) const {
    return std::make_unique<ReportRun>(project_, report_, *data_, params_, frame);
}

void TReportProject::AddConnection(TReportConnection& connection) { connections_.push_back(&connection); }

void TReportProject::Open() { project_ = std::make_unique<ReportProjectFile>(ReadReportProject(ProjectFile)); }

void TReportProject::Close() {
    project_.reset();
    params_.clear();
}

void TReportProject::SetParam(const std::string& name, const QString& value) { params_[name] = value; }

bool TReportProject::ExecuteReport(const std::string& name) {
    if (!project_) throw ReportError("The report project \"" + ProjectFile + "\" is not open.");
    const ReportDefinition* report = project_->FindReport(name);
    if (!report) return false;
    TReportConnection* connection = nullptr;
    for (TReportConnection* c : connections_)
        if (SameName(c->Name, report->connection)) connection = c;
    if (!connection || !connection->DataSet)
        throw ReportError("Error in the report project file \"" + project_->fileName + "\", line " +
                          std::to_string(report->line) + ": the data connection \"" + report->connection +
                          "\" is not known.");
    ReportJob job(*project_, *report, std::make_unique<TableReportData>(*connection->DataSet, connection->FieldDisplay), params_);
    if (Engine) Engine->Execute(job);
    return true;
}

}  // namespace gs
