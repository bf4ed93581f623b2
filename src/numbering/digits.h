#pragma once
// Digit rules shared by the 20-digit article number, the Intelligent Mail
// tracking code and the IMpb: what counts as a run of digits, a serial's
// step within its own width, and the postal check digit.
#include <string>
#include <string_view>

namespace gs {

// One or more decimal digits and nothing else.
bool AllDigits(std::string_view text);

// serial + delta within the serial's own number of digits, wrapping at both
// ends ("9999999" + 1 is "0000000", "000" - 1 is "999"). The serial must be
// AllDigits and at most 17 digits long.
std::string StepWithinDigits(std::string_view serial, int delta);

// The check digit of the leading digits of a number (the 19 of a 20-digit
// article number, the 21 of an IMpb): weights 3, 1, 3, ... from the
// rightmost digit; 10 minus the last digit of the sum, 10 becoming 0.
char PostalCheckDigit(std::string_view digits);

}  // namespace gs
