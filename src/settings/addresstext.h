#pragma once
// Small text rules shared by every place that handles an address.
#include <array>
#include <string>
#include <string_view>

namespace gs {

struct Settings;

// Cleans a ZIP code read from the masked field: blanks trimmed, a lone "-" or
// a trailing "-" (a five-digit ZIP typed into the ZIP+4 mask) dropped, a
// leading "-" dropped. A full ZIP+4 keeps its hyphen.
std::string NormalizeZip(std::string_view zip);

// The five sender labels of the main window, which are also the sender block
// printed on the form: the stored lines, with "City State Zip" in place of
// the first blank one (or in the fifth label when all four are filled).
std::array<std::string, 5> SenderLabels(const Settings& settings);

}  // namespace gs
