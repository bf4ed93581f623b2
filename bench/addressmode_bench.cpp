// Address-database mode on a large table: entering it, then Last, then First,
// through the real controls on the offscreen platform (addresses_bench's
// main creates the application object).
//
//   GS_ADDRESSMODE_BENCH_RECORDS  records of the table (default 100000)
//   GS_ADDRESSMODE_BENCH_DIR      folder for the table (default /tmp)
//
// None of the three may read the whole table: each stays in milliseconds
// whatever the record count.
#include <benchmark/benchmark.h>

#include <QAction>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "addresses/addressmode.h"
#include "dbase/tzdbf.h"
#include "platform/addressmemo.h"
#include "platform/scripteduserinteraction.h"

namespace {

long Records() {
    const char* v = std::getenv("GS_ADDRESSMODE_BENCH_RECORDS");
    return v && *v ? std::atol(v) : 100000;
}

std::string tableDir;  // made by the first benchmark that needs the table

// An address table as the text import writes it: four memo lines a record.
const std::string& Table() {
    static const std::string path = [] {
        const char* base = std::getenv("GS_ADDRESSMODE_BENCH_DIR");
        std::string tmpl = std::string(base && *base ? base : "/tmp") + "/gsmodebench.XXXXXX";
        std::vector<char> buf(tmpl.begin(), tmpl.end());
        buf.push_back('\0');
        tableDir = mkdtemp(buf.data());
        const std::string p = tableDir + "/clients.dbf";
        gs::TTzDbf t;
        t.DbfFields = {"Address,M,10,0", "City,C,20,0", "State,C,4,0", "Zip,C,10,0"};
        t.SetExclusive(true);
        t.SetDbfFileName(p);
        t.Open();
        for (long i = 0; i < Records(); ++i) {
            t.ClearRecord();
            const std::string n = std::to_string(i);
            t.SetMField("Address", {"Recipient " + n, "Attn. Purchasing", n + " Main Street", "Suite " + n});
            t.SetFieldText("City", "Springfield");
            t.SetFieldText("State", "IL");
            t.SetFieldText("Zip", "62701-1234");
            t.AppendRec();
        }
        t.Close();
        return p;
    }();
    return path;
}

// The main window's box and plain controls, as the mode finds them.
struct Box {
    Box() : box("Addressed To") {
        box.resize(330, 200);
        for (QLineEdit** e : {&city, &state, &zip}) *e = new QLineEdit(&box);
        memo = new gs::AddressMemo(&box);
        clear = new QPushButton("&Clear", &box);
        paste = new QPushButton("P&aste", &box);
        paste->setGeometry(64, 28, 65, 25);
        mode = new gs::AddressMode(&box, {memo, city, state, zip, clear, paste, &massPrint});
        box.show();
    }
    void Enter() {
        scripted.ui.fileAnswers.push_back(QString::fromStdString(Table()));
        if (!mode->EnterAddressMode(&box, dir)) std::abort();
    }
    QGroupBox box;
    QAction massPrint{nullptr};
    gs::AddressMemo* memo;
    QLineEdit *city, *state, *zip;
    QPushButton *clear, *paste;
    gs::AddressMode* mode;
    gs::ScopedScriptedUi scripted;
    std::string dir;
};

void BM_EnterAddressMode(benchmark::State& state) {
    Table();
    Box b;
    for (auto _ : state) {
        b.Enter();  // open, first record into the controls, path and position shown
        state.PauseTiming();
        b.mode->CloseForShutdown();
        state.ResumeTiming();
    }
    b.Enter();
    // The position shows the table's size. (No counter: the CSV report wants
    // the same counters in every benchmark of the program.)
    state.SetLabel(b.mode->labelOrder->text().toStdString());
}
BENCHMARK(BM_EnterAddressMode)->Unit(benchmark::kMillisecond)->Iterations(20);

void BM_LastThenFirst(benchmark::State& state) {
    Table();
    Box b;
    b.Enter();
    const bool last = state.range(0) == 0;
    QString shown;
    for (auto _ : state) {
        if (last) {
            b.mode->tznavigator1Click(gs::NavigateBtn::Last);
        } else {
            b.mode->First();
        }
        state.PauseTiming();
        shown = b.mode->labelOrder->text();
        // Stand on the other end again for the next round.
        b.mode->tznavigator1Click(last ? gs::NavigateBtn::First : gs::NavigateBtn::Last);
        state.ResumeTiming();
    }
    state.SetLabel((last ? "Last: " : "First: ") + shown.toStdString());
}
BENCHMARK(BM_LastThenFirst)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(50);

}  // namespace

// Called by main once every benchmark has run.
void RemoveAddressModeBenchTable() {
    if (!tableDir.empty()) std::filesystem::remove_all(tableDir);
}
