#include "app/entry.h"

#include <cctype>
#include <charconv>

namespace gs {

namespace {

// General format with 15 significant digits, as the framework writes it:
// shortest form, "E" exponent without "+" or leading zeros.
std::string GeneralFormat(double x) {
    // to_chars is independent of the C locale, which Qt sets from the environment.
    char buf[64];
    const auto end = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::general, 15).ptr;
    std::string s(buf, end);
    const auto e = s.find('e');
    if (e == std::string::npos) return s;
    std::string mantissa = s.substr(0, e);
    std::string exponent = s.substr(e + 1);
    bool negative = false;
    if (!exponent.empty() && (exponent[0] == '+' || exponent[0] == '-')) {
        negative = exponent[0] == '-';
        exponent.erase(0, 1);
    }
    while (exponent.size() > 1 && exponent[0] == '0') exponent.erase(0, 1);
    return mantissa + "E" + (negative ? "-" : "") + exponent;
}

}  // namespace

std::string FormatAmount(double x) {
    std::string blanks;
    if (x < 10) blanks.assign(10, ' ');
    else if (x < 100) blanks.assign(8, ' ');
    else if (x < 1000) blanks.assign(6, ' ');
    else if (x < 10000) blanks.assign(5, ' ');
    else if (x < 100000) blanks.assign(3, ' ');
    else blanks.assign(1, ' ');
    const std::string number = GeneralFormat(x);
    std::string decimals;
    if (number.find('.') == std::string::npos) decimals = ".00";
    else if (number.size() == 3) decimals = "0";
    return blanks + number + decimals;
}

std::optional<double> ParseFee(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    std::size_t i = 0;
    auto digits = [&] {
        const std::size_t start = i;
        while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) ++i;
        return i - start;
    };
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    std::size_t mantissaDigits = digits();
    if (i < text.size() && text[i] == '.') {
        ++i;
        mantissaDigits += digits();
    }
    if (mantissaDigits == 0) return std::nullopt;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
        if (digits() == 0) return std::nullopt;
    }
    if (i != text.size()) return std::nullopt;
    std::string_view number = text;
    if (number.front() == '+') number.remove_prefix(1);  // from_chars takes no "+"
    double value = 0;
    std::from_chars(number.data(), number.data() + number.size(), value);
    return value;
}

std::string FeeTotalText(const FeeFieldTexts& f) {
    double total = 0;
    for (const std::string* field : {&f.postage, &f.certFee, &f.restricted, &f.returnReceipt}) {
        if (field->empty()) continue;
        if (const auto v = ParseFee(*field)) total += *v;
    }
    return FormatAmount(total);
}

NormalizedFee NormalizeFeeText(std::string_view text, const FeeFieldTexts& fields) {
    const auto value = ParseFee(text);
    NormalizedFee r;
    r.totalText = FeeTotalText(fields);
    r.fieldText = (value && *value > 0) ? FormatAmount(*value) : " ";
    return r;
}

}  // namespace gs
