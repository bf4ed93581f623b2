// The mail log's reports over a large log: the first page of the preview,
// the whole FullDetail report to a 600 dpi PDF file, and the report orders.
//
//   GS_REPORT_BENCH_RECORDS   pieces in the log (default 100,000)
//   GS_REPORT_BENCH_DIR       scratch folder (default /tmp)
//   GREENSLIP_KEEP_PDF        a folder to keep the PDF in (for looking at it)
//
// Peak memory is the process's high-water mark (getrusage), printed as the
// counter peak_MB of each benchmark; run one benchmark alone
// (--benchmark_filter) for the figure of that run. Every benchmark shows the
// same counters (the CSV output wants them in the first one already).
#include "dbase/tzdbf.h"
#include "maillog/logorder.h"
#include "maillog/maillog.h"
#include "platform/fonts.h"
#include "platform/scripteduserinteraction.h"
#include "printing/recordingcanvas.h"
#include "report/reportpreview.h"
#include "report/reportproject.h"
#include "report/reportsystem.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QPrinter>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>

namespace {

std::uint32_t Records() {
    const char* n = std::getenv("GS_REPORT_BENCH_RECORDS");
    return n ? static_cast<std::uint32_t>(std::strtoul(n, nullptr, 10)) : 100000;
}

double PeakMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
}

// The log, written once per process.
const std::string& LogFile() {
    static const std::string file = [] {
        const char* dir = std::getenv("GS_REPORT_BENCH_DIR");
        const std::string folder = std::string(dir ? dir : "/tmp") + "/gs-report-bench";
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
        const std::string path = folder + "/report3.dbf";
        gs::TTzDbf log("TzDbfReport");
        gs::ConfigureMailLog(log, path);
        log.Open();
        const char* cities[] = {"Springfield", "Atlanta", "San Francisco", "Boston", "Salt Lake City"};
        char number[32], line[64];
        for (std::uint32_t i = 0; i < Records(); ++i) {
            log.ClearRecord();
            // Article numbers out of order, so the mailernum order has work to do.
            const std::uint32_t serial = (i * 7919u) % 100000000u;
            std::snprintf(number, sizeof number, "7112 3456 7890 %04u %04u", serial / 10000, serial % 10000);
            log.SetFieldText("mailernum", number);
            std::snprintf(line, sizeof line, "Recipient number %u", i);
            log.SetFieldText("sentname0", line);
            std::snprintf(line, sizeof line, "%u Oak Avenue", i % 9000 + 1);
            log.SetFieldText("sentname1", line);
            log.SetFieldText("city", cities[i % 5]);
            log.SetFieldText("state", "IL");
            log.SetFieldText("zip", i % 3 ? "62701" : "62701-1234");
            std::snprintf(line, sizeof line, "%02u/%02u/2024", i % 12 + 1, i % 28 + 1);
            log.SetFieldText("rdate", line);
            log.SetFieldText("postage", "          0.39");
            log.SetFieldText("certified", "          2.40");
            log.SetFieldText("restricted", i % 4 ? " " : "          3.50");
            log.SetFieldText("return", "          1.85");
            log.SetFieldText("total", i % 4 ? "          4.64" : "          8.14");
            log.SetFieldText("re", i % 5 ? "" : "Invoice 2024-77");
            log.SetFieldText("comments", i % 7 ? "" : "Second notice");
            log.ALock();
            log.AppendRec();
            log.UnLock();
        }
        log.Close();
        return path;
    }();
    return file;
}

std::string ProjectFile() { return QCoreApplication::applicationDirPath().toStdString() + "/Gslip3.rpt"; }

void Letter(QPrinter& printer) { printer.setPageSize(QPageSize(QPageSize::Letter)); }

// An engine that keeps the job so the benchmark can time what follows.
struct Capture : gs::TReportEngine {
    void Execute(gs::ReportJob& job) override { run(job); }
    std::function<void(gs::ReportJob&)> run;
};

// Runs the report the way the Report menu does (open the log, order it, read
// the project, set the parameter) and hands the job to work.
void WithJob(gs::LogOrder order, const char* report, const std::function<void(gs::ReportJob&)>& work) {
    gs::TTzDbf log("TzDbfReport");
    gs::ConfigureMailLog(log, LogFile());
    log.Open();
    gs::ApplyLogOrder(log, order);
    Capture engine;
    engine.run = work;
    gs::TReportConnection connection{"ReportConnection1", &log};
    gs::TReportProject project;
    project.ProjectFile = ProjectFile();
    project.Engine = &engine;
    project.AddConnection(connection);
    project.Open();
    project.SetParam("MyTime", "Date Printed: 05/01/2024 3:04:05 PM");
    project.ExecuteReport(report);
    project.Close();
    log.Close();
}

// From the menu command to the preview window with its first page drawn.
void BM_FirstPreviewPage(benchmark::State& state) {
    LogFile();
    const auto order = static_cast<gs::LogOrder>(state.range(0));
    int pages = 0;
    for (auto _ : state) {
        WithJob(order, "FullDetail", [&](gs::ReportJob& job) {
            gs::TReportSystem system;
            system.PreparePrinter = Letter;
            QPrinter printer(QPrinter::HighResolution);
            gs::InitReportPrinter(printer, system.PreparePrinter, job.Landscape());
            gs::ReportPreviewWindow preview(system, job, printer, nullptr);
            pages = preview.PageCount();
            benchmark::DoNotOptimize(preview.PageImage().constBits());
        });
    }
    state.counters["pages"] = pages;
    state.counters["peak_MB"] = PeakMegabytes();
}
BENCHMARK(BM_FirstPreviewPage)
    ->Arg(static_cast<int>(gs::LogOrder::PrintingOrder))
    ->Arg(static_cast<int>(gs::LogOrder::MailerNumber))
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// The preview's last page: every record read once for the totals.
void BM_LastPreviewPage(benchmark::State& state) {
    LogFile();
    int pages = 0;
    for (auto _ : state) {
        WithJob(gs::LogOrder::PrintingOrder, "FullDetail", [&](gs::ReportJob& job) {
            gs::TReportSystem system;
            system.PreparePrinter = Letter;
            QPrinter printer(QPrinter::HighResolution);
            gs::InitReportPrinter(printer, system.PreparePrinter, job.Landscape());
            gs::ReportPreviewWindow preview(system, job, printer, nullptr);
            preview.ShowPage(preview.PageCount());
            pages = preview.PageCount();
            benchmark::DoNotOptimize(preview.PageImage().constBits());
        });
    }
    state.counters["pages"] = pages;
    state.counters["peak_MB"] = PeakMegabytes();
}
BENCHMARK(BM_LastPreviewPage)->Unit(benchmark::kMillisecond)->UseRealTime();

// Every page of FullDetail printed to a 600 dpi PDF file, as one job.
void BM_FullDetailToPdf(benchmark::State& state) {
    LogFile();
    QTemporaryDir temp;
    const QByteArray keep = qgetenv("GREENSLIP_KEEP_PDF");
    const QString folder = keep.isEmpty() ? temp.path() : QString::fromLocal8Bit(keep);
    QDir().mkpath(folder);
    const QString file = folder + "/fulldetail.pdf";
    int pages = 0;
    for (auto _ : state) {
        WithJob(gs::LogOrder::MailerNumber, "FullDetail", [&](gs::ReportJob& job) {
            gs::TReportSystem system;
            QPrinter printer(QPrinter::HighResolution);
            gs::InitReportPrinter(printer, Letter, job.Landscape());
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setResolution(600);
            printer.setOutputFileName(file);
            if (!system.Print(job, printer, false)) state.SkipWithError("the report did not print");
            pages = job.Layout(gs::FrameOfPrinter(printer))->PageCount();
        });
    }
    state.counters["pages"] = pages;
    state.counters["peak_MB"] = PeakMegabytes();
    state.SetLabel(QString("PDF of %1 MB").arg(QFileInfo(file).size() / (1024.0 * 1024.0), 0, 'f', 1).toStdString());
}
BENCHMARK(BM_FullDetailToPdf)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

// The same pages laid out and drawn on the recording canvas: the engine's
// own share of the time.
void BM_FullDetailOnRecordingCanvas(benchmark::State& state) {
    LogFile();
    int pages = 0;
    for (auto _ : state) {
        WithJob(gs::LogOrder::MailerNumber, "FullDetail", [&](gs::ReportJob& job) {
            gs::RecordingCanvasSetup setup;
            setup.printableWidth = 6600;
            setup.printableHeight = 5100;
            auto run = job.Layout(gs::FrameOfCanvas(gs::RecordingCanvas(setup)));
            pages = run->PageCount();
            for (int p = 1; p <= pages; ++p) {
                gs::RecordingCanvas canvas(setup);
                run->DrawPage(p, canvas);
                benchmark::DoNotOptimize(canvas.items.data());
            }
        });
    }
    state.counters["pages"] = pages;
    state.counters["peak_MB"] = PeakMegabytes();
}
BENCHMARK(BM_FullDetailOnRecordingCanvas)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

// The report orders on the open log.
void BM_ApplyLogOrder(benchmark::State& state) {
    gs::TTzDbf log("TzDbfReport");
    gs::ConfigureMailLog(log, LogFile());
    log.Open();
    const auto order = static_cast<gs::LogOrder>(state.range(0));
    for (auto _ : state) gs::ApplyLogOrder(log, order);
    log.Close();
    state.SetLabel(gs::KeyOfLogOrder(order).indexName);
}
BENCHMARK(BM_ApplyLogOrder)
    ->DenseRange(static_cast<int>(gs::LogOrder::MailerNumber), static_cast<int>(gs::LogOrder::ZipCode))
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (qgetenv("QT_QPA_PLATFORM").isEmpty()) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    gs::RegisterFontSubstitutions();
    gs::ScopedScriptedUi quiet;  // no message box stops a run
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
