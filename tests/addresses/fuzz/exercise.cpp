#include "fuzz/exercise.h"

#include <algorithm>

#include "addresses/importtext.h"

namespace gs::fuzz {

namespace {

std::string CheckSplit(std::string_view line) {
    const ImportFields f = SplitImportLine(line);
    std::size_t total = 0;
    for (const auto& v : f) total += v.size();
    // Values are pieces of the line with quotes removed, never more.
    if (total > line.size()) return "fields longer than the line";
    // Each of the first six fields ends at a comma of the line, so a line
    // with fewer than six commas is short and gives nothing.
    const bool anyFilled = std::any_of(f.begin(), f.end(), [](const std::string& v) { return !v.empty(); });
    if (anyFilled && std::count(line.begin(), line.end(), ',') < 6) return "a short line gave fields";
    return {};
}

}  // namespace

std::string ExerciseImportText(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    if (std::string e = CheckSplit(bytes); !e.empty()) return e;

    ImportTextReader reader = ImportTextReader::FromBytes(bytes);
    std::string line;
    std::uint64_t lines = 0;
    std::size_t consumed = 0;
    while (reader.ReadLine(line)) {
        ++lines;
        consumed += line.size();
        if (line.find_first_of(std::string("\r\n\x1a", 3)) != std::string::npos)
            return "a line holds a CR, LF or Ctrl+Z";
        if (std::string e = CheckSplit(line); !e.empty()) return e;
        if (lines > size + 1) return "more lines than bytes";
    }
    if (lines != reader.TotalLines()) return "line count differs from the first pass";
    if (reader.UnmappableLines() > lines) return "more unmappable lines than lines";
    if (!reader.IsUtf8() && consumed > size) return "more text than bytes";
    if (reader.ReadLine(line) || !line.empty()) return "a line after the end";
    return {};
}

}  // namespace gs::fuzz
