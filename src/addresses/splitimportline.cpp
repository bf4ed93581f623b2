#include "addresses/importtext.h"

namespace gs {

namespace {

bool Blank(char c) { return static_cast<unsigned char>(c) <= ' '; }

// A quoted value with every doubled quote made one.
std::string Undouble(std::string_view v) {
    std::string out;
    out.reserve(v.size());
    for (std::size_t i = 0; i < v.size(); ++i) {
        out += v[i];
        if (v[i] == '"' && i + 1 < v.size() && v[i + 1] == '"') ++i;
    }
    return out;
}

}  // namespace

std::string_view TrimImportText(std::string_view text) {
    while (!text.empty() && Blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && Blank(text.back())) text.remove_suffix(1);
    return text;
}

ImportFields SplitImportLine(std::string_view line) {
    ImportFields fields;
    std::string_view rest = TrimImportText(line);
    if (rest.find(',') == std::string_view::npos) return fields;

    // What is left after the sixth field, with the comma that ends the seventh.
    std::string tail;
    for (int i = 0; i < kImportFieldCount; ++i) {
        if (!rest.empty() && rest.front() == '"') {
            const std::string_view body = rest.substr(1);
            const std::size_t close = body.find("\",");
            if (close == std::string_view::npos) {
                // Never closed: the value is the rest of the line (for the
                // seventh field without the comma added above).
                fields[i] = Undouble(i == kImportFieldCount - 1 ? body.substr(0, body.size() - 1) : body);
                rest = {};
            } else {
                fields[i] = Undouble(body.substr(0, close));
                rest = body.substr(close + 2);
            }
        } else {
            // A comma is always left here: the checks below stop the loop
            // before one could be missing.
            const std::size_t comma = rest.find(',');
            fields[i] = std::string(rest.substr(0, comma));
            rest = rest.substr(comma + 1);
        }
        if (i == kImportFieldCount - 2) {
            tail.reserve(rest.size() + 1);
            tail.assign(rest);
            tail += ',';
            rest = tail;
        }
        if (i < kImportFieldCount - 1 && rest.find(',') == std::string_view::npos) return ImportFields{};
    }
    return fields;
}

}  // namespace gs
