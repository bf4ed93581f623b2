// The mailer's barcodes built the way the printing code builds them at 600
// dpi: the article number as Code 128 (Scale 9, Height 450, turned 180
// degrees) and the two ZIP+4 codes as POSTNET (Scale 14, Height 84, turned).
// Every property assignment rebuilds, as on the page.
#include "barcode/barcodebmp.h"

#include <benchmark/benchmark.h>

namespace {

void ArticleNumberBarcode() {
    gs::TBarcodeBmp code;
    code.SetScale(9);
    code.SetHeight(450);
    code.SetInterpret(false);
    code.SetBarcodeType(gs::TBarCodeType::bcCode128);
    code.SetBarcodeText("71123456780000000019");
    code.SetRotate(gs::TbcRotate::bcRotate180);
    benchmark::DoNotOptimize(code.Bitmap().constBits());
}

void ZipBarcodes() {
    gs::TBarcodeBmp zip;
    zip.SetBarcodeType(gs::TBarCodeType::bcPOSTNET);
    zip.SetInterpret(true);
    zip.SetHeight(84);
    zip.SetScale(14);
    zip.SetRotate(gs::TbcRotate::bcRotate180);
    zip.SetBarcodeText("12345-6789");
    benchmark::DoNotOptimize(zip.Bitmap().constBits());
    zip.SetBarcodeText("98765-4321");
    benchmark::DoNotOptimize(zip.Bitmap().constBits());
}

void BuildArticleNumber(benchmark::State& state) {
    for (auto _ : state) ArticleNumberBarcode();
}

void BuildZipCodes(benchmark::State& state) {
    for (auto _ : state) ZipBarcodes();
}

// One mailer's whole set: target well under 2 ms.
void BuildMailerBarcodeSet(benchmark::State& state) {
    for (auto _ : state) {
        ArticleNumberBarcode();
        ZipBarcodes();
    }
}

}  // namespace

BENCHMARK(BuildArticleNumber)->Unit(benchmark::kMicrosecond);
BENCHMARK(BuildZipCodes)->Unit(benchmark::kMicrosecond);
BENCHMARK(BuildMailerBarcodeSet)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
