#pragma once
// One certified-mail form: the recipient and sender blocks, RE and comment,
// the restricted-delivery mark, the receipt strip with fees and total, the
// article number as text and as Code 128 barcodes, both ZIP codes as POSTNET
// or Intelligent Mail barcodes and the optional extra label. One page, one
// print job.
#include "numbering/imbtracking.h"
#include "printing/geometry.h"
#include "printing/printtarget.h"

#include <QFont>
#include <array>
#include <string>
#include <string_view>

class QWidget;

namespace gs {

class TBarcodeBmp;

// The texts one mailer is printed from (Windows-1252, as displayed).
struct MailerPrintRequest {
    std::array<std::string, 5> senderLines;
    std::string senderZip;
    std::array<std::string, 5> recipientLines;
    std::string recipientZip;      // cleaned by NormalizeZip
    std::string re;                // at most the first 25 characters of the RE field
    std::string comment;
    std::string restricted = "N";  // "Y" when restricted delivery is ticked
    // Barcode printing on: the customer ID without dashes (nine digits);
    // off: the stored 20-digit mailer number.
    std::string numberSource;
    std::string serial;            // barcode printing on: eight digits; off: empty
    std::string postage, certifiedFee, returnReceiptFee, restrictedFee, total;
    std::string alignLeftRight = "0";
    std::string alignUpDown = "0";
    std::string extraLabelOn = "Yes";             // exactly "Yes" prints the extra label
    std::string extraLabelAddress = "Addressed To";  // exactly this shows the recipient
    // The ZIP barcodes: POSTNET, or with imbZipBarcode the Intelligent Mail
    // barcode of the tracking fields and the ZIP's routing code. The
    // tracking serial is the recipient's; the sender's symbol carries the
    // serial below it and the extra label's the one below that
    // (ImbSymbolsPerPiece), so no two symbols share a tracking code.
    bool imbZipBarcode = false;
    ImbTrackingFields imbTracking;
    // Barcode printing on with the IMpb format: the 22-digit number. It then
    // replaces the 20-digit number everywhere on the form, its barcodes are
    // GS1-128 with the recipient's ZIP, and numberSource and serial are not
    // used.
    std::string impbNumber;
};

// The printing base font: "Arial" 8 point, no style.
QFont DefaultBaseFont();

// The five recipient lines from the first four lines of the address and the
// city line "city state zip" (city and state trimmed): the city line goes
// into the first of the four lines that is blank after trimming, the fifth
// line then stays empty; with no blank line it becomes the fifth line.
std::array<std::string, 5> RecipientLinesWithCity(const std::array<std::string, 4>& lines,
                                                  std::string_view city, std::string_view state,
                                                  std::string_view cleanZip);

// a-z to A-Z; every other character stays as it is.
std::string UpperAscii(std::string_view text);

// Draws the barcode block: two Code 128 barcodes of the plain number and six
// printed copies of its grouped form. Also printed alone by barcode runs.
void DrawBarcodeBlock(PrintCanvas& canvas, const PrintMetrics& metrics, const std::string& plainNumber);

// The six printed copies of the grouped number (B3 to B8 of the block).
void DrawNumberCopies(PrintCanvas& canvas, const PrintMetrics& metrics, const std::string& grouped);

// The IMpb barcode block: the GS1-128 symbols of AI 420 with the ZIP
// (routingZip: 5 or 9 digits; "" for a label run, whose symbols carry the
// 22 digits alone) and the 22 digits, and the six printed copies of the
// grouped number at the places of the 20-digit one. The tall symbol keeps
// its own size at the left of the article-number place (an X-dimension of
// ImpbModulePixels, 0.75 in high, quiet zones of ten modules); the short one
// on the receipt part is as wide as that place allows (see the help).
void DrawImpbBarcodeBlock(PrintCanvas& canvas, const PrintMetrics& metrics, const std::string& number,
                          const std::string& routingZip);
// The IMpb's narrowest bar in printer pixels: the fewest that make at least
// 0.013 in (4 at 300 dots per inch, 8 at 600).
int ImpbModulePixels(int resolution);
// Left edge of the tall IMpb symbol's bitmap and of the short one (inches).
inline constexpr double kImpbTallX = 0.05;
inline constexpr double kImpbShortX = 2.53;

// Where the Intelligent Mail barcodes go (left edge of the bitmap, inches):
// under the recipient and the sender its bars end where a ZIP+4 POSTNET's
// do; on the extra label the bitmap starts where a ZIP+4 POSTNET's does,
// and ends before the recipient's first bar.
inline constexpr double kImbAddressX = 3.24;
inline constexpr double kImbExtraLabelX = 0.15;

// Draws the whole mailer on one canvas and returns the grouped number.
// Throws PrintError when the Intelligent Mail barcode is chosen and its
// tracking fields make no tracking code, and when an IMpb piece's recipient
// ZIP is not complete.
std::string DrawMailer(PrintCanvas& canvas, const MailerPrintRequest& request, bool printBarCode,
                       const QFont& baseFont);

// Prints one mailer as its own job and returns the article number in its
// printed form of five groups of four digits. Throws PrintError when the
// page cannot be printed. Without a target: the current one.
std::string PrintMailer(const MailerPrintRequest& request, bool printBarCode, const QFont& baseFont,
                        QWidget* owner);
std::string PrintMailer(PrintTarget& target, const MailerPrintRequest& request, bool printBarCode,
                        const QFont& baseFont);

}  // namespace gs
