#include "numbering/digits.h"

namespace gs {

bool AllDigits(std::string_view text) {
    if (text.empty()) return false;
    for (char c : text)
        if (c < '0' || c > '9') return false;
    return true;
}

std::string StepWithinDigits(std::string_view serial, int delta) {
    long long modulus = 1;
    for (std::size_t i = 0; i < serial.size(); ++i) modulus *= 10;
    const long long next = ((std::stoll(std::string(serial)) + delta % modulus) % modulus + modulus) % modulus;
    const std::string text = std::to_string(next);
    return std::string(serial.size() - text.size(), '0') + text;
}

char PostalCheckDigit(std::string_view digits) {
    int sum = 0;
    int weight = 3;
    for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
        sum += (*it - '0') * weight;
        weight = weight == 3 ? 1 : 3;
    }
    return static_cast<char>('0' + (10 - sum % 10) % 10);
}

}  // namespace gs
