// A batch of printed pieces through the core, as greenslip-batch runs them:
// for each piece the number is reserved under the settings lock, the mailer
// printed to its own 600 dpi PDF file, the numbers committed to the settings
// file and the record appended to the mail log.
#include "maillog/maillog.h"
#include "piece/printedpiece.h"
#include "platform/datafolders.h"
#include "platform/fonts.h"
#include "platform/inifile.h"

#include <QGuiApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

gs::PrintedPiece Piece(int i) {
    gs::PrintedPiece p;
    p.senderLines = {"Acme Supply Co", "12 Main St", "Springfield IL 62701", "", ""};
    p.recipientLines = {"Recipient " + std::to_string(i), "400 Oak Avenue", "", ""};
    p.city = "Dayton";
    p.state = "OH";
    p.zip = "45402-1234";
    p.re = "Invoice 7731";
    p.postage = std::string(10, ' ') + "0.39";
    p.certifiedFee = std::string(10, ' ') + "2.40";
    p.returnReceiptFee = std::string(10, ' ') + "1.85";
    p.total = std::string(10, ' ') + "4.64";
    return p;
}

void BM_ThousandPiecesToPdfWithLogging(benchmark::State& state) {
    const int pieces = static_cast<int>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        QTemporaryDir temp;
        const std::string dir = temp.path().toStdString() + "/";
        gs::IniFile ini(dir + "gslip3.ini");
        ini.LoadFromText("[Values]\nCustID=12-345-6789\nSerialNum=00000041\n");
        ini.Save();
        gs::Settings settings;
        gs::SharedNumbers numbers(dir + "gslip3.ini");
        numbers.Load(settings, dir, {});
        int file = 0;
        gs::PdfFileTarget target([&](const QString&) { return temp.filePath(QString::number(++file) + ".pdf"); });
        gs::PieceJob job;
        job.target = &target;
        job.mailLogPath = gs::MailLogPath(settings, gs::LocateDataFolders(dir, "", ""));  // beside, as a program folder
        state.ResumeTiming();
        for (int i = 0; i < pieces; ++i) {
            const gs::NumberReservation r = gs::TakeNextNumber(settings, numbers);
            if (gs::PrintAndLogPiece(Piece(i), settings, numbers, r, job).result != gs::PieceResult::Logged)
                state.SkipWithError("a piece was not logged");
        }
    }
    state.counters["pieces/s"] = benchmark::Counter(pieces * state.iterations(), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ThousandPiecesToPdfWithLogging)->Arg(1000)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    if (qgetenv("QT_QPA_PLATFORM").isEmpty()) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    gs::RegisterFontSubstitutions();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
