// The two batch print commands through their widget-free loops, each page its
// own 600 dpi Letter PDF file (printing_bench's main creates the application
// object):
//   - a run of barcode labels, its serials taken in the settings file first;
//   - a mass print over an address table: for each record the number
//     reserved under the settings lock, the mailer printed, the numbers
//     committed and the piece appended to the mail log.
// GS_RUNS_BENCH_PAGES changes the length of both (default 1000);
// GS_RUNS_BENCH_DIR chooses the scratch folder (default: the system's).
#include "addresses/addresstable.h"
#include "dbase/tzdbf.h"
#include "maillog/maillog.h"
#include "platform/datafolders.h"
#include "platform/inifile.h"
#include "printing/mailer.h"
#include "runs/labelrun.h"
#include "runs/massprint.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>

namespace {

int Pages() {
    const char* env = std::getenv("GS_RUNS_BENCH_PAGES");
    return env ? std::atoi(env) : 1000;
}

std::unique_ptr<QTemporaryDir> ScratchDir() {
    const char* env = std::getenv("GS_RUNS_BENCH_DIR");
    return env ? std::make_unique<QTemporaryDir>(QString::fromLocal8Bit(env) + "/runs-XXXXXX")
               : std::make_unique<QTemporaryDir>();
}

// The settings file and the numbers of one running copy in a scratch folder.
struct Copy {
    explicit Copy(const QTemporaryDir& temp) : dir(temp.path().toStdString() + "/") {
        gs::IniFile ini(dir + "gslip3.ini");
        ini.LoadFromText("[Values]\nCustID=12-345-6789\nSerialNum=00000041\n");
        ini.Save();
        numbers = std::make_unique<gs::SharedNumbers>(dir + "gslip3.ini");
        numbers->Load(settings, dir, {});
    }
    std::string dir;
    gs::Settings settings;
    std::unique_ptr<gs::SharedNumbers> numbers;
};

gs::PdfFileTarget NumberedPdfs(const QTemporaryDir& temp, int& file) {
    return gs::PdfFileTarget([&temp, &file](const QString&) { return temp.filePath(QString::number(++file) + ".pdf"); });
}

void BM_BarcodeRunToPdf(benchmark::State& state) {
    const int labels = static_cast<int>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        auto temp = ScratchDir();
        Copy copy(*temp);
        copy.settings.SerialNum = "00000042";
        int file = 0;
        gs::PdfFileTarget target = NumberedPdfs(*temp, file);
        gs::BarcodeRun run;
        run.labels = labels;
        run.custIdDigits = "123456789";
        run.startSerial = copy.settings.SerialNum;
        run.baseFont = gs::DefaultBaseFont();
        state.ResumeTiming();
        const gs::BarcodeRunOutcome out =
            gs::PrintReservedBarcodeRun(copy.settings, *copy.numbers, "00000041", run, target);
        if (out.printed != labels) state.SkipWithError("the run stopped early");
    }
    // The items' rate, not a counter of its own: the CSV output of one program
    // takes only the counters of its first benchmark.
    state.SetItemsProcessed(labels * state.iterations());
}
BENCHMARK(BM_BarcodeRunToPdf)->Arg(Pages())->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

// The address table as mass printing walks it, without the window.
class TableWalk : public gs::MassPrintRecords {
public:
    explicit TableWalk(gs::AddressTable& table) : table_(table) {}
    bool First() override { return table_.First(); }
    bool Next() override { return table_.Next(); }
    bool Eof() const override { return table_.Eof(); }
    bool IsDeleted() const override { return table_.IsDeleted(); }
    gs::PrintedPiece CurrentPiece() override {
        const gs::AddressRecord r = table_.Current();
        gs::PrintedPiece p;
        p.senderLines = {"Acme Supply Co", "12 Main St", "Springfield IL 62701", "", ""};
        for (std::size_t i = 0; i < 4 && i < r.addressLines.size(); ++i) p.recipientLines[i] = r.addressLines[i];
        p.city = r.city;
        p.state = r.state;
        p.zip = r.zip;
        p.re = "Invoice 7731";
        p.postage = std::string(10, ' ') + "0.39";
        p.certifiedFee = std::string(10, ' ') + "2.40";
        p.returnReceiptFee = std::string(10, ' ') + "1.85";
        p.total = std::string(10, ' ') + "4.64";
        return p;
    }

private:
    gs::AddressTable& table_;
};

std::string MakeAddressTable(const std::string& dir, int records) {
    const std::string path = dir + "recipients.dbf";
    gs::TTzDbf t;
    t.DbfFields = {"Address,M,10,0", "City,C,20,0", "State,C,4,0", "Zip,C,10,0"};
    t.SetDbfFileName(path);
    t.Open();
    for (int i = 1; i <= records; ++i) {
        t.ClearRecord();
        t.SetMField("Address", {"Recipient " + std::to_string(i), "400 Oak Avenue"});
        t.SetFieldText("City", "Dayton");
        t.SetFieldText("State", "OH");
        t.SetFieldText("Zip", "45402-1234");
        t.ALock();
        t.AppendRec();
        t.UnLock();
    }
    t.Close();
    return path;
}

void BM_MassPrintToPdfWithLogging(benchmark::State& state) {
    const int records = static_cast<int>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        auto temp = ScratchDir();
        Copy copy(*temp);
        gs::AddressTable table;
        table.Open(MakeAddressTable(copy.dir, records));
        TableWalk walk(table);
        int file = 0;
        gs::PdfFileTarget target = NumberedPdfs(*temp, file);
        gs::PieceJob job;
        job.target = &target;
        job.mailLogPath = gs::MailLogPath(copy.settings, gs::LocateDataFolders(copy.dir, "", ""));  // beside, as a program folder
        bool showMailerScreen = false;
        gs::MassPrintSteps steps;
        steps.confirmNumber = [&] {
            showMailerScreen = false;  // "Do not show this screen again" at the first piece
            return true;
        };
        state.ResumeTiming();
        const gs::MassPrintOutcome out =
            gs::MassPrint(walk, records, copy.settings, *copy.numbers, showMailerScreen, job, steps);
        if (out.stop != gs::MassPrintStop::Finished || out.printed != records || !out.notLogged.empty())
            state.SkipWithError("a record was not printed and logged");
        state.PauseTiming();
        table.PostAndClose();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(records * state.iterations());
}
BENCHMARK(BM_MassPrintToPdfWithLogging)->Arg(Pages())->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

}  // namespace
