#include "app/addresspaste.h"

namespace gs {

namespace {

// Characters from 1-based position `from`, at most `count` of them; a start
// before the text begins at its first character.
std::string Copy(const std::string& s, long from, long count) {
    if (from < 1) from = 1;
    if (from > static_cast<long>(s.size()) || count <= 0) return {};
    return s.substr(static_cast<std::size_t>(from - 1), static_cast<std::size_t>(count));
}

}  // namespace

std::optional<PastedAddress> ParsePastedAddress(const std::string& clip) {
    if (clip.empty()) return std::nullopt;
    std::string text = clip;
    if (text.back() != '\n' && text.back() != '\r') text += "\r\n";

    std::vector<std::string> lines;
    std::size_t start = 0, scan = 0;
    while (scan < text.size()) {
        const char a = text[scan], b = scan + 1 < text.size() ? text[scan + 1] : '\0';
        if ((a == '\r' && b == '\n') || (a == '\n' && b == '\r')) {
            lines.push_back(text.substr(start, scan - start));
            scan += 2;
            start = scan;
        } else {
            ++scan;
        }
    }
    if (lines.empty()) return std::nullopt;

    PastedAddress out;
    const std::string line = lines.back();
    lines.pop_back();
    out.nameLines = std::move(lines);

    const long len = static_cast<long>(line.size());
    const std::size_t hyphen = line.find('-');
    out.zip = hyphen != std::string::npos ? Copy(line, static_cast<long>(hyphen) + 1 - 5, 10) : Copy(line, len - 4, 5);

    // p counts from 1, like the positions above.
    long p = len - static_cast<long>(out.zip.size());
    while (p >= 1 && line[static_cast<std::size_t>(p - 1)] == ' ') --p;
    out.state = Copy(line, p - 1, 2);
    p -= 2;
    while (p >= 1 && (line[static_cast<std::size_t>(p - 1)] == ' ' || line[static_cast<std::size_t>(p - 1)] == ','))
        --p;
    out.city = p >= 1 ? line.substr(0, static_cast<std::size_t>(p)) : std::string();
    return out;
}

std::string PastedBoxText(const std::vector<std::string>& nameLines) {
    std::string box;
    for (std::size_t i = 0; i < nameLines.size() && i < 4; ++i) {
        box += nameLines[i];
        if (i < 3) box += '\n';
    }
    return box;
}

}  // namespace gs
