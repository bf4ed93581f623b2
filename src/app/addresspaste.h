#pragma once
// Address paste: an address block copied elsewhere, split into the name and
// street lines of the recipient box and the city, state and ZIP of its last
// line. Text is Windows-1252 with CR LF line breaks, as the clipboard gives it.
#include <optional>
#include <string>
#include <vector>

namespace gs {

struct PastedAddress {
    std::vector<std::string> nameLines;  // every line before the city line
    std::string city, state, zip;
};

// Lines end at each CR LF or LF CR pair; a lone CR or LF stays inside its
// line, and text after the last pair is dropped (a final pair is added when
// the text ends in neither CR nor LF). The last line is the city line:
// ZIP = the ten characters from five before its first "-", or its last five
// characters; then the state is the two characters before the ZIP (blanks
// skipped) and the city what comes before that (blanks and commas skipped).
// Nothing (nullopt) when the text yields no line.
std::optional<PastedAddress> ParsePastedAddress(const std::string& text);

// What the recipient box receives for the name lines: the first four, each
// of the first three followed by a line break ("\n"), the fourth not.
std::string PastedBoxText(const std::vector<std::string>& nameLines);

}  // namespace gs
