// One complete mailer printed to a 600 dpi PDF file, from the PrintMailer
// call to the closed file. Set GREENSLIP_KEEP_PDF to a folder to keep the
// last file (for looking at the page).
#include "printing/mailer.h"
#include "printing/registration.h"

#include "platform/fonts.h"

#include <QGuiApplication>
#include <QDir>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

gs::MailerPrintRequest Request() {
    gs::MailerPrintRequest r;
    r.senderLines = {"Acme Supply Co", "12 Main St", "Suite 400", "Springfield IL 62701", ""};
    r.senderZip = "62701-4410";
    r.recipientLines = {"Jane Q. Recipient", "Attn: Accounts Payable", "400 Oak Avenue", "Dayton OH 45402-1234", ""};
    r.recipientZip = "45402-1234";
    r.re = "Invoice 7731";
    r.comment = "Second notice";
    r.restricted = "Y";
    r.numberSource = "123456789";
    r.serial = "00000042";
    r.postage = "   0.39";
    r.certifiedFee = "   2.40";
    r.returnReceiptFee = "   1.85";
    r.restrictedFee = "   3.50";
    r.total = "   8.14";
    return r;
}

QString OutputFolder(QTemporaryDir& temp) {
    const QByteArray keep = qgetenv("GREENSLIP_KEEP_PDF");
    if (!keep.isEmpty()) {
        QDir().mkpath(QString::fromLocal8Bit(keep));
        return QString::fromLocal8Bit(keep);
    }
    return temp.path();
}

void BM_PrintMailerToPdf(benchmark::State& state) {
    QTemporaryDir temp;
    const QString file = OutputFolder(temp) + "/mailer.pdf";
    const gs::MailerPrintRequest request = Request();
    const QFont base = gs::DefaultBaseFont();
    for (auto _ : state) {
        gs::PdfFileTarget target([&](const QString&) { return file; });
        benchmark::DoNotOptimize(gs::PrintMailer(target, request, true, base));
    }
}
BENCHMARK(BM_PrintMailerToPdf)->Unit(benchmark::kMillisecond);

void BM_DrawMailerOnRecordingCanvas(benchmark::State& state) {
    const gs::MailerPrintRequest request = Request();
    const QFont base = gs::DefaultBaseFont();
    for (auto _ : state) {
        gs::RecordingCanvas canvas;
        benchmark::DoNotOptimize(gs::DrawMailer(canvas, request, true, base));
    }
}
BENCHMARK(BM_DrawMailerOnRecordingCanvas)->Unit(benchmark::kMicrosecond);

void BM_PrintRegistrationFormToPdf(benchmark::State& state) {
    QTemporaryDir temp;
    const QString file = OutputFolder(temp) + "/registration.pdf";
    const std::string form = QCoreApplication::applicationDirPath().toStdString() + "/bcapp.emf";
    for (auto _ : state) {
        gs::PdfFileTarget target([&](const QString&) { return file; });
        if (!gs::PrintRegistrationForm(target, form)) state.SkipWithError("bcapp.emf did not print");
    }
}
BENCHMARK(BM_PrintRegistrationFormToPdf)->Unit(benchmark::kMillisecond);

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
