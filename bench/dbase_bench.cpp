// Table store benchmarks on the mail log's layout.
//
// Sizes come from the environment so a quick run is possible:
//   GS_DBASE_BENCH_RECORDS  records of the mail log (default 1000000)
//   GS_DBASE_BENCH_ADDRESSES records of the address table for Pack (default 100000)
//   GS_DBASE_BENCH_DIR      folder for the scratch files (default /tmp)
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "dbase/dbfdate.h"
#include "dbase/tzdbf.h"
#include "maillog/maillog.h"
#include "platform/filelock.h"

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

std::string LogPath() { return Dir() + "report3.dbf"; }

// Decimal digits of v into the width characters ending at `end`, with
// leading zeros: the bench builds its texts without printf, so that the
// figure is the table store's.
void PutDigits(char* end, long v, int width) {
    for (int k = 0; k < width; ++k, v /= 10) *--end = static_cast<char>('0' + v % 10);
}
// "Recipient <v>" into name, reusing its memory.
void PutRecipient(std::string& name, long v) {
    char buf[24];
    char* p = buf + sizeof buf;
    do {
        *--p = static_cast<char>('0' + v % 10);
        v /= 10;
    } while (v != 0);
    name.assign("Recipient ");
    name.append(p, buf + sizeof buf);
}

// The floor of one append: the four system calls a shared append makes
// (the append lock taken, the file measured, one record written at its
// end, the lock released), in a bare loop on a file in the same folder and
// in the same state as a table opened shared (its share-mode read lock
// held, which the kernel's lock list walks past on every lock call).
class AppendFloor {
public:
    explicit AppendFloor(const std::string& path) : path_(path) {
        fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        const std::string header(545, ' ');  // the mail log's header length
        if (fd_ < 0 || ::pwrite(fd_, header.data(), header.size(), 0) != static_cast<ssize_t>(header.size()) ||
            !gs::AcquireShareMode(fd_, false))
            std::abort();
    }
    ~AppendFloor() {
        ::close(fd_);
        std::filesystem::remove(path_);
    }
    void Run(long n) {
        const std::string record(338, ' ');
        for (long i = 0; i < n; ++i) {
            struct flock fl {};
            fl.l_type = F_WRLCK;
            fl.l_whence = SEEK_SET;
            fl.l_start = static_cast<off_t>(gs::kLockBase + 1);
            fl.l_len = 1;
            if (::fcntl(fd_, F_OFD_SETLK, &fl) != 0) std::abort();
            struct stat st {};
            if (::fstat(fd_, &st) != 0) std::abort();
            if (::pwrite(fd_, record.data(), record.size(), st.st_size) != static_cast<ssize_t>(record.size()))
                std::abort();
            fl.l_type = F_UNLCK;
            fl.l_start = static_cast<off_t>(gs::kLockBase);
            fl.l_len = 0;
            ::fcntl(fd_, F_OFD_SETLK, &fl);
        }
    }

private:
    std::string path_;
    int fd_ = -1;
};

using Clock = std::chrono::steady_clock;
double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

// Appends n records the way the program logs a printed piece, one by one
// on the shared log, through the mail log's own appender (the log's fields
// looked up once for the open table). With a floor, the appends alternate
// with the floor's bare system calls in slices of the same size, each
// timed on its own: the times of both, in seconds, are added to *work and
// *floorTime.
void AppendMailLog(long n, long first, AppendFloor* floor = nullptr, double* work = nullptr,
                   double* floorTime = nullptr) {
    // The dates the records cycle through (every 50th blank), made before
    // the clock starts: the caller's, not the append's, work.
    std::vector<gs::DbfDate> dates(9000);
    for (long k = 0; k < 9000; ++k) dates[static_cast<std::size_t>(k)] = gs::DateFromJulianDay(2451545 + k);
    const Clock::time_point opened = Clock::now();
    gs::TTzDbf log("TzDbfReport");
    gs::ConfigureMailLog(log, LogPath());
    log.Open();
    gs::MailLogAppender appender(log);
    // As the printing code hands a piece over: texts held in strings.
    gs::MailLogEntry e {{"", "Suite 100", "1 Main Street", ""},
                        "Springfield", "IL", "62701-1234",
                        "7100 0001 0000 0000 0000",
                        "          0.39", "          2.40", " ", "          1.85", "          4.64",
                        "Invoice 42", "Contract"};
    const std::chrono::milliseconds lockWait(2000);
    double spent = Seconds(Clock::now() - opened);
    const long slice = floor ? 20000 : n;
    for (long from = first; from < first + n; from += slice) {
        const Clock::time_point start = Clock::now();
        for (long i = from; i < std::min(from + slice, first + n); ++i) {
            long serial = (i * 7919) % 100000000;  // scattered article numbers
            PutDigits(e.mailernum.data() + 19, serial / 10000 % 10000, 4);
            PutDigits(e.mailernum.data() + 24, serial % 10000, 4);
            PutRecipient(e.sentname[0], i);
            appender.Append(e, i % 50 == 0 ? gs::DbfDate {} : dates[static_cast<std::size_t>((i * 31) % 9000)],
                            lockWait);
        }
        spent += Seconds(Clock::now() - start);
        if (floor) {
            const Clock::time_point bare = Clock::now();
            floor->Run(std::min(slice, first + n - from));
            *floorTime += Seconds(Clock::now() - bare);
        }
    }
    const Clock::time_point closing = Clock::now();
    log.Close();
    spent += Seconds(Clock::now() - closing);
    if (work) *work += spent;
}

long Records() { return EnvSize("GS_DBASE_BENCH_RECORDS", 1000000); }

// The figure beside its floor: x_floor is the appends' time over the bare
// system calls' time, measured alternately in the same run.
void BM_MailLogAppend(benchmark::State& state) {
    const long n = Records();
    double work = 0, floorTime = 0;
    for (auto _ : state) {
        std::filesystem::remove(LogPath());
        AppendFloor floor(Dir() + "floor.dat");
        double spent = 0;
        AppendMailLog(n, 0, &floor, &spent, &floorTime);
        state.SetIterationTime(spent);
        work += spent;
    }
    state.SetItemsProcessed(state.iterations() * n);
    state.counters["floor_ms"] = 1000 * floorTime / static_cast<double>(state.iterations());
    state.counters["x_floor"] = floorTime > 0 ? work / floorTime : 0;
}
BENCHMARK(BM_MailLogAppend)->Unit(benchmark::kMillisecond)->Iterations(1)->UseManualTime();

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
