#include "numbering/articlenumber.h"

#include "numbering/digits.h"
#include "numbering/imbtracking.h"
#include "numbering/impbnumber.h"

#include <charconv>
#include <optional>

namespace gs {

namespace {

std::optional<long long> ReadWholeNumber(std::string_view text) {
    if (!AllDigits(text)) return std::nullopt;
    long long value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

std::string PadLeft(std::string text, std::size_t width) {
    if (text.size() < width) text.insert(0, width - text.size(), '0');
    return text;
}

// Characters first..last (1-based, inclusive) of text, as far as they exist.
std::string_view Chars(std::string_view text, std::size_t first, std::size_t last) {
    if (text.size() < first) return {};
    return text.substr(first - 1, last - first + 1);
}

std::string SteppedMailerNum(const Settings& settings, int delta) {
    if (settings.MailerNum.size() == 22) return StepImpbNumber(settings.MailerNum, delta);
    const std::string serial = StepSerial(Chars(settings.MailerNum, 12, 19), delta);
    return ComposeArticleNumber(Chars(settings.MailerNum, 3, 11), serial);
}

}  // namespace

std::string ComposeArticleNumber(std::string_view custId, std::string_view serial) {
    const std::string id = PadLeft(AllDigits(custId) ? std::string(custId) : "000000000", 9);
    const std::string ser = PadLeft(AllDigits(serial) ? std::string(serial) : "00000000", 8);
    std::string number = "71" + id + ser;
    // 19 digits: counted from the left or from the right, the odd places weigh 3.
    number += PostalCheckDigit(number);
    return number;
}

std::string FormatArticleNumber(std::string_view number) {
    std::string out;
    out.reserve(24);
    for (std::size_t group = 0; group < 5; ++group) {
        if (group) out += ' ';
        out += Chars(number, group * 4 + 1, group * 4 + 4);
    }
    if (number.size() == 22) out += " " + std::string(number.substr(20));
    return out;
}

std::string StepSerial(std::string_view serial, int delta) {
    const auto value = ReadWholeNumber(serial);
    // Far beyond any serial; keeps the arithmetic below inside its range.
    if (!value || *value > 999'999'999'999'999'999LL) throw ArticleNumberError("'" + std::string(serial) + "' is not a valid integer value");
    long long next = *value + delta;
    if (next == 100000000) next = 1;
    if (next == -1) next = 99999999;
    return PadLeft(std::to_string(next), 8);
}

// The article number first: when it throws, nothing has moved.
void StepArticleNumber(Settings& settings) {
    if (ArticleFormatIsImpb(settings))
        ;  // the IMpb has its own serial; the 20-digit one waits for its format
    else if (settings.PrintBarCode)
        settings.SerialNum = StepSerial(settings.SerialNum, +1);
    else
        settings.MailerNum = SteppedMailerNum(settings, settings.Increment ? +1 : -1);
    StepImbSerial(settings, +ImbSymbolsPerPiece(settings));
    StepImpbSerial(settings, +1);
}

void UnstepArticleNumber(Settings& settings) {
    if (ArticleFormatIsImpb(settings))
        ;
    else if (settings.PrintBarCode)
        settings.SerialNum = StepSerial(settings.SerialNum, -1);
    else
        settings.MailerNum = SteppedMailerNum(settings, settings.Increment ? -1 : +1);
    StepImbSerial(settings, -ImbSymbolsPerPiece(settings));
    StepImpbSerial(settings, -1);
}

void SelectBarcodeMode(Settings& settings) { settings.PrintBarCode = true; }

void SelectPreprintedMode(Settings& settings) {
    settings.PrintBarCode = false;
    settings.Increment = true;
}

}  // namespace gs
