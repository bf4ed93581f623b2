// Text and number helpers shared by the table store's files.
#include "dbase/tzdbf_internal.h"

#include <charconv>
#include <cmath>
#include <cstdio>

#include "dbase/fileio.h"

namespace gs::tzdbf_detail {

std::string Trim(const std::string& s) {
    std::size_t a = s.find_first_not_of(' ');
    if (a == std::string::npos) return "";
    std::size_t b = s.find_last_not_of(' ');
    return s.substr(a, b - a + 1);
}
std::string TrimRight(const std::string& s) {
    std::size_t b = s.find_last_not_of(' ');
    return b == std::string::npos ? "" : s.substr(0, b + 1);
}
std::string Upper(std::string s) {
    for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}
std::string RightAlign(const std::string& s, int width) {
    if (static_cast<int>(s.size()) >= width) return s.substr(0, static_cast<std::size_t>(width));
    return std::string(static_cast<std::size_t>(width) - s.size(), ' ') + s;
}
std::string TypeName(const DbfFieldDef& f) {
    switch (f.type) {
    case 'C': return "Character";
    case 'D': return "Date";
    case 'L': return "Logical";
    case 'N':
    case 'F':
        return "Numeric, width: " + std::to_string(f.length) + " decimals: " + std::to_string(f.decimals);
    default: return std::string(1, f.type);
    }
}
bool ParseNumber(const std::string& text, double& out) {
    std::string t = Trim(text);
    if (t.empty()) {
        out = 0;
        return true;
    }
    if (t[0] == '+') t.erase(0, 1);
    const char* b = t.data();
    const char* e = b + t.size();
    auto r = std::from_chars(b, e, out);
    return r.ec == std::errc() && r.ptr == e && std::isfinite(out);
}
std::string FormatNumber(double v, int length, int decimals) {
    char buf[400];
    std::snprintf(buf, sizeof buf, "%.*f", decimals, v);
    std::string s = buf;
    if (s == "-0" || (s.size() > 1 && s[0] == '-' && s.find_first_not_of("-0.") == std::string::npos))
        s.erase(0, 1);
    if (static_cast<int>(s.size()) > length) return std::string(static_cast<std::size_t>(length), '*');
    return RightAlign(s, length);
}
// Adds ".DBF" to a name without extension; an existing "name.dbf" written
// by another program is found too.
std::string WithDbfExtension(const std::string& name) {
    if (name.empty() || dbfio::HasExtension(name)) return name;
    if (!dbfio::FileExists(name + ".DBF") && dbfio::FileExists(name + ".dbf")) return name + ".dbf";
    return name + ".DBF";
}

}  // namespace gs::tzdbf_detail
