#pragma once
// The 20-digit article (mailer) number: "71", the nine-digit customer ID, an
// eight-digit serial and a check digit; its printed form; and the stepping
// that moves the settings from one piece to the next.
// No widgets here: the rules build and test without a window system.
#include <stdexcept>
#include <string>
#include <string_view>

#include "settings/settings.h"

namespace gs {

// A serial (or the serial part of a pre-printed number) that does not read as
// a whole number. The message is "'<text>' is not a valid integer value".
class ArticleNumberError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// "71" + customer ID (zeros when not a whole number, padded to 9) + serial
// (zeros when not a whole number, padded to 8) + the check digit.
std::string ComposeArticleNumber(std::string_view custId, std::string_view serial);

// Five groups of four separated by single spaces: "7100 0000 0000 0000 0015".
// A shorter number gives shorter or empty groups; the four spaces stay. A
// 22-digit one (the IMpb) adds its last two as a sixth group:
// "9207 1901 2345 6780 0000 17".
std::string FormatArticleNumber(std::string_view number);

// Serial arithmetic: whole number +/- 1, 100000000 -> "00000001",
// -1 -> "99999999", padded on the left with "0" to 8 characters.
// Throws ArticleNumberError when the text is not a whole number.
std::string StepSerial(std::string_view serial, int delta);

// Moves SerialNum (barcode mode with the 20-digit number), the IMpb serial
// (barcode mode with the IMpb, see StepImpbSerial) or MailerNum
// (pre-printed mode, direction by Increment) to the next number to print. The pre-printed number is
// composed again, so it always starts with "71" afterwards; a pre-printed
// 22-digit IMpb number steps its own serial (StepImpbNumber). With
// Intelligent Mail ZIP barcodes the tracking code's serial steps with it
// (StepImbSerial), and with the IMpb format the IMpb serial (StepImpbSerial).
// Throws ArticleNumberError and leaves the settings unchanged when the serial
// does not read as a whole number.
void StepArticleNumber(Settings& settings);
// The reverse move; same failure rule.
void UnstepArticleNumber(Settings& settings);

// The number settings a command may change, kept so that an abandoned
// command can put them back.
class ArticleNumberUndo {
public:
    explicit ArticleNumberUndo(const Settings& settings)
        : serialNum_(settings.SerialNum),
          custId_(settings.CustID),
          mailerNum_(settings.MailerNum),
          imbSerial_(settings.IMbSerial),
          impbSerial_(settings.IMpbSerial) {}
    void Restore(Settings& settings) const {
        settings.SerialNum = serialNum_;
        settings.CustID = custId_;
        settings.MailerNum = mailerNum_;
        settings.IMbSerial = imbSerial_;
        settings.IMpbSerial = impbSerial_;
    }

private:
    std::string serialNum_, custId_, mailerNum_, imbSerial_, impbSerial_;
};

// Options > "&BarCode's" > "&Print".
void SelectBarcodeMode(Settings& settings);
// Options > "&BarCode's" > "&Don't Print": also resets counting to upward.
void SelectPreprintedMode(Settings& settings);

}  // namespace gs
