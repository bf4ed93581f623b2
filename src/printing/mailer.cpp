#include "printing/mailer.h"

#include "barcode/barcodebmp.h"
#include "barcode/code128.h"
#include "barcode/imb.h"
#include "barcode/postnet.h"
#include "numbering/articlenumber.h"
#include "numbering/impbnumber.h"
#include "platform/textutil.h"
#include "settings/addresstext.h"

namespace gs {

namespace {

const QString kOcrFace = QStringLiteral("OCR A Extended");

// The form's rows of five lines, top line first.
constexpr double kSenderBlockY[5] = {4.85, 4.7, 4.55, 4.4, 4.25};
constexpr double kSenderReceiptY[5] = {3.45, 3.3, 3.15, 3.0, 2.85};
constexpr double kRecipientBlockY[5] = {6.6, 6.45, 6.3, 6.15, 6.0};
constexpr double kRecipientStubY[5] = {1.35, 1.2, 1.05, 0.9, 0.75};
constexpr double kExtraLabelY[5] = {6.6, 6.45, 6.3, 6.15, 6.0};
constexpr double kSenderSideX[5] = {7.7, 7.55, 7.4, 7.25, 7.1};
constexpr double kReceiptRecipientY[5] = {2.13, 2.03, 1.93, 1.83, 1.73};

void UseFont(PrintCanvas& canvas, const PrintMetrics& metrics, int points, int angle, const QString& face) {
    SetFontSize(canvas, metrics, points);
    SelectRotatedFont(canvas, angle, face);
}

void DrawZipBlock(PrintCanvas& canvas, const PrintMetrics& metrics, const MailerPrintRequest& request) {
    TBarcodeBmp zip;
    zip.SetBarcodeType(TBarCodeType::bcPOSTNET);
    zip.SetInterpret(true);
    zip.SetHeight(PostnetFullBarHeight(metrics.resolutionY));
    zip.SetScale(static_cast<int>(RoundHalfEven(metrics.resolutionX / 1000.0 * 23)));
    zip.SetRotate(TbcRotate::bcRotate180);

    auto draw = [&](double x, double y) {
        const QImage& bmp = zip.Bitmap();
        DrawBitmapOnPrinter(canvas, DeviceX(metrics, x), DeviceY(metrics, y), bmp.width(), bmp.height(), bmp);
    };
    zip.SetBarcodeText(request.recipientZip);
    draw(request.recipientZip.size() > 5 ? 3.56 : 4.48, 5.63);
    zip.SetBarcodeText(request.senderZip);
    draw(request.senderZip.size() > 5 ? 3.56 : 4.48, 3.83);
    if (request.extraLabelOn == "Yes" && request.extraLabelAddress == "Addressed To") {
        zip.SetBarcodeText(request.recipientZip);
        draw(zip.BarcodeText().size() > 5 ? 0.15 : 1.08, 5.63);
    }
}

// The same three places as POSTNET, in the same order; the symbol has one
// length whatever the routing code, so it has one place per line.
void DrawImbZipBlock(PrintCanvas& canvas, const PrintMetrics& metrics, const MailerPrintRequest& request) {
    const std::string problem = ImbTrackingProblem(request.imbTracking);
    if (!problem.empty()) throw PrintError("The Intelligent Mail barcode cannot be printed. " + problem);

    TBarcodeBmp imb;
    imb.SetBarcodeType(TBarCodeType::bcIntelligentMail);
    imb.SetHeight(ImbFullBarHeight(metrics.resolutionY));
    imb.SetScale(ImbBarWidth(metrics.resolutionX));
    imb.SetBarPitch(ImbPitch(metrics.resolutionX));
    imb.SetRotate(TbcRotate::bcRotate180);

    // Each symbol has a serial of its own: the request's for the recipient,
    // the ones below it (taken with the piece's number) for the others.
    auto draw = [&](const std::string& zip, double x, double y, int serialBelow) {
        const std::string tracking = ImbTrackingCode(ImbTrackingStepped(request.imbTracking, -serialBelow));
        imb.SetBarcodeText(tracking + ImbRoutingCode(zip));
        const QImage& bmp = imb.Bitmap();
        DrawBitmapOnPrinter(canvas, DeviceX(metrics, x), DeviceY(metrics, y), bmp.width(), bmp.height(), bmp);
    };
    draw(request.recipientZip, kImbAddressX, 5.63, 0);
    draw(request.senderZip, kImbAddressX, 3.83, 1);
    if (request.extraLabelOn == "Yes" && request.extraLabelAddress == "Addressed To")
        draw(request.recipientZip, kImbExtraLabelX, 5.63, 2);
}

void DrawLines(PrintCanvas& canvas, const PrintMetrics& metrics, const std::array<std::string, 5>& lines,
               double x, const double (&ys)[5], bool upper) {
    for (int i = 0; i < 5; ++i) PrintTextAt(canvas, metrics, x, ys[i], upper ? UpperAscii(lines[i]) : lines[i]);
}

void DrawBody(PrintCanvas& canvas, const PrintMetrics& metrics, const MailerPrintRequest& r,
              const std::string& grouped) {
    UseFont(canvas, metrics, 14, 1800, kOcrFace);
    if (r.restricted == "Y") PrintTextAt(canvas, metrics, 3.99, 3.3, "X");

    UseFont(canvas, metrics, 10, 1800, kOcrFace);
    DrawLines(canvas, metrics, r.senderLines, 6.2, kSenderBlockY, true);
    DrawLines(canvas, metrics, r.senderLines, 7.65, kSenderReceiptY, true);
    DrawLines(canvas, metrics, r.recipientLines, 6.2, kRecipientBlockY, true);
    DrawLines(canvas, metrics, r.recipientLines, 5.2, kRecipientStubY, true);
    if (r.extraLabelOn == "Yes")
        DrawLines(canvas, metrics, r.extraLabelAddress == "Addressed To" ? r.recipientLines : r.senderLines, 2.8,
                  kExtraLabelY, true);
    PrintTextAt(canvas, metrics, 6.2, 5.15, "RE: " + r.re);

    UseFont(canvas, metrics, 10, 2700, kOcrFace);
    for (int i = 0; i < 5; ++i) PrintTextAt(canvas, metrics, kSenderSideX[i], 3.8, UpperAscii(r.senderLines[i]));
    PrintTextAt(canvas, metrics, 8.21, 3.8, "RE: " + r.re);
    PrintTextAt(canvas, metrics, 8.06, 3.8, r.comment);

    // The receipt strip, in the base face.
    RestoreBaseFont(canvas, metrics);
    UseFont(canvas, metrics, 6, 1800, metrics.baseFace);
    PrintTextAt(canvas, metrics, 1.47, 3.17, grouped);
    PrintTextAt(canvas, metrics, 1.45, 2.88, r.senderLines[0]);
    PrintTextAt(canvas, metrics, 1.45, 2.78, "RE: " + r.re);
    PrintTextAt(canvas, metrics, 1.45, 2.68, r.comment);
    DrawLines(canvas, metrics, r.recipientLines, 1.45, kReceiptRecipientY, false);
    PrintTextEndingAt(canvas, metrics, 0.3, 1.43, Trim(r.postage));
    PrintTextEndingAt(canvas, metrics, 0.3, 1.33, Trim(r.certifiedFee));
    PrintTextEndingAt(canvas, metrics, 0.3, 1.23, Trim(r.returnReceiptFee));
    PrintTextEndingAt(canvas, metrics, 0.3, 1.13, Trim(r.restrictedFee));
    PrintTextAt(canvas, metrics, 1.45, 1.43, "Postage");
    PrintTextAt(canvas, metrics, 1.45, 1.33, "Certified Fee");
    PrintTextAt(canvas, metrics, 1.45, 1.23, "Return Receipt");
    PrintTextAt(canvas, metrics, 1.45, 1.13, "Restricted");

    RestoreBaseFont(canvas, metrics);
    SetFontBold(canvas, true);
    UseFont(canvas, metrics, 8, 1800, metrics.baseFace);
    PrintTextAt(canvas, metrics, 1.2, 3.3, "RECEIPT");
    PrintTextAt(canvas, metrics, 1.6, 3.02, "FROM:");
    PrintTextAt(canvas, metrics, 1.6, 2.28, "SEND TO:");
    PrintTextAt(canvas, metrics, 1.6, 1.58, "FEES:");
    PrintTextAt(canvas, metrics, 1.6, 0.98, "TOTAL");
    PrintTextAt(canvas, metrics, 1.5, 0.78, "POSTMARK OR DATE");
    PrintTextEndingAt(canvas, metrics, 0.3, 0.98, "$ " + Trim(r.total));
}

}  // namespace

QFont DefaultBaseFont() {
    QFont font(QStringLiteral("Arial"));
    font.setPointSize(8);
    font.setBold(false);
    font.setItalic(false);
    return font;
}

std::array<std::string, 5> RecipientLinesWithCity(const std::array<std::string, 4>& lines,
                                                  std::string_view city, std::string_view state,
                                                  std::string_view cleanZip) {
    const std::string cityLine = Trim(city) + " " + Trim(state) + " " + std::string(cleanZip);
    std::array<std::string, 5> out{lines[0], lines[1], lines[2], lines[3], std::string()};
    for (int i = 0; i < 4; ++i) {
        if (Trim(lines[i]).empty()) {
            out[i] = cityLine;
            return out;
        }
    }
    out[4] = cityLine;
    return out;
}

std::string UpperAscii(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return out;
}

void DrawBarcodeBlock(PrintCanvas& canvas, const PrintMetrics& metrics, const std::string& plainNumber) {
    const int width = static_cast<int>(RoundHalfEven(metrics.resolutionX * 2.5));
    {
        TBarcodeBmp code;
        code.SetScale(static_cast<int>(RoundHalfEven(metrics.resolutionX / 1000.0 * 15)));
        code.SetHeight(static_cast<int>(RoundHalfEven(metrics.resolutionY * 0.75)));
        code.SetInterpret(false);
        code.SetBarcodeType(TBarCodeType::bcCode128);
        code.SetBarcodeText(plainNumber);
        code.SetRotate(TbcRotate::bcRotate180);
        DrawBitmapOnPrinter(canvas, DeviceX(metrics, 0.62), DeviceY(metrics, 4.1), width, code.Bitmap().height(),
                            code.Bitmap());
        code.SetHeight(static_cast<int>(RoundHalfEven(metrics.resolutionY * 0.4)));
        DrawBitmapOnPrinter(canvas, DeviceX(metrics, 2.6), DeviceY(metrics, 2.06), width, code.Bitmap().height(),
                            code.Bitmap());
    }
    DrawNumberCopies(canvas, metrics, FormatArticleNumber(plainNumber));
}

void DrawNumberCopies(PrintCanvas& canvas, const PrintMetrics& metrics, const std::string& grouped) {
    // The form's places hold the 20-digit number's 24 characters. A 22-digit
    // number groups into 27 and is set smaller, so that every copy keeps to
    // its place: at full size the first copy would run off the sheet's edge.
    constexpr std::size_t kPlaceChars = 24;
    const auto points = [&](int size) {
        return grouped.size() <= kPlaceChars ? size : static_cast<int>(size * kPlaceChars / grouped.size());
    };
    UseFont(canvas, metrics, points(11), 1800, kOcrFace);
    PrintTextAt(canvas, metrics, 2.98, 4.02, grouped);
    UseFont(canvas, metrics, points(11), 1800, kOcrFace);
    PrintTextAt(canvas, metrics, 4.96, 1.98, grouped);
    UseFont(canvas, metrics, points(10), 1800, kOcrFace);
    PrintTextAt(canvas, metrics, 4.5, 2.8, grouped);
    UseFont(canvas, metrics, points(10), 2700, kOcrFace);
    PrintTextAt(canvas, metrics, 7.91, 3.8, grouped);
    UseFont(canvas, metrics, points(8), 2700, kOcrFace);
    PrintTextAt(canvas, metrics, 8.1, 1.76, grouped);
    UseFont(canvas, metrics, 6, 1800, metrics.baseFace);
    PrintTextAt(canvas, metrics, 1.47, 3.17, grouped);
}

int ImpbModulePixels(int resolution) {
    const int pixels = (resolution * 13 + 999) / 1000;
    return pixels < 1 ? 1 : pixels;
}

void DrawImpbBarcodeBlock(PrintCanvas& canvas, const PrintMetrics& metrics, const std::string& number,
                          const std::string& routingZip) {
    const std::string elements = routingZip.empty() ? number : "420" + routingZip + kGs1Separator + number;
    {
        TBarcodeBmp code;
        code.SetScale(ImpbModulePixels(metrics.resolutionX));
        code.SetHeight(static_cast<int>(RoundHalfEven(metrics.resolutionY * 0.75)));
        code.SetInterpret(false);
        code.SetBarcodeType(TBarCodeType::bcEAN128);
        code.SetBarcodeText(elements);
        code.SetRotate(TbcRotate::bcRotate180);
        // Near the sheet's edge: what the printer cannot reach of the clear
        // zone is left off (the paper is blank there anyway), and a printer
        // whose margin is wider still moves the bars right rather than lose
        // the symbol.
        int left = DeviceX(metrics, kImpbTallX);
        QImage tall = code.Bitmap();
        if (left < 0) {
            const int skip = std::min(-left, 10 * code.Scale());
            tall = tall.copy(skip, 0, tall.width() - skip, tall.height());
            left = std::max(0, left + skip);
        }
        DrawBitmapOnPrinter(canvas, left, DeviceY(metrics, 4.1), tall.width(), tall.height(), tall);
        // The receipt part is 2.65 in wide: whole pixels per module, as many
        // as fit, never more than the tall symbol's.
        const int modules = Code128WidthForValues(EncodeGs1_128(elements).size(), 1);
        const int fit = static_cast<int>(metrics.resolutionX * 2.65) / modules;
        code.SetScale(std::max(1, std::min(fit, ImpbModulePixels(metrics.resolutionX))));
        code.SetHeight(static_cast<int>(RoundHalfEven(metrics.resolutionY * 0.4)));
        DrawBitmapOnPrinter(canvas, DeviceX(metrics, kImpbShortX), DeviceY(metrics, 2.06), code.Bitmap().width(),
                            code.Bitmap().height(), code.Bitmap());
    }
    DrawNumberCopies(canvas, metrics, FormatArticleNumber(number));
}

std::string DrawMailer(PrintCanvas& canvas, const MailerPrintRequest& request, bool printBarCode,
                       const QFont& baseFont) {
    PrintMetrics metrics;
    metrics.alignLeftRight = request.alignLeftRight;
    metrics.alignUpDown = request.alignUpDown;
    PreparePrintMetrics(metrics, canvas, baseFont);

    std::string plain;
    if (printBarCode && !request.impbNumber.empty()) {
        plain = request.impbNumber;
        const std::string zip = ImpbRoutingZip(request.recipientZip);
        if (zip.empty())
            throw PrintError("The IMpb barcode cannot be printed: the recipient's ZIP code is not complete.");
        DrawImpbBarcodeBlock(canvas, metrics, plain, zip);
    } else if (printBarCode) {
        plain = ComposeArticleNumber(request.numberSource, request.serial);
        DrawBarcodeBlock(canvas, metrics, plain);
    } else {
        plain = request.numberSource;
    }
    if (request.imbZipBarcode)
        DrawImbZipBlock(canvas, metrics, request);
    else
        DrawZipBlock(canvas, metrics, request);
    const std::string grouped = FormatArticleNumber(plain);
    DrawBody(canvas, metrics, request, grouped);
    RestoreBaseFont(canvas, metrics);
    return grouped;
}

std::string PrintMailer(PrintTarget& target, const MailerPrintRequest& request, bool printBarCode,
                        const QFont& baseFont) {
    std::string grouped;
    target.PrintPage(QStringLiteral("Certified Mailer"),
                     [&](PrintCanvas& canvas) { grouped = DrawMailer(canvas, request, printBarCode, baseFont); });
    return grouped;
}

std::string PrintMailer(const MailerPrintRequest& request, bool printBarCode, const QFont& baseFont, QWidget*) {
    return PrintMailer(CurrentPrintTarget(), request, printBarCode, baseFont);
}

}  // namespace gs
