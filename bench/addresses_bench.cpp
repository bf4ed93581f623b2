// Text import and export of address tables, 100,000 lines each way.
//
//   GS_ADDRESSES_BENCH_LINES  lines / records (default 100000)
//   GS_ADDRESSES_BENCH_DIR    folder for the scratch files (default /tmp)
//
// Each benchmark reports lines/s as a counter; the README's table quotes it.
#include <benchmark/benchmark.h>

#include <QApplication>

#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <sys/wait.h>
#include <unistd.h>
#include <fstream>
#include <string>
#include <vector>

#include "addresses/importtext.h"
#include "addresses/textexport.h"
#include "addresses/textimport.h"
#include "dbase/tzdbf.h"

namespace {

long Lines() {
    const char* v = std::getenv("GS_ADDRESSES_BENCH_LINES");
    return v && *v ? std::atol(v) : 100000;
}

const std::string& Dir() {
    static const std::string dir = [] {
        const char* base = std::getenv("GS_ADDRESSES_BENCH_DIR");
        std::string tmpl = std::string(base && *base ? base : "/tmp") + "/gsaddrbench.XXXXXX";
        std::vector<char> buf(tmpl.begin(), tmpl.end());
        buf.push_back('\0');
        return std::string(mkdtemp(buf.data())) + "/";
    }();
    return dir;
}

// A text of n recipients as the export writes them: two name lines, city,
// state, ZIP+4, every field quoted.
const std::string& TextFile() {
    static const std::string path = [] {
        const std::string p = Dir() + "recipients.txt";
        std::ofstream out(p, std::ios::binary);
        for (long i = 0; i < Lines(); ++i)
            out << "\"Recipient Number " << i << "\",\"" << (100 + i % 9000) << " Main Street\",\"\",\"\","
                << "\"Springfield\",\"IL\",\"62701-" << (1000 + i % 9000) << "\"\r\n";
        return p;
    }();
    return path;
}

void RemoveTable(const std::string& base) {
    std::filesystem::remove(base + ".dbf");
    std::filesystem::remove(base + ".dbt");
}

// The peer: GDAL's ogr2ogr turning the same text (as a .csv) into a .dbf,
// run as its own process the way a user would. Seconds, or a negative
// number when it cannot be run.
double OgrToDbfSeconds() {
    static const bool available = std::system("ogr2ogr --version >/dev/null 2>&1") == 0;
    if (!available) return -1;
    const std::string csv = Dir() + "recipients.csv";
    if (!std::filesystem::exists(csv)) std::filesystem::create_hard_link(TextFile(), csv);
    const std::string out = Dir() + "ogr.dbf";
    std::filesystem::remove(out);
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = ::fork();
    if (child == 0) {
        const int null = ::open("/dev/null", O_WRONLY);
        ::dup2(null, 1);
        ::dup2(null, 2);
        ::execlp("ogr2ogr", "ogr2ogr", "-f", "ESRI Shapefile", out.c_str(), csv.c_str(), "-oo", "HEADERS=NO",
                 static_cast<char*>(nullptr));
        ::_exit(127);
    }
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return -1;
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The import beside ogr2ogr, alternately in the same run: x_floor is the
// import's time over ogr2ogr's (below 1: the import is faster).
void BM_ImportNewTable(benchmark::State& state) {
    const std::string& text = TextFile();
    const std::string table = Dir() + "imported";
    std::uint64_t records = 0;
    double work = 0, peer = 0;
    bool peerRan = true;
    for (auto _ : state) {
        RemoveTable(table);
        const auto start = std::chrono::steady_clock::now();
        gs::ImportTextReader reader(text);
        records = gs::ImportTextIntoTable(reader, table + ".dbf", gs::ImportTarget::NewTable).records;
        const double spent = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        state.SetIterationTime(spent);
        work += spent;
        const double ogr = OgrToDbfSeconds();
        peerRan = peerRan && ogr > 0;
        peer += ogr;
    }
    state.counters["lines/s"] =
        benchmark::Counter(static_cast<double>(records), benchmark::Counter::kIsIterationInvariantRate);
    // Always both counters (the CSV output takes its columns from the first
    // benchmark); 0 when there is no floor.
    state.counters["floor_ms"] = peerRan ? 1000 * peer / static_cast<double>(state.iterations()) : 0;
    state.counters["x_floor"] = peerRan ? work / peer : 0;
    if (!peerRan) state.SetLabel("ogr2ogr not available: no floor");
}
BENCHMARK(BM_ImportNewTable)->Unit(benchmark::kMillisecond)->UseManualTime()->MinTime(2);

void BM_ExportTable(benchmark::State& state) {
    const std::string table = Dir() + "exportsrc";
    {
        RemoveTable(table);
        gs::ImportTextReader reader(TextFile());
        gs::ImportTextIntoTable(reader, table + ".dbf", gs::ImportTarget::NewTable);
    }
    std::uint64_t records = 0;
    for (auto _ : state) {
        gs::TTzDbf t("TzDbfExport");
        gs::OpenTableForExport(t, table + ".dbf");
        records = gs::ExportTableToText(t, Dir() + "exported.txt").records;
    }
    state.counters["lines/s"] =
        benchmark::Counter(static_cast<double>(records), benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_ExportTable)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2);

// The line reader and splitter alone, as the batch command uses them.
void BM_ReadAndSplit(benchmark::State& state) {
    const std::string& text = TextFile();
    std::uint64_t lines = 0;
    for (auto _ : state) {
        gs::ImportTextReader reader(text);
        std::string line;
        lines = 0;
        while (reader.ReadLine(line)) {
            benchmark::DoNotOptimize(gs::SplitImportLine(line));
            ++lines;
        }
    }
    state.counters["lines/s"] =
        benchmark::Counter(static_cast<double>(lines), benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_ReadAndSplit)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

void RemoveAddressModeBenchTable();  // addressmode_bench.cpp

int main(int argc, char** argv) {
    // The address-database mode's benchmarks drive real controls.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::filesystem::remove_all(Dir());
    RemoveAddressModeBenchTable();
    return 0;
}
