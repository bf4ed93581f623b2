// Table store benchmarks on the mail log's layout.
//
// Sizes come from the environment so a quick run is possible:
//   GS_DBASE_BENCH_RECORDS  records of the mail log (default 1000000)
//   GS_DBASE_BENCH_ADDRESSES records of the address table for Pack (default 100000)
//   GS_DBASE_BENCH_DIR      folder for the scratch files (default /tmp)
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

#include "dbase/dbfdate.h"
#include "dbase/tzdbf.h"

namespace {

long EnvSize(const char* name, long def) {
    const char* v = std::getenv(name);
    return v && *v ? std::atol(v) : def;
}

std::string Dir() {
    static std::string dir = [] {
        const char* base = std::getenv("GS_DBASE_BENCH_DIR");
        std::string tmpl = std::string(base && *base ? base : "/tmp") + "/gsbench.XXXXXX";
        std::vector<char> buf(tmpl.begin(), tmpl.end());
        buf.push_back('\0');
        return std::string(mkdtemp(buf.data())) + "/";
    }();
    return dir;
}

const std::vector<std::string> kMailLog = {
    "sentname0,C,30,0", "sentname1,C,30,0", "sentname2,C,30,0", "sentname3,C,30,0",
    "city,C,35,0",      "state,C,4,0",      "zip,C,10,0",       "rdate,D,10,0",
    "mailernum,C,25,0", "postage,C,15,0",   "certified,C,15,0", "restricted,C,15,0",
    "return,C,15,0",    "total,C,15,0",     "comments,C,35,0",  "re,C,25,0"};

std::string LogPath() { return Dir() + "report3.dbf"; }

// Appends n records the way the mail log does, one by one on a shared table.
void AppendMailLog(long n, long first) {
    gs::TTzDbf log("TzDbfReport");
    log.DbfFields = kMailLog;
    log.SetDbfFileName(LogPath());
    log.Open();
    char number[32], name[32], date[16];
    for (long i = first; i < first + n; ++i) {
        long serial = (i * 7919) % 100000000;  // scattered article numbers
        std::snprintf(number, sizeof number, "7100 0001 %04ld %04ld %04ld", serial / 100000000 % 10000,
                      serial / 10000 % 10000, serial % 10000);
        std::snprintf(name, sizeof name, "Recipient %ld", i);
        gs::DbfDate d = gs::DateFromJulianDay(2451545 + (i * 31) % 9000);
        if (i % 50 == 0) d = gs::DbfDate {};
        std::snprintf(date, sizeof date, "%02d/%02d/%04d", d.month, d.day, d.year);
        log.ClearRecord();
        log.SetFieldText("sentname0", name);
        log.SetFieldText("sentname1", "Suite 100");
        log.SetFieldText("sentname2", "1 Main Street");
        log.SetFieldText("sentname3", "");
        log.SetFieldText("city", "Springfield");
        log.SetFieldText("state", "IL");
        log.SetFieldText("zip", "62701-1234");
        log.SetFieldText("mailernum", number);
        log.SetFieldText("postage", "          0.39");
        log.SetFieldText("certified", "          2.40");
        log.SetFieldText("restricted", " ");
        log.SetFieldText("return", "          1.85");
        log.SetFieldText("total", "          4.64");
        log.SetFieldText("comments", "Invoice 42");
        log.SetFieldText("re", "Contract");
        log.SetFieldText("rdate", d.IsBlank() ? "" : date);
        if (log.ALock()) {
            log.AppendRec();
            log.UnLock();
        }
    }
    log.Close();
}

long Records() { return EnvSize("GS_DBASE_BENCH_RECORDS", 1000000); }

void BM_MailLogAppend(benchmark::State& state) {
    const long n = Records();
    for (auto _ : state) {
        state.PauseTiming();
        std::filesystem::remove(LogPath());
        state.ResumeTiming();
        AppendMailLog(n, 0);
    }
    state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_MailLogAppend)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

void EnsureLog() {
    gs::TTzDbf log;
    log.SetDbfFileName(LogPath());
    if (std::filesystem::exists(LogPath())) {
        log.Open();
        if (log.RecCount() == static_cast<std::uint32_t>(Records())) return;
        log.Close();
        std::filesystem::remove(LogPath());
    }
    AppendMailLog(Records(), 0);
}

void BM_IndexOnOne(benchmark::State& state, const char* key) {
    EnsureLog();
    gs::TTzDbf log("TzDbfReport");
    log.SetDbfFileName(LogPath());
    log.Open();
    for (auto _ : state) benchmark::DoNotOptimize(log.IndexOnOne(key, key));
    state.SetItemsProcessed(state.iterations() * Records());
}
BENCHMARK_CAPTURE(BM_IndexOnOne, mailernum, "mailernum")->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK_CAPTURE(BM_IndexOnOne, rdate, "rdate")->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

void BM_ReadInKeyOrder(benchmark::State& state) {
    EnsureLog();
    gs::TTzDbf log("TzDbfReport");
    log.SetDbfFileName(LogPath());
    log.Open();
    log.IndexOnOne("mailernum", "mailernum");
    for (auto _ : state) {
        long n = 0;
        for (log.First(); !log.Eof(); log.Next()) {
            benchmark::DoNotOptimize(log.GetFieldText("mailernum"));
            ++n;
        }
        if (n != Records()) state.SkipWithError("wrong record count");
    }
    state.SetItemsProcessed(state.iterations() * Records());
}
BENCHMARK(BM_ReadInKeyOrder)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

// Pack of an address table with memos, half of its records deleted.
void BM_PackAddresses(benchmark::State& state) {
    const long n = EnvSize("GS_DBASE_BENCH_ADDRESSES", 100000);
    const std::string path = Dir() + "clients.dbf";
    for (auto _ : state) {
        state.PauseTiming();
        std::filesystem::remove(path);
        std::filesystem::remove(Dir() + "clients.dbt");
        gs::TTzDbf t("TzDbfAddress");
        t.DbfFields = {"name,C,30,0", "city,C,20,0", "state,C,4,0", "zip,C,10,0", "address,M,10,0"};
        t.SetExclusive(true);
        t.SetDbfFileName(path);
        t.Open();
        for (long i = 0; i < n; ++i) {
            t.ClearRecord();
            t.SetFieldText("name", "Name " + std::to_string(i));
            t.SetFieldText("city", "Springfield");
            t.SetMField("address", {"Name " + std::to_string(i), "Suite 100", "1 Main Street", "Springfield IL"});
            t.AppendRec();
            if (i % 2 == 1) t.DeleteRec();
        }
        state.ResumeTiming();
        if (!t.Pack()) state.SkipWithError("pack refused");
        state.PauseTiming();
        if (t.RecCount() != static_cast<std::uint32_t>((n + 1) / 2)) state.SkipWithError("wrong count after pack");
        t.Close();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_PackAddresses)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code ec;
    std::filesystem::remove_all(Dir(), ec);
    return 0;
}
