#pragma once
// Money rules of the fee box. The fee fields hold display texts, not
// numbers: every computation parses the texts again.
#include <optional>
#include <string>
#include <string_view>

namespace gs {

// Money display text: leading blanks by magnitude, the amount in general
// format with 15 significant digits, ".00" or a trailing "0" appended where
// the text has no decimals or only one. 2.4 -> ten blanks "2.40".
std::string FormatAmount(double amount);

// A decimal number with optional sign, fraction, exponent and surrounding
// blanks; nullopt for anything else (empty text, letters, "$3").
std::optional<double> ParseFee(std::string_view text);

// The four fee fields as they stand, in the order the total adds them.
struct FeeFieldTexts {
    std::string postage, certFee, restricted, returnReceipt;
};

struct NormalizedFee {
    std::string fieldText;  // what the field that was left is to show
    std::string totalText;  // what the total shows
};

// Run when a fee field is left: the total of every field that parses, and
// the field's own text formatted, or " " when it is invalid, zero or negative.
NormalizedFee NormalizeFeeText(std::string_view text, const FeeFieldTexts& fields);

// The total of the four fields as displayed.
std::string FeeTotalText(const FeeFieldTexts& fields);

}  // namespace gs
